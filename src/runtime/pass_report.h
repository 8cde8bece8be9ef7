#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/mirror_engine.h"
#include "engine/pass_display.h"
#include "base/text.h"

namespace vorn {

/// Whether a pass made its changes or only foresaw them (a dry run).
enum class PassChanges { kMade, kForeseen };

/// The JSON object (one line, no line end) of one entry event.
std::string JsonEventLine(const PassEvent& event);

/// The JSON object (one line, no line end) of a finished pass: its pairs,
/// every counter, whether it was a dry run and how long it took.
std::string JsonSummaryLine(const MirrorEngine& engine, PassChanges changes, int64_t elapsed_ms);

/// The line a terminal shows for an entry the pass changed or found locked,
/// in the log's words ("Creation - /path"); empty for the events told
/// elsewhere (failures on standard error, missing folders by the warnings).
std::string EventText(const PassEvent& event, Language language);

/// The line standard error shows for an entry that could not be mirrored.
std::string FailureText(const PassEvent& event);

/// A byte count for people: "512 B", "1.5 KiB", "12.3 MiB", "2.0 GiB".
std::string ByteCount(uint64_t bytes);

}  // namespace vorn
