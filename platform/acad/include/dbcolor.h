// AcCmColor: an entity's or layer's colour, by layer, by block, by index (ACI 1-255)
// or as a true colour (24-bit RGB).
#pragma once
#include <cstdint>

#include "adesk.h"

namespace AcCmEntityColor {
enum ColorMethod {
  kByLayer = 0xC0,
  kByBlock = 0xC1,
  kByColor = 0xC2,
  kByACI = 0xC3,
  kForeground = 0xC5,
  kNone = 0xC8
};
}

class AcCmColor {
 public:
  AcCmColor() = default;
  AcCmEntityColor::ColorMethod colorMethod() const { return m_method; }
  // The ACI number: 256 by layer, 0 by block, 1-255 by index; for a true colour the
  // nearest index the host would show (kept as given by setColorIndex otherwise).
  Adesk::UInt16 colorIndex() const;
  void setColorIndex(Adesk::UInt16 index);
  void setByLayer() { setColorIndex(256); }
  void setByBlock() { setColorIndex(0); }
  void setRGB(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue);
  Adesk::UInt8 red() const { return (m_rgb >> 16) & 0xFF; }
  Adesk::UInt8 green() const { return (m_rgb >> 8) & 0xFF; }
  Adesk::UInt8 blue() const { return m_rgb & 0xFF; }
  bool isByLayer() const { return m_method == AcCmEntityColor::kByLayer; }
  bool isByBlock() const { return m_method == AcCmEntityColor::kByBlock; }
  bool isByACI() const { return m_method == AcCmEntityColor::kByACI; }
  bool isByColor() const { return m_method == AcCmEntityColor::kByColor; }
  // 0xRRGGBB of a true colour.
  std::uint32_t rgb() const { return m_rgb; }
  bool operator==(const AcCmColor& other) const {
    return m_method == other.m_method && m_index == other.m_index && m_rgb == other.m_rgb;
  }
  bool operator!=(const AcCmColor& other) const { return !(*this == other); }

 private:
  AcCmEntityColor::ColorMethod m_method = AcCmEntityColor::kByLayer;
  Adesk::UInt16 m_index = 256;
  std::uint32_t m_rgb = 0;
};
