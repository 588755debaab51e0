// RECTANG: a closed polyline of four corners from two corner points, or from a length
// and width, or an area and one side, turned by a rotation. The modes (chamfer or
// fillet at the corners, elevation, thickness, width) and the last length, width,
// area and rotation stay for the session, as the host keeps them.
#include <cmath>
#include <vector>

#include "acedads.h"
#include "acutads.h"
#include "aced/command/CommandDrawing.h"
#include "aced/command/CommandGeometry.h"
#include "aced/command/CommandInput.h"
#include "aced/command/CoreCommands.h"
#include "dbpl.h"

namespace tabrik::acad::command {

namespace {

struct RectangleModes {
  double chamfer1 = 0.0, chamfer2 = 0.0, fillet = 0.0;
  double elevation = 0.0, thickness = 0.0, width = 0.0;
  double length = 10.0, breadth = 10.0, area = 100.0, rotation = 0.0;
};

RectangleModes& modes() {
  static RectangleModes kept;
  return kept;
}

void showModes() {
  const RectangleModes& m = modes();
  std::wstring text;
  if (m.chamfer1 > 0 || m.chamfer2 > 0)
    text += L"  Chamfer=" + formatDistance(m.chamfer1) + L" x " + formatDistance(m.chamfer2);
  if (m.elevation != 0) text += L"  Elevation=" + formatDistance(m.elevation);
  if (m.fillet > 0) text += L"  Fillet=" + formatDistance(m.fillet);
  if (m.thickness != 0) text += L"  Thickness=" + formatDistance(m.thickness);
  if (m.width > 0) text += L"  Width=" + formatDistance(m.width);
  if (!text.empty()) acutPrintf(L"\nCurrent rectangle modes:%ls\n", text.c_str());
}

// A distance with the current value as default; Enter keeps it.
int askDistance(const std::wstring& prompt, double& value, int bits) {
  Answer answer = getDistance(nullptr, prompt + L" <" + formatDistance(value) + L">: ", L"", bits);
  if (answer.status == RTNORM) value = answer.value;
  return answer.status == RTNONE ? RTNORM : answer.status;
}

int askMode(const std::wstring& keyword) {
  RectangleModes& m = modes();
  if (keyword == L"Chamfer") {
    double first = m.chamfer1 > 0 ? m.chamfer1 : 0.0, second = m.chamfer2;
    int status = askDistance(L"\nSpecify first chamfer distance for rectangles", first, RSG_NONEG);
    if (status != RTNORM) return status;
    second = first;
    status = askDistance(L"\nSpecify second chamfer distance for rectangles", second, RSG_NONEG);
    if (status != RTNORM) return status;
    m.chamfer1 = first;
    m.chamfer2 = second;
    m.fillet = 0.0;
    return RTNORM;
  }
  if (keyword == L"Fillet") {
    int status = askDistance(L"\nSpecify fillet radius for rectangles", m.fillet, RSG_NONEG);
    if (status == RTNORM && m.fillet > 0) m.chamfer1 = m.chamfer2 = 0.0;
    return status;
  }
  if (keyword == L"Elevation")
    return askDistance(L"\nSpecify the elevation for rectangles", m.elevation, 0);
  if (keyword == L"Thickness")
    return askDistance(L"\nSpecify thickness for rectangles", m.thickness, 0);
  return askDistance(L"\nSpecify line width for rectangles", m.width, RSG_NONEG);
}

struct Vertex {
  AcGePoint3d point;
  double bulge = 0.0;
};

// The outline's vertices: the four corners, or each corner cut (chamfer) or rounded
// (fillet) where the sides are long enough for it.
std::vector<Vertex> outline(const AcGePoint3d corners[4]) {
  const RectangleModes& m = modes();
  std::vector<Vertex> vertices;
  const double side1 = corners[0].distanceTo(corners[1]), side2 = corners[1].distanceTo(corners[2]);
  const double shortest = std::min(side1, side2);
  const bool fillet = m.fillet > 0 && 2 * m.fillet <= shortest;
  const bool chamfer = (m.chamfer1 > 0 || m.chamfer2 > 0) && m.chamfer1 + m.chamfer2 <= shortest;
  for (int i = 0; i < 4; ++i) {
    const AcGePoint3d& corner = corners[i];
    if (!fillet && !chamfer) {
      vertices.push_back(Vertex{corner, 0.0});
      continue;
    }
    AcGeVector3d in = (corner - corners[(i + 3) % 4]).normal();
    AcGeVector3d out = (corners[(i + 1) % 4] - corner).normal();
    const double back = fillet ? m.fillet : m.chamfer1;
    const double ahead = fillet ? m.fillet : m.chamfer2;
    double bulge = 0.0;
    if (fillet) {
      const double turn = in.x * out.y - in.y * out.x;
      bulge = (turn > 0 ? 1 : -1) * std::tan(M_PI / 8);
    }
    vertices.push_back(Vertex{corner - in * back, bulge});
    vertices.push_back(Vertex{corner + out * ahead, 0.0});
  }
  return vertices;
}

int drawRectangle(const AcGePoint3d& first, double length, double breadth) {
  if (length == 0 || breadth == 0) return RTNORM;  // the host draws nothing for a line
  const RectangleModes& m = modes();
  const AcGeVector3d u(std::cos(m.rotation), std::sin(m.rotation), 0);
  const AcGeVector3d v(-std::sin(m.rotation), std::cos(m.rotation), 0);
  const AcGePoint3d corners[4] = {first, first + u * length, first + u * length + v * breadth,
                                  first + v * breadth};
  std::vector<Vertex> vertices = outline(corners);
  auto* polyline = new AcDbPolyline(static_cast<unsigned>(vertices.size()));
  for (unsigned i = 0; i < vertices.size(); ++i)
    polyline->addVertexAt(i, vertices[i].point.convert2d(), vertices[i].bulge, m.width, m.width);
  polyline->setClosed(true);
  polyline->setElevation(m.elevation != 0 ? m.elevation : first.z);
  polyline->setThickness(m.thickness);
  if (m.width > 0) polyline->setConstantWidth(m.width);
  return appendEntity(polyline).isValid() ? RTNORM : RTERROR;
}

// The other corner's offsets along the rectangle's sides.
void sidesTo(const AcGePoint3d& first, const AcGePoint3d& corner, double& length, double& breadth) {
  const double rotation = modes().rotation;
  const AcGeVector3d d = corner - first;
  length = d.x * std::cos(rotation) + d.y * std::sin(rotation);
  breadth = -d.x * std::sin(rotation) + d.y * std::cos(rotation);
}

int askArea(const AcGePoint3d& first) {
  RectangleModes& m = modes();
  Answer area =
      getReal(L"\nEnter area of rectangle in current units <" + formatDistance(m.area) + L">: ",
              L"", RSG_NOZERO | RSG_NONEG);
  if (area.status == RTNORM) m.area = area.value;
  if (area.status != RTNORM && area.status != RTNONE) return area.status;
  Answer basis = getKeyword(L"\nCalculate rectangle dimensions based on [Length/Width] <Length>: ",
                            L"Length Width");
  if (basis.status != RTKWORD && basis.status != RTNONE) return basis.status;
  const bool byWidth = basis.isKeyword(L"Width");
  double side = byWidth ? m.breadth : m.length;
  Answer given =
      getDistance(nullptr,
                  (byWidth ? L"\nEnter rectangle width <" : L"\nEnter rectangle length <") +
                      formatDistance(side) + L">: ",
                  L"", RSG_NOZERO | RSG_NONEG);
  if (given.status == RTNORM) side = given.value;
  if (given.status != RTNORM && given.status != RTNONE) return given.status;
  if (byWidth) {
    m.breadth = side;
    m.length = m.area / side;
  } else {
    m.length = side;
    m.breadth = m.area / side;
  }
  return drawRectangle(first, m.length, m.breadth);
}

int askRotation(const AcGePoint3d& first) {
  RectangleModes& m = modes();
  Answer angle = getAngle(
      &first, L"\nSpecify rotation angle or [Pick points] <" + formatAngle(m.rotation) + L">: ",
      L"Pick");
  if (angle.status == RTNORM) m.rotation = angle.value;
  if (!angle.isKeyword(L"Pick")) return angle.status == RTNONE ? RTNORM : angle.status;
  Answer from = getPoint(nullptr, L"\nSpecify first point: ", L"", RSG_NONULL);
  if (from.status != RTNORM) return from.status;
  Answer to = getPoint(&from.point, L"\nSpecify second point: ", L"", RSG_NONULL);
  if (to.status != RTNORM) return to.status;
  m.rotation = directionOf(from.point, to.point);
  return RTNORM;
}

int askDimensions() {
  RectangleModes& m = modes();
  int status = askDistance(L"\nSpecify length for rectangles", m.length, RSG_NOZERO | RSG_NONEG);
  if (status != RTNORM) return status;
  return askDistance(L"\nSpecify width for rectangles", m.breadth, RSG_NOZERO | RSG_NONEG);
}

}  // namespace

int rectangCommand() {
  showModes();
  AcGePoint3d first;
  while (true) {
    Answer answer = getPoint(
        nullptr, L"\nSpecify first corner point or [Chamfer/Elevation/Fillet/Thickness/Width]: ",
        L"Chamfer Elevation Fillet Thickness Width", RSG_NONULL);
    if (answer.status == RTNORM) {
      first = answer.point;
      break;
    }
    if (answer.status != RTKWORD) return answer.status;
    int status = askMode(answer.keyword);
    if (status != RTNORM) return status;
  }
  bool dimensioned = false;
  while (true) {
    Answer answer =
        getPoint(&first, L"\nSpecify other corner point or [Area/Dimensions/Rotation]: ",
                 L"Area Dimensions Rotation", RSG_NONULL);
    if (answer.status == RTNORM) {
      double length = 0, breadth = 0;
      sidesTo(first, answer.point, length, breadth);
      if (dimensioned) {
        // The point only picks the quadrant the rectangle lies in.
        length = std::copysign(modes().length, length);
        breadth = std::copysign(modes().breadth, breadth);
      }
      return drawRectangle(first, length, breadth);
    }
    if (answer.status != RTKWORD) return answer.status;
    if (answer.isKeyword(L"Area")) return askArea(first);
    int status = answer.isKeyword(L"Rotation") ? askRotation(first) : askDimensions();
    if (status != RTNORM) return status;
    if (answer.isKeyword(L"Dimensions")) dimensioned = true;
  }
}

}  // namespace tabrik::acad::command
