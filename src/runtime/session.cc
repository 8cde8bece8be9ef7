#include "runtime/session.h"

#include "config/settings_texts.h"
#include "platform/prefetching_file_system.h"
#include "platform/process.h"

namespace vorn {
namespace {

// The engine's view of the signatures table, read afresh at each lookup:
// the signatures editor changes it while the program runs.
SignatureLookup ExtensionLookup(const Application& app) {
  return [&app](std::string_view signature) {
    return app.signatures.ExtensionForSignature(signature);
  };
}

// Helpers that list and look up ahead of the passes, as the setting says
// (1: none, the pass alone). Fixed for the session.
std::unique_ptr<platform::FileSystem> AheadOf(platform::FileSystem& fs, const Application& app,
                                              SessionKind kind) {
  if (kind != SessionKind::kMirroring || app.settings.Helpers == 1) return nullptr;
  std::vector<std::string> roots;
  for (const FolderPair& pair : app.pairs.pairs) {
    roots.push_back(pair.Source);
    roots.push_back(pair.Target);
  }
  const auto options = platform::PrefetchOptionsFor(app.settings.Helpers, roots);
  if (!options) return nullptr;
  return std::make_unique<platform::PrefetchingFileSystem>(fs, *options);
}

}  // namespace

Session::Session(platform::FileSystem& fs, platform::Clock& clock,
                 platform::ServiceControl& service, Application& app, SchedulerHost& host,
                 SessionKind kind)
    : app_(app),
      host_(host),
      service_(service),
      ahead_(AheadOf(fs, app, kind)),
      log_(ahead_ ? *ahead_ : fs, app.settings, clock, app.paths.app_folder,
           kind == SessionKind::kDryRun ? LogWriting::kOff : LogWriting::kOn),
      scheduler_(host, app.settings, app.system, app.pairs.pairs, app.service_mode),
      warnings_{host, log_, kind == SessionKind::kDryRun ? nullptr : &service, app.system,
                kind == SessionKind::kDryRun
                    ? std::function<void(const std::string&)>()
                    : std::function<void(const std::string&)>(platform::StartDetachedShellCommand)},
      engine_(MirrorEnvironment{ahead_ ? *ahead_ : fs, clock, app.system, app.settings, app.pairs.pairs, log_, host,
                                scheduler_, warnings_, ExtensionLookup(app),
                                PairKeyWriter(*app.ini)}),
      lifecycle_(service, app.settings.Langue) {
  scheduler_.AttachEngine(engine_);
  service.SetEventHandler(&lifecycle_);
  host.ApplyCommandStates(scheduler_.StatesFor(false));
}

Session::~Session() { service_.SetEventHandler(nullptr); }

bool Session::StartAutomatically(StartupHost& window) {
  if (app_.settings.Automatique) {
    window.MinimizeMainWindow();
    if (app_.settings.ArretAutomatique) {
      host_.ShowMessageWindow(std::string(Tr(SettingsText::kEscapeNotice, app_.settings.Langue)));
      scheduler_.Yield();
    }
    scheduler_.StartStop();
    return true;
  }
  if (app_.system.nt && app_.service_mode) {
    window.MinimizeMainWindow();
    scheduler_.StartStop();
    return true;
  }
  return false;
}

}  // namespace vorn
