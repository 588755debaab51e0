// The module's random generator: the C runtime's generator of the host's platform
// (15-bit results, 0 to 32767), seeded once at initialisation with the clock. Kept
// inside the module so that the host's own use of rand() neither disturbs nor is
// disturbed by the LISP functions' sequence.
#pragma once

namespace tabrik::arx {

void seedRandom(unsigned seed);
// 0 to 32767.
int nextRandom();

}  // namespace tabrik::arx
