// Geometry and unit helpers of the ads utility interface.
#include <cmath>
#include <cwctype>
#include <string>

#include "acutads.h"

ads_real acutDistance(const ads_point p1, const ads_point p2) {
  return std::sqrt((p2[X] - p1[X]) * (p2[X] - p1[X]) + (p2[Y] - p1[Y]) * (p2[Y] - p1[Y]) +
                   (p2[Z] - p1[Z]) * (p2[Z] - p1[Z]));
}

// The angle of p1->p2 projected on the XY plane, counter-clockwise from +X, in [0, 2pi).
ads_real acutAngle(const ads_point p1, const ads_point p2) {
  ads_real angle = std::atan2(p2[Y] - p1[Y], p2[X] - p1[X]);
  return angle < 0 ? angle + 2 * M_PI : angle;
}

void acutPolar(const ads_point pt, ads_real angle, ads_real dist, ads_point result) {
  ads_real x = pt[X] + dist * std::cos(angle);
  ads_real y = pt[Y] + dist * std::sin(angle);
  result[X] = x;
  result[Y] = y;
  result[Z] = pt[Z];
}

namespace {

struct Unit {
  const wchar_t* names[3];
  int dimension;  // 0 length, 1 angle
  double factor;  // to metres or radians
};

constexpr Unit kUnits[] = {
    {{L"inch", L"inches", L"in"}, 0, 0.0254},
    {{L"foot", L"feet", L"ft"}, 0, 0.3048},
    {{L"yard", L"yards", L"yd"}, 0, 0.9144},
    {{L"mile", L"miles", L"mi"}, 0, 1609.344},
    {{L"millimeter", L"millimeters", L"mm"}, 0, 0.001},
    {{L"centimeter", L"centimeters", L"cm"}, 0, 0.01},
    {{L"meter", L"meters", L"m"}, 0, 1.0},
    {{L"kilometer", L"kilometers", L"km"}, 0, 1000.0},
    {{L"radian", L"radians", L"rad"}, 1, 1.0},
    {{L"degree", L"degrees", L"deg"}, 1, M_PI / 180.0},
    {{L"grad", L"grads", L"gon"}, 1, M_PI / 200.0},
};

const Unit* findUnit(const ACHAR* name) {
  if (name == nullptr) return nullptr;
  std::wstring lower;
  for (const ACHAR* c = name; *c; ++c) lower.push_back(static_cast<wchar_t>(std::towlower(*c)));
  for (const Unit& unit : kUnits) {
    for (const wchar_t* candidate : unit.names) {
      if (lower == candidate) return &unit;
    }
  }
  return nullptr;
}

}  // namespace

int acutCvUnit(ads_real value, const ACHAR* oldunit, const ACHAR* newunit, ads_real* result) {
  const Unit* from = findUnit(oldunit);
  const Unit* to = findUnit(newunit);
  if (from == nullptr || to == nullptr || from->dimension != to->dimension || result == nullptr)
    return RTERROR;
  *result = value * from->factor / to->factor;
  return RTNORM;
}
