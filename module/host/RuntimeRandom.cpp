// The runtime's linear congruential generator: state' = state * 214013 + 2531011,
// result = bits 16 to 30 of the new state.
#include "host/RuntimeRandom.h"

#include <cstdint>

namespace tabrik::arx {
namespace {

std::uint32_t g_state = 1;

}  // namespace

void seedRandom(unsigned seed) { g_state = seed; }

int nextRandom() {
  g_state = g_state * 214013u + 2531011u;
  return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

}  // namespace tabrik::arx
