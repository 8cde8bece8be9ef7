#include "runtime/startup.h"

#include "engine/macintosh.h"
#include "runtime/service_admin.h"
#include "runtime/service_texts.h"
#include "config/settings_texts.h"
#include "runtime/runtime_texts.h"

namespace vorn {

// The mode texts read the same in every language, so any language will do.
ModeDisplay ModeFor(bool service) {
  return {service,
          std::string(Tr(service ? ServiceText::kModeService : ServiceText::kModeApplication,
                         kEnglish)),
          std::string(Tr(service ? ServiceText::kTipService : ServiceText::kTipApplication,
                         kEnglish))};
}

namespace {

// A configuration write cut short by a crash leaves its temporary file in
// the application folder; this instance alone writes there now.
void ClearTemporaries(platform::FileSystem& fs, const std::string& app_folder) {
  if (auto folder = fs.OpenFolder(app_folder); folder.ok()) {
    platform::DeleteCopyTemporaries(fs, **folder);
  }
}

platform::InstanceKind KindOf(RunMode mode) {
  switch (mode) {
    case RunMode::kOnce:
      return platform::InstanceKind::kOnce;
    case RunMode::kHeadless:
      return platform::InstanceKind::kHeadless;
    case RunMode::kService:
      return platform::InstanceKind::kService;
    default:
      return platform::InstanceKind::kWindow;
  }
}

StartupResult EndStartup(StartupHost& host, bool tray_icon_added) {
  if (tray_icon_added) host.RemoveTrayIcon();
  return {false, kExitStartupEnded};
}

}  // namespace

PairList LoadPairs(platform::FileSystem& fs, const Application& app,
                   const MirrorSettings& settings) {
  PairLoadContext context;
  context.nt = app.system.nt;
  context.language = settings.Langue;
  context.is_macintosh_volume = [&fs](const std::string& folder) {
    return IsMacintoshVolume(fs, folder);
  };
  context.application_folder = app.paths.app_folder;
  context.log_folder = settings.PathLogs;
  return LoadFolderPairs(fs, *app.ini, app.paths.pairs_file, context);
}

void ReloadPairs(platform::FileSystem& fs, Application& app) {
  app.pairs = LoadPairs(fs, app, app.settings);
}

StartupResult RunStartup(const ProgramOptions& options, platform::FileSystem& fs,
                         platform::ServiceControl& service, StartupHost& host, Application& app) {
  const std::string product_label = ProductLabel();
  host.SetTitle(product_label, product_label);

  const auto folder = platform::ResolveApplicationFolder(options.home);
  if (!folder.ok()) {
    host.ShowMessage(MessageIcon::kCritical, folder.error().Describe());
    return EndStartup(host, false);
  }
  app.paths = MakeAppPaths(*folder);
  app.ini = std::make_unique<IniFile>(fs, app.paths.configuration_file);

  // The language comes before the one-instance rule: its message speaks it.
  const Language language = ReadLanguage(*app.ini);
  app.settings.Langue = language;
  // A dry run leaves the folder as it found it, so it holds the lock
  // without writing who holds it.
  app.instance.emplace(options.dry_run
                           ? platform::InstanceLock::TryAcquire(app.paths.app_folder)
                           : platform::InstanceLock::TryAcquire(app.paths.app_folder,
                                                                app.paths.lock_file,
                                                                KindOf(options.mode)));
  if (app.instance->state() == platform::InstanceLock::State::kAlreadyRunning) {
    host.ShowMessage(MessageIcon::kExclamation, Tr(ShellText::kAlreadyRunning, language));
    return EndStartup(host, false);
  }

  ClearTemporaries(fs, app.paths.app_folder);
  app.system = DescribeSystem(options.command_line, platform::ReadOsFacts());
  host.SetTitle(WindowTitle(app.system), product_label);
  // Macintosh file-server volumes exist on the NT family from version 4.
  if (app.system.nt && app.system.nt_major_version >= 4) {
    LoadSignatures(app.signatures, fs, app.paths.signatures_file, host, language);
  }

  bool automatic_cleared = false;
  if (app.system.nt) {
    if (service.IsInstalled() && service.IsRunningAsService()) {
      app.service_mode = true;
    } else if (service.IsInstalledHere()) {
      // A service of another application folder mirrors other pairs; this
      // run takes nothing from it.
      if (!host.AskYesNo(Tr(ServiceText::kStartupQuestion, language))) {
        return EndStartup(host, false);
      }
      RemoveServiceAtStartup(service, language);
      // This run must not start mirroring by itself.
      app.ini->Write(kConfigurationSection, "Automatique", "0");
      automatic_cleared = true;
    }
    host.ShowMode(ModeFor(app.service_mode));
  } else {
    host.ShowMode(ModeFor(false));
  }

  app.settings = LoadSettings(*app.ini, fs, app.paths.app_folder);
  if (automatic_cleared) app.settings.Automatique = false;
  host.ApplySettings(app.settings);
  host.AddTrayIcon(ProductLabel());
  host.SetWaitProgressRange(WaitProgressMaximum(app.settings.Temporisation));
  host.ApplySystemFeatures(app.system.family());
  host.ApplyLanguage(app.settings.Langue);

  ReloadPairs(fs, app);
  if (app.pairs.damaged_message) {
    host.ShowMessage(MessageIcon::kCritical, *app.pairs.damaged_message);
    return EndStartup(host, true);
  }
  if (app.system.unattended && app.pairs.first_missing_pair != 0) {
    return EndStartup(host, true);  // silently, as an unattended run must
  }
  host.ShowPairs(app.pairs);
  return {};
}

}  // namespace vorn
