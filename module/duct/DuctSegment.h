// The duct segment list that the LISP side computes for every segment of a run, and the
// geometry the duct functions derive from it: centre points, the fitting frame, the
// transition length between two sections, and the alignment of frames across a bend.
//
// A segment list is 18 elements: x1 y1 z1 x2 y2 z2 (reference points), point code,
// start and end cut-backs, width, height, shape code, wall layer thicknesses 1 and 2,
// horizontal and vertical justification, hanging flag and hanging offset.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include <gept3d.h>
#include <gevec3d.h>

#include "host/ArgReaders.h"

namespace tabrik::arx::duct {

// The routing code's pi, eight decimals; every angle of the duct functions uses it.
constexpr double kPi = 3.14159265;
// The taper angle of every transition, in degrees.
constexpr double kTaperAngle = 15.0;

struct Segment {
  AcGePoint3d start, end;  // reference points as given
  std::int32_t pointCode = 0;
  double startCutBack = 0, endCutBack = 0;
  // Outer sizes: the given sizes grown by both wall layers on each side, made positive.
  double width = 0, height = 0;
  std::wstring shape;
  double thickness1 = 0, thickness2 = 0;
  std::wstring horizontal, vertical;
  std::int32_t hangingFlag = 0;
  double hangingOffset = 0;
};

// Axis (along the segment), width direction, height direction.
using Frame = std::array<AcGeVector3d, 3>;

// Reads one segment list (a list start, the 18 elements, the list end; elements beyond
// the 18th are skipped). False, with the cursor where it was, when the list is missing,
// short or has an element of the wrong type.
bool readSegment(ArgCursor& cursor, Segment& segment);
// Whether the next argument opens a list (an optional segment follows).
bool startsList(ArgCursor cursor);

// Round or oval by the code as written ("RD", "OO", "DX", "OX" and their lower-case
// forms); the taper, the transition length and the size matching decide so.
bool isRoundAsWritten(const std::wstring& shape);
// Rectangular by the code upper-cased ("Rd" is round here); the straight duct and the
// elbow construction decide so.
bool isRectangularUpper(const std::wstring& shape);
inline bool isRectangularAsWritten(const std::wstring& shape) { return !isRoundAsWritten(shape); }

// The reference point at the start (or end), passed through the LISP application's
// "convert_rp_dp" when `convert` is set and it answers with a point.
AcGePoint3d referencePoint(const Segment& segment, bool atEnd, bool convert);
// The centre point: the reference point, then the vertical and horizontal justification
// along the frame's height and width directions.
AcGePoint3d centrePoint(const Segment& segment, bool atEnd, bool convert, const Frame& frame);

// The segment's frame, relative to `other` when it is given (it decides the height
// direction of a vertical segment).
Frame frameOf(const Segment& segment, const Segment* other, bool convert);

// The length of a taper between two sections at the taper angle.
double transitionLength(double w1, double h1, bool rect1, double w2, double h2, bool rect2);

// Aligns frame b to frame a across a bend; may turn a round a's own frame, replace b,
// and swap b's width and height.
void alignFrames(Frame& a, Frame& b, double aWidth, double aHeight, bool aRectangular,
                 double& bWidth, double& bHeight);

}  // namespace tabrik::arx::duct
