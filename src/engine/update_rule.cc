#include "engine/update_rule.h"

#include <algorithm>

namespace vorn {

UpdateDecision DecideUpdate(const FileStamp& source, const FileStamp& target,
                            const UpdatePolicy& policy) {
  constexpr int64_t kHour = 36000000000;
  const auto magnitude = [](int64_t value) { return value < 0 ? -value : value; };
  // Both times fit in 63 bits for any date before the year 30000, so the
  // signed difference cannot overflow.
  int64_t difference = static_cast<int64_t>(source.time) - static_cast<int64_t>(target.time);
  if (policy.ignore_hour_shift && magnitude(magnitude(difference) - kHour) < policy.granularity) {
    difference = 0;
  }
  const bool sizes_differ = source.size != target.size;
  if (!policy.tolerance) {
    const bool same_time = magnitude(difference) < policy.granularity;
    if (policy.newer_only) return {!same_time && difference > 0, std::nullopt};
    return {!same_time || sizes_differ, std::nullopt};
  }
  const int64_t least = policy.granularity > 1
                            ? std::max<int64_t>(policy.max_interval, policy.granularity)
                            : policy.max_interval;
  if (policy.newer_only) return {difference >= least, difference};
  const int64_t distance = magnitude(difference);
  return {distance >= least || sizes_differ, distance};
}

}  // namespace vorn
