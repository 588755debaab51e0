#include "AciColors.h"

#include <algorithm>
#include <cmath>

namespace tabrik::plot {

namespace {

std::uint32_t rgb(double r, double g, double b) {
  auto byte = [](double v) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
  };
  return (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

// Hue in degrees with full value and the given saturation.
std::uint32_t fromHue(double hue, double saturation, double value) {
  const double c = value * saturation;
  const double h = std::fmod(hue, 360.0) / 60.0;
  const double x = c * (1.0 - std::fabs(std::fmod(h, 2.0) - 1.0));
  double r = 0, g = 0, b = 0;
  if (h < 1)
    r = c, g = x;
  else if (h < 2)
    r = x, g = c;
  else if (h < 3)
    g = c, b = x;
  else if (h < 4)
    g = x, b = c;
  else if (h < 5)
    r = x, b = c;
  else
    r = c, b = x;
  const double m = value - c;
  return rgb(r + m, g + m, b + m);
}

}  // namespace

std::uint32_t aciToRgb(int index) {
  static const std::uint32_t kFirst[10] = {0x000000, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF,
                                           0x0000FF, 0xFF00FF, 0xFFFFFF, 0x808080, 0xC0C0C0};
  if (index < 1 || index > 255) return 0x000000;
  if (index < 10) return kFirst[index];
  if (index >= 250) {
    static const double kGreys[6] = {0.2, 0.31, 0.41, 0.51, 0.68, 1.0};
    const double v = kGreys[index - 250];
    return rgb(v, v, v);
  }
  // 10..249: 24 hues 15 degrees apart; within each ten, five values, each at full and at
  // half saturation (even and odd indices).
  static const double kValues[5] = {1.0, 0.65, 0.5, 0.3, 0.15};
  const double hue = (index / 10 - 1) * 15.0;
  const int step = index % 10;
  return fromHue(hue, step % 2 == 0 ? 1.0 : 0.5, kValues[step / 2]);
}

}  // namespace tabrik::plot
