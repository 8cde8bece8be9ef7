#pragma once

#include <string_view>

namespace vorn {

/// Title of every message box, base name of the configuration and pairs
/// files, part of the log file name. Not the executable's name.
inline constexpr std::string_view kProductName = "Vorn";
/// Shown in the window title, the tray tip and the about box.
inline constexpr std::string_view kVersion = "2.2i";
/// Name of the background service in messages and event-log texts.
inline constexpr std::string_view kServiceName = "Vorn Service";

}  // namespace vorn
