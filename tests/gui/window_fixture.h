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

#include "gui/frm_mirror.h"
#include "platform/fault_injecting_file_system.h"
#include "config/hex_path.h"
#include "support/fakes.h"

namespace vorn::gui::testing {

class WindowFixture {
 protected:
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<platform::FileSystem> real_fs_;
  std::unique_ptr<platform::FaultInjectingFileSystem> fs_;
  vorn::testing::FakeServiceControl service_;
  vorn::testing::FakeClock clock_;
  vorn::testing::ScriptedDialogs dialogs_;
  /// The URLs handed to the desktop, as it would show them.
  std::vector<std::string> opened_;
  /// What to do with the next dialogs the window runs, in order: each step
  /// works the dialog's controls (and usually clicks OK or Cancel). A dialog
  /// with no step left is cancelled.
  std::vector<std::function<void(QDialog&)>> dialog_steps_;
  /// The object names of the dialogs the window ran.
  QStringList dialogs_run_;
  std::unique_ptr<frmMirror> window_;

  void Reset() {
    window_.reset();
    dir_ = std::make_unique<QTemporaryDir>();
    MakeFolder("home");
    real_fs_ = platform::MakePosixFileSystem();
    fs_ = std::make_unique<platform::FaultInjectingFileSystem>(*real_fs_);
    dialogs_ = {};
    opened_.clear();
    dialog_steps_.clear();
    dialogs_run_.clear();
  }

  QString QPath(const QString& relative) const { return dir_->path() + "/" + relative; }
  std::string Path(const QString& relative) const { return QPath(relative).toStdString(); }
  void Write(const QString& relative, const QByteArray& content) {
    QFile file(dir_->path() + "/" + relative);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  QByteArray Read(const QString& relative) {
    QFile file(dir_->path() + "/" + relative);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void MakeFolder(const QString& relative) { QVERIFY(QDir(dir_->path()).mkpath(relative)); }

  /// Pairs over folders named s<i> and t<i>, each with its settings section;
  /// `configuration` opens the file.
  void Pairs(const QStringList& sections,
             const QByteArray& configuration = "[Configuration]\r\nLangue=3\r\n") {
    QByteArray pairs;
    QByteArray ini = configuration;
    for (int i = 0; i < sections.size(); ++i) {
      const QString n = QString::number(i);
      MakeFolder("s" + n);
      MakeFolder("t" + n);
      const auto hex = [this](const QString& name) {
        return "\"" + QByteArray::fromStdString(EncodeHexPath(Path(name))) + "\"";
      };
      pairs += hex("s" + n) + "," + hex("t" + n) + "\r\n";
      ini += "[Mirror_" + QByteArray::number(i + 1) + "]\r\n" + sections[i].toUtf8() + "\r\n";
    }
    Write("home/Vorn.w", pairs);
    Write("home/Vorn.ini", ini);
  }
  /// Pairs, then the window over them.
  void Open(const QStringList& sections = {"Enable=1"},
            const QByteArray& configuration = "[Configuration]\r\nLangue=3\r\n") {
    Pairs(sections, configuration);
    Start();
  }

  void Start() {
    window_ = std::make_unique<frmMirror>(
        MainWindowServices{*fs_, service_, clock_, dialogs_,
                           [this](const QUrl& url) {
                             opened_.push_back(url.toString().toStdString());
                           },
                           [this](QDialog& dialog) {
                             dialogs_run_.push_back(dialog.objectName());
                             if (dialog_steps_.empty()) return static_cast<int>(QDialog::Rejected);
                             const auto step = dialog_steps_.front();
                             dialog_steps_.erase(dialog_steps_.begin());
                             dialog.setResult(QDialog::Rejected);
                             step(dialog);
                             return dialog.result();
                           }});
    ProgramOptions options;
    options.home = Path("home");
    QVERIFY(window_->Load(options));
    window_->show();
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
  /// The keys of one section in file order, as "key=value".
  QStringList Section(const QString& name) {
    QStringList keys;
    bool inside = false;
    for (QString line : QString::fromUtf8(Read("home/Vorn.ini")).split('\n')) {
      line.remove('\r');
      if (line.startsWith('[')) {
        inside = line.compare("[" + name + "]", Qt::CaseInsensitive) == 0;
      } else if (inside && !line.isEmpty()) {
        keys << line;
      }
    }
    return keys;
  }
  /// The pairs file decoded, one "source -> target" per pair.
  QStringList PairsOnDisk() {
    QStringList pairs;
    for (const QByteArray& line : Read("home/Vorn.w").split('\n')) {
      const QList<QByteArray> fields = line.trimmed().split(',');
      if (fields.size() != 2) continue;
      const auto decode = [](const QByteArray& field) {
        return QString::fromStdString(
            DecodeHexPath(field.mid(1, field.size() - 2).toStdString()).value_or("?"));
      };
      pairs << decode(fields[0]) + " -> " + decode(fields[1]);
    }
    return pairs;
  }

  QString Caption(const char* name) {
    if (auto* menu = window_->findChild<QMenu*>(name)) return menu->title();
    if (auto* action = window_->findChild<QAction*>(name)) return action->text();
    if (auto* label = window_->findChild<QLabel*>(name)) return label->text();
    if (auto* group = window_->findChild<QGroupBox*>(name)) return group->title();
    if (auto* button = window_->findChild<QAbstractButton*>(name)) return button->text();
    return "<no control>";
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
