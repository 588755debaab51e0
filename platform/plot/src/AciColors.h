// The host's 256 indexed colours as RGB.
#pragma once
#include <cstdint>

namespace tabrik::plot {

// 0xRRGGBB of colour index 1..255 (out of range: black). Index 7 is white on the
// screen; the plotter shows it black on paper.
std::uint32_t aciToRgb(int index);

}  // namespace tabrik::plot
