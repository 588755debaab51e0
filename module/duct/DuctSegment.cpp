// Segment lists, centre points, frames, transition lengths and frame alignment (see
// DuctSegment.h).
#include "duct/DuctSegment.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

#include <acedads.h>
#include <acutads.h>
#include <adscodes.h>
#include <gegbl.h>

namespace tabrik::arx::duct {

namespace {

// Moves the cursor past the rest of a list whose start has been read, up to and
// including its end; false when the list never ends.
bool skipToListEnd(ArgCursor& cursor) {
  int depth = 0;
  for (ArgCursor at = cursor; at != nullptr; at = at->rbnext) {
    if (at->restype == RTLB) {
      ++depth;
    } else if (at->restype == RTLE || at->restype == RTDOTE) {
      if (at->restype == RTLE && depth == 0) {
        cursor = at->rbnext;
        return true;
      }
      if (at->restype == RTLE) --depth;
    }
  }
  return false;
}

AcGeVector3d unit(AcGeVector3d v) {
  const double length = v.length();
  return length > 0 ? v / length : v;
}

// v turned about the unit axis by the angle (right-handed).
AcGeVector3d rotated(const AcGeVector3d& v, const AcGeVector3d& axis, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  return v * c + axis.crossProduct(v) * s + axis * (axis.dotProduct(v) * (1 - c));
}

bool near(const AcGeVector3d& a, const AcGeVector3d& b) { return (a - b).length() <= 0.01; }

// "convert_rp_dp" with the point and its code; its answer when that is a 3D point.
bool convertedPoint(const AcGePoint3d& point, std::int32_t code, AcGePoint3d& converted) {
  resbuf* call = acutBuildList(RTSTR, ACRX_T("convert_rp_dp"), RTLB, RTREAL, point.x, RTREAL,
                               point.y, RTREAL, point.z, RTLE, RTLONG, code, RTNONE);
  if (call == nullptr) return false;
  resbuf* answer = nullptr;
  const int status = acedInvoke(call, &answer);
  acutRelRb(call);
  bool found = false;
  if (status == RTNORM && answer != nullptr) {
    if (answer->restype == RT3DPOINT) {
      converted.set(answer->resval.rpoint[0], answer->resval.rpoint[1], answer->resval.rpoint[2]);
      found = true;
    } else if (answer->restype == RTLB) {
      // A list of exactly three numbers.
      double xyz[3];
      int count = 0;
      const resbuf* at = answer->rbnext;
      for (; at != nullptr && count < 3; at = at->rbnext, ++count) {
        if (at->restype == RTREAL) {
          xyz[count] = at->resval.rreal;
        } else if (at->restype == RTSHORT) {
          xyz[count] = at->resval.rint;
        } else if (at->restype == RTLONG) {
          xyz[count] = at->resval.rlong;
        } else {
          break;
        }
      }
      if (count == 3 && at != nullptr && at->restype == RTLE) {
        converted.set(xyz[0], xyz[1], xyz[2]);
        found = true;
      }
    }
  }
  acutRelRb(answer);
  return found;
}

}  // namespace

bool startsList(ArgCursor cursor) { return cursor != nullptr && cursor->restype == RTLB; }

bool readSegment(ArgCursor& cursor, Segment& segment) {
  ArgCursor at = cursor;
  Segment read;
  double coordinates[6];
  if (!readListStart(at)) return false;
  for (double& value : coordinates) {
    if (!readReal(at, value)) return false;
  }
  double width = 0, height = 0;
  if (!readInteger(at, read.pointCode) || !readReal(at, read.startCutBack) ||
      !readReal(at, read.endCutBack) || !readReal(at, width) || !readReal(at, height) ||
      !readString(at, read.shape) || !readReal(at, read.thickness1) ||
      !readReal(at, read.thickness2) || !readString(at, read.horizontal) ||
      !readString(at, read.vertical) || !readInteger(at, read.hangingFlag) ||
      !readReal(at, read.hangingOffset) || !skipToListEnd(at))
    return false;
  read.start.set(coordinates[0], coordinates[1], coordinates[2]);
  read.end.set(coordinates[3], coordinates[4], coordinates[5]);
  const double walls = 2 * read.thickness1 + 2 * read.thickness2;
  read.width = std::abs(width + walls);
  read.height = std::abs(height + walls);
  segment = std::move(read);
  cursor = at;
  return true;
}

bool isRoundAsWritten(const std::wstring& shape) {
  static const wchar_t* const kRound[] = {L"RD", L"OO", L"DX", L"OX", L"rd", L"oo", L"dx", L"ox"};
  return std::any_of(std::begin(kRound), std::end(kRound),
                     [&](const wchar_t* code) { return shape == code; });
}

bool isRectangularUpper(const std::wstring& shape) {
  std::wstring upper = shape;
  for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
  return !isRoundAsWritten(upper);
}

AcGePoint3d referencePoint(const Segment& segment, bool atEnd, bool convert) {
  AcGePoint3d point = atEnd ? segment.end : segment.start;
  AcGePoint3d converted;
  if (convert && convertedPoint(point, segment.pointCode, converted)) point = converted;
  return point;
}

AcGePoint3d centrePoint(const Segment& segment, bool atEnd, bool convert, const Frame& frame) {
  AcGePoint3d point = referencePoint(segment, atEnd, convert);
  const AcGeVector3d& y = frame[1];
  const AcGeVector3d& z = frame[2];
  const double halfHeight = segment.height / 2;
  if (segment.vertical == L"t") {
    point -= z * halfHeight;
  } else if (segment.vertical == L"h" && segment.hangingFlag != 0) {
    point += z * (halfHeight + segment.hangingOffset);
  } else if (segment.vertical == L"b" || segment.vertical == L"h") {
    point += z * halfHeight;
  }
  if (segment.horizontal == L"r") {
    point -= y * (segment.width / 2);
  } else if (segment.horizontal == L"l") {
    point += y * (segment.width / 2);
  }
  return point;
}

Frame frameOf(const Segment& segment, const Segment* other, bool convert) {
  const AcGePoint3d p1 = referencePoint(segment, false, convert);
  const AcGePoint3d p2 = referencePoint(segment, true, convert);
  const AcGeVector3d x = p2 - p1;
  const double plan = std::hypot(p2.x - p1.x, p2.y - p1.y);
  AcGeVector3d z;
  if (plan > AcGeContext::gTol.equalPoint()) {
    double a = std::atan2(p2.y - p1.y, p2.x - p1.x);
    if (a < 0) a += 2 * kPi;
    const AcGeVector3d y0(std::cos(a + kPi / 2), std::sin(a + kPi / 2), 0);
    z = x.crossProduct(y0);
  } else if (other != nullptr) {
    z = x.crossProduct(frameOf(*other, nullptr, convert)[1]);
  } else {
    z = AcGeVector3d(1, 0, 0);
  }
  const AcGeVector3d y = z.crossProduct(x);
  return Frame{unit(x), unit(y), unit(z)};
}

double transitionLength(double w1, double h1, bool rect1, double w2, double h2, bool rect2) {
  const double m = std::max(std::abs(w1 - w2), std::abs(h1 - h2));
  double length = (m * 0.5) / std::tan(kTaperAngle * kPi / 180);
  if (rect1 != rect2) length = std::max(length, std::max(w1, h1) * 0.5);
  return length;
}

void alignFrames(Frame& a, Frame& b, double aWidth, double aHeight, bool aRectangular,
                 double& bWidth, double& bHeight) {
  const AcGeVector3d bend = a[0].crossProduct(b[0]);
  Frame turned = a;
  if (aWidth != aHeight || aRectangular) {
    const double angle = std::acos(std::clamp(a[0].dotProduct(b[0]), -1.0, 1.0));
    if (bend.length() > 1e-12) {
      const AcGeVector3d axis = unit(bend);
      for (AcGeVector3d& v : turned) v = unit(rotated(v, axis, angle));
    }
  } else if (bend.length() > 1e-12) {
    // A round section has no width direction of its own: lay it in the bend.
    a[1] = unit(bend);
    a[2] = unit(a[0].crossProduct(bend));
    turned = Frame{unit(b[0]), unit(bend), unit(b[0].crossProduct(bend))};
  }
  if (near(turned[1], b[1])) return;
  const Frame original = b;
  b = turned;
  if (near(turned[1], -original[1])) return;
  if (near(turned[1], original[2]) || near(turned[1], -original[2])) std::swap(bWidth, bHeight);
}

}  // namespace tabrik::arx::duct
