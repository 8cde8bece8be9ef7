#include "engine/update_rule.h"

namespace vorn {

UpdateDecision DecideUpdate(const FileStamp& source, const FileStamp& target,
                            const UpdatePolicy& policy) {
  if (!policy.tolerance) {
    if (policy.newer_only) return {source.time > target.time, std::nullopt};
    return {source.time != target.time || source.size != target.size, std::nullopt};
  }
  // Both times fit in 63 bits for any date before the year 30000, so the
  // signed difference cannot overflow.
  const int64_t difference = static_cast<int64_t>(source.time) - static_cast<int64_t>(target.time);
  if (policy.newer_only) return {difference >= policy.max_interval, difference};
  const int64_t distance = difference < 0 ? -difference : difference;
  return {distance >= policy.max_interval || source.size != target.size, distance};
}

}  // namespace vorn
