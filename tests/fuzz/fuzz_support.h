#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace vorn::fuzz {

/// Writes the input to a scratch file made once per process and answers
/// its path: the readers under test read real files.
std::string WriteScratch(std::string_view data, const char* name);

/// Stops the fuzzer with a crash when an invariant does not hold.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace vorn::fuzz
