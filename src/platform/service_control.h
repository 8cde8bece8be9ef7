#pragma once

#include <string_view>

namespace vorn::platform {

/// Start types of the service, as the service administration stores them.
/// A value read back that is neither automatic nor manual shows as disabled.
inline constexpr int kStartAutomatic = 0;
inline constexpr int kStartManual = 1;
inline constexpr int kStartDisabled = 2;

/// Kinds of system event-log entries.
enum class EventType { kWarning = 2, kInformation = 4 };

/// Life-cycle events of the service, delivered once per occurrence on the
/// program's one thread.
class ServiceEventHandler {
 public:
  virtual ~ServiceEventHandler() = default;
  virtual void OnServiceStarted(std::string_view argument) = 0;
  virtual void OnServiceStopped() = 0;
  virtual void OnServicePaused() = 0;
  virtual void OnServiceContinued() = 0;
  virtual void OnUserLoggedOff() = 0;
};

/// Everything the program asks of the system's service manager and event
/// log; nothing else talks to them. The program never checks the outcome of
/// Install, Uninstall or LogEvent. On Linux the implementation keeps a
/// systemd unit and writes to syslog; life-cycle events come from signals.
class ServiceControl {
 public:
  virtual ~ServiceControl() = default;

  /// The service is registered with the service manager.
  virtual bool IsInstalled() = 0;
  /// The service is registered and mirrors this program's application folder.
  virtual bool IsInstalledHere() = 0;
  /// This process is the service process the manager started.
  virtual bool IsRunningAsService() = 0;
  /// The service is running now.
  virtual bool IsRunning() = 0;

  /// Start type (kStartAutomatic, kStartManual, kStartDisabled), read back as set.
  virtual int StartType() = 0;
  virtual void SetStartType(int start_type) = 0;
  /// Whether the service may interact with the desktop, read back as set.
  virtual bool InteractWithDesktop() = 0;
  virtual void SetInteractWithDesktop(bool interact) = 0;

  /// Registers the service (not started). The program always passes false.
  virtual void Install(bool start_now) = 0;
  /// Unregisters the service.
  virtual void Uninstall() = 0;
  /// Writes one event-log entry.
  virtual void LogEvent(EventType type, std::string_view text) = 0;

  /// Where life-cycle events go; null stops their delivery.
  virtual void SetEventHandler(ServiceEventHandler* handler) = 0;
  /// Raises the events that happened since the last call, on the caller's
  /// thread (the program's one thread calls it between events).
  virtual void DeliverPendingEvents() = 0;
};

}  // namespace vorn::platform
