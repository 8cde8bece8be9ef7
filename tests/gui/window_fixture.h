#pragma once

// The main window over a temporary application folder, with fakes for the
// outside world and scripted answers for every modal exchange.

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "config/hex_path.h"
#include "gui/frm_mirror.h"
#include "platform/fault_injecting_file_system.h"
#include "support/fakes.h"

namespace vorn::gui::testing {

class WindowFixture {
 protected:
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<platform::FileSystem> real_fs_ = platform::MakePosixFileSystem();
  std::unique_ptr<platform::FaultInjectingFileSystem> fs_;
  vorn::testing::FakeServiceControl service_;
  vorn::testing::FakeClock clock_;
  vorn::testing::ScriptedDialogs dialogs_;
  std::vector<std::string> opened_;  ///< the URLs handed to the desktop
  /// Work the next dialogs the window runs, in order; one with no step left is cancelled.
  std::vector<std::function<void(QDialog&)>> dialog_steps_;
  int dialogs_run_ = 0;  ///< how many the window ran
  std::unique_ptr<frmMirror> window_;

  void Reset() {
    window_.reset();
    dir_ = std::make_unique<QTemporaryDir>();
    MakeFolder("home");
    fs_ = std::make_unique<platform::FaultInjectingFileSystem>(*real_fs_);
    dialogs_ = {};
    opened_.clear();
    dialog_steps_.clear();
    dialogs_run_ = 0;
  }

  QString QPath(const QString& relative) const { return dir_->path() + "/" + relative; }
  std::string Path(const QString& relative) const { return QPath(relative).toStdString(); }
  void Write(const QString& relative, const QByteArray& content) {
    QFile file(QPath(relative));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
  }
  QByteArray Read(const QString& relative) {
    QFile file(QPath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void MakeFolder(const QString& relative) { QVERIFY(QDir(dir_->path()).mkpath(relative)); }

  /// Pairs over folders s<i> -> t<i>, each with its settings section, and the window over them.
  void Open(const QStringList& sections = {"Enable=1"},
            const QByteArray& configuration = "[Configuration]\r\nLangue=3\r\n") {
    QByteArray pairs;
    QByteArray ini = configuration;
    for (int i = 0; i < sections.size(); ++i) {
      const QString n = QString::number(i);
      MakeFolder("s" + n);
      MakeFolder("t" + n);
      pairs += Line(Path("s" + n), Path("t" + n));
      ini += "[Mirror_" + QByteArray::number(i + 1) + "]\r\n" + sections[i].toUtf8() + "\r\n";
    }
    if (!sections.isEmpty()) Write("home/Vorn.w", pairs);
    Write("home/Vorn.ini", ini);
    Start();
  }
  /// A line of the pairs file.
  static QByteArray Line(const std::string& source, const std::string& target) {
    return "\"" + QByteArray::fromStdString(EncodeHexPath(source)) + "\",\"" +
           QByteArray::fromStdString(EncodeHexPath(target)) + "\"\r\n";
  }
  /// The pairs file as stored.
  QByteArray Pairs() { return Read("home/Vorn.w"); }
  /// The window over the files as they are.
  void Start() {
    window_ = std::make_unique<frmMirror>(MainWindowServices{
        *fs_, service_, clock_, dialogs_,
        [this](const QUrl& url) { opened_.push_back(url.toString().toStdString()); },
        [this](QDialog& dialog) {
          ++dialogs_run_;
          dialog.setResult(QDialog::Rejected);
          if (dialog_steps_.empty()) return int(QDialog::Rejected);
          const auto step = dialog_steps_.front();
          dialog_steps_.erase(dialog_steps_.begin());
          step(dialog);
          return dialog.result();
        }});
    ProgramOptions options;
    options.home = Path("home");
    QVERIFY(window_->Load(options));
    window_->show();
  }
  /// Works the next dialog the window runs, which must be a `Dialog`.
  template <typename Dialog>
  void Step(std::function<void(Dialog&)> work) {
    dialog_steps_.push_back([work](QDialog& dialog) {
      auto* typed = qobject_cast<Dialog*>(&dialog);
      QVERIFY2(typed != nullptr, qPrintable(dialog.objectName()));
      work(*typed);
    });
  }

  QString LastMessage() const {
    return dialogs_.messages.empty() ? QString()
                                     : QString::fromStdString(dialogs_.messages.back().second);
  }
  std::string Ini() { return Read("home/Vorn.ini").toStdString(); }
  /// The first of these texts the settings file lacks; empty when it has them all.
  QString IniMissing(std::initializer_list<std::string> texts) {
    const std::string ini = Ini();
    for (const std::string& text : texts) {
      if (ini.find(text) == std::string::npos) return QString::fromStdString(text);
    }
    return {};
  }
  QPoint CellCentre(int row, int column) {
    return window_->lstDossiers->visualRect(window_->lstDossiers->model()->index(row, column))
        .center();
  }
  void ClickCell(int row, int column, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(window_->lstDossiers->viewport(), Qt::LeftButton, modifiers,
                      CellCentre(row, column));
  }
};

}  // namespace vorn::gui::testing
