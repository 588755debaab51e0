// The type-code table of ResbufKinds.h.
#include "acdb/acut/ResbufKinds.h"

#include "adscodes.h"

namespace tabrik::acad {

namespace {

struct Range {
  int first;
  int last;
  ResbufKind kind;
};

// DXF group codes as entity data and extended data carry them.
constexpr Range kGroupCodes[] = {
    {-5, -5, ResbufKind::kName},       {-4, -4, ResbufKind::kString},
    {-3, -3, ResbufKind::kNone},       {-2, -1, ResbufKind::kName},
    {0, 9, ResbufKind::kString},       {10, 17, ResbufKind::kPoint},
    {38, 59, ResbufKind::kReal},       {60, 79, ResbufKind::kShort},
    {90, 99, ResbufKind::kLong},       {100, 109, ResbufKind::kString},
    {110, 112, ResbufKind::kPoint},    {140, 149, ResbufKind::kReal},
    {160, 169, ResbufKind::kInt64},    {170, 179, ResbufKind::kShort},
    {210, 210, ResbufKind::kPoint},    {270, 299, ResbufKind::kShort},
    {300, 309, ResbufKind::kString},   {310, 319, ResbufKind::kBinary},
    {320, 329, ResbufKind::kString},   {330, 369, ResbufKind::kName},
    {370, 389, ResbufKind::kShort},    {390, 399, ResbufKind::kName},
    {400, 409, ResbufKind::kShort},    {410, 419, ResbufKind::kString},
    {420, 429, ResbufKind::kLong},     {430, 439, ResbufKind::kString},
    {440, 459, ResbufKind::kLong},     {460, 469, ResbufKind::kReal},
    {470, 479, ResbufKind::kString},   {480, 481, ResbufKind::kName},
    {999, 1003, ResbufKind::kString},  {1004, 1004, ResbufKind::kBinary},
    {1005, 1009, ResbufKind::kString}, {1010, 1013, ResbufKind::kPoint},
    {1040, 1042, ResbufKind::kReal},   {1060, 1070, ResbufKind::kShort},
    {1071, 1071, ResbufKind::kLong},
};

}  // namespace

ResbufKind resbufKind(int restype) {
  switch (restype) {
    case RTREAL:
    case RTANG:
    case RTORINT:
      return ResbufKind::kReal;
    case RTPOINT:
    case RT3DPOINT:
      return ResbufKind::kPoint;
    case RTSHORT:
      return ResbufKind::kShort;
    case RTLONG:
      return ResbufKind::kLong;
    case RTSTR:
    case RTDXF0:
      return ResbufKind::kString;
    case RTENAME:
    case RTPICKS:
      return ResbufKind::kName;
    case RTNONE:
    case RTVOID:
    case RTLB:
    case RTLE:
    case RTDOTE:
    case RTNIL:
    case RTT:
      return ResbufKind::kNone;
    default:
      break;
  }
  for (const Range& range : kGroupCodes) {
    if (restype >= range.first && restype <= range.last) return range.kind;
  }
  return ResbufKind::kUnknown;
}

}  // namespace tabrik::acad
