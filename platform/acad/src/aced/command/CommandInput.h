// Input steps shared by the built-in commands, over the ads input calls: points that
// may be typed relative to the last point ("@dx,dy", "@dist<angle") or in polar form
// ("dist<angle"), distances, angles, reals and keywords, each answering with the
// status of the ads call (RTNORM, RTKWORD, RTNONE for Enter, RTCAN). Values shown as
// defaults are formatted as the host shows them (LUPREC places, degrees to AUPREC).
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "gept3d.h"

namespace tabrik::acad::command {

struct Answer {
  int status = 0;        // RTNORM, RTKWORD, RTNONE, RTCAN
  AcGePoint3d point;     // RTNORM of a point request
  double value = 0.0;    // RTNORM of a distance, angle or real request
  std::wstring keyword;  // RTKWORD: the keyword's full name
  bool isKeyword(const wchar_t* name) const;
};

// A point; `base` draws the rubber band. Text that is neither a point nor one of the
// keywords prints the host's message and is typed again. The point becomes LASTPOINT.
Answer getPoint(const AcGePoint3d* base, const std::wstring& prompt,
                const std::wstring& keywords = L"", int bits = 0);
// A distance: a number, or a point whose distance from `base` (or from a first point
// typed) counts.
Answer getDistance(const AcGePoint3d* base, const std::wstring& prompt,
                   const std::wstring& keywords = L"", int bits = 0);
// An angle in radians, counter-clockwise from the X axis (acedGetOrient); a typed
// number is in degrees of the drawing's angle system.
Answer getAngle(const AcGePoint3d* base, const std::wstring& prompt,
                const std::wstring& keywords = L"", int bits = 0);
// A signed angle in radians as typed (an included angle: positive counter-clockwise);
// two points give the direction between them.
Answer getIncludedAngle(const AcGePoint3d* base, const std::wstring& prompt,
                        const std::wstring& keywords = L"", int bits = 0);
// A point, or a number (RTREAL with `value`), or a keyword: scale factors that a corner
// point may give instead.
Answer getPointOrNumber(const AcGePoint3d* base, const std::wstring& prompt,
                        const std::wstring& keywords, int bits = 0);
Answer getReal(const std::wstring& prompt, const std::wstring& keywords = L"", int bits = 0);
// A keyword of the list; Enter is RTNONE (the caller's default).
Answer getKeyword(const std::wstring& prompt, const std::wstring& keywords, int bits = 0);
// A line of text (spaces kept when allowSpaces); RTNORM with `keyword` holding it.
Answer getText(const std::wstring& prompt, bool allowSpaces);

// The value as the host shows a distance (LUPREC decimal places) or an angle (degrees,
// AUPREC places).
std::wstring formatDistance(double value);
std::wstring formatAngle(double radians);
std::wstring formatPoint(const AcGePoint3d& point);

// LASTPOINT and other point and real host variables.
AcGePoint3d lastPoint();
void setLastPoint(const AcGePoint3d& point);
double realVariable(const wchar_t* name, double fallback);
int intVariable(const wchar_t* name, int fallback);
std::wstring stringVariable(const wchar_t* name);
void setRealVariable(const wchar_t* name, double value);
void setIntVariable(const wchar_t* name, int value);
void setStringVariable(const wchar_t* name, const std::wstring& value);

// "@dx,dy[,dz]", "@dist<angle", "dist<angle" relative to `last`; nothing for other text.
std::optional<AcGePoint3d> parseTypedPoint(const std::wstring& text, const AcGePoint3d& last);

}  // namespace tabrik::acad::command
