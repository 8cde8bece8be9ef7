#include "engine/update_rule.h"

namespace vorn {

UpdateDecision DecideUpdate(uint64_t source_time, uint64_t target_time, uint64_t source_size,
                            uint64_t target_size, bool newer_only, bool tolerance,
                            int32_t max_interval) {
  if (!tolerance) {
    if (newer_only) return {source_time > target_time, std::nullopt};
    return {source_time != target_time || source_size != target_size, std::nullopt};
  }
  // Both times fit in 63 bits for any date before the year 30000, so the
  // signed difference cannot overflow.
  const int64_t difference = static_cast<int64_t>(source_time) - static_cast<int64_t>(target_time);
  if (newer_only) return {difference >= max_interval, difference};
  const int64_t distance = difference < 0 ? -difference : difference;
  return {distance >= max_interval || source_size != target_size, distance};
}

}  // namespace vorn
