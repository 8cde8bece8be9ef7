#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>
#include <optional>
#include <string>

#include "ui/signature_editor.h"
#include "macintosh/signatures.h"
#include "platform/file_system.h"
#include "base/dialogs.h"
#include "base/text.h"

namespace vorn::gui {

/// The Macintosh signatures editor. It edits its own copy of the signatures
/// file; `table` is reloaded only when the user saves.
class frmGestionSignatures final : public QDialog {
  Q_OBJECT

 public:
  /// `beep` sounds the refusals (QApplication::beep on the desktop).
  frmGestionSignatures(QWidget* parent, Dialogs& dialogs, platform::FileSystem& fs,
                       const std::string& signatures_path, SignatureTable& table, Language language,
                       std::function<void()> beep);

  const SignatureEditor& editor() const { return editor_; }

  QTreeWidget* lstSignatures;
  QLabel* lblSignature;
  QLabel* lblExtension;
  QLabel* lblType;
  QLineEdit* txtSignature;
  QLineEdit* txtExtension;
  QLineEdit* txtType;
  QLabel* lblMsg;
  QPushButton* cmdAjouter;
  QPushButton* cmdSupprimer;
  QPushButton* cmdOK;
  QPushButton* cmdAnnuler;

  /// Cancel, Escape and the close box: modified rows are dropped only when
  /// the user agrees.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Fill();
  void Show(const SignatureOutcome& outcome);
  void ClearMessage();
  std::optional<size_t> SelectedRow() const;
  void Select(std::optional<size_t> row);
  /// The list's first two columns sit over the first two boxes.
  void AlignColumns();
  void AddOrModify();
  void Remove();
  void SortBy(int column);
  void Save();
  bool MayDiscard();

  Dialogs& dialogs_;
  platform::FileSystem& fs_;
  std::string path_;
  SignatureTable& table_;
  std::function<void()> beep_;
  SignatureEditor editor_;
};

}  // namespace vorn::gui
