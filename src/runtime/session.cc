#include "runtime/session.h"

#include "config/settings_texts.h"
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

}  // namespace

Session::Session(platform::FileSystem& fs, platform::Clock& clock,
                 platform::ServiceControl& service, Application& app, SchedulerHost& host,
                 SessionKind kind)
    : app_(app),
      host_(host),
      service_(service),
      log_(fs, app.settings, clock, app.paths.app_folder,
           kind == SessionKind::kDryRun ? LogWriting::kOff : LogWriting::kOn),
      scheduler_(host, app.settings, app.system, app.pairs.pairs, app.service_mode),
      warnings_{host, log_, kind == SessionKind::kDryRun ? nullptr : &service, app.system,
                kind == SessionKind::kDryRun
                    ? std::function<void(const std::string&)>()
                    : std::function<void(const std::string&)>(platform::StartDetachedShellCommand)},
      engine_(MirrorEnvironment{fs, clock, app.system, app.settings, app.pairs.pairs, log_, host,
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
