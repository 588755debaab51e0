// AsdkRectangleJig: places a rectangle of sides A (along Y) and B (along X) by one of
// its corners or its centre, then (with the rotate flag) turns it about the placed
// point. The closed four-vertex polyline it drags is its own and never reaches a
// drawing.
//
// Vertices P0..P3 from the cursor (x, y); P0 and P2 are always opposite corners:
//
// | mode       | P0            | P1            | P2            | P3            |
// |------------|---------------|---------------|---------------|---------------|
// | corner 1   | (x, y)        | (x+B, y)      | (x+B, y+A)    | (x, y+A)      |
// | corner 2   | (x, y)        | (x-B, y)      | (x-B, y+A)    | (x, y+A)      |
// | corner 3   | (x, y)        | (x-B, y)      | (x-B, y-A)    | (x, y-A)      |
// | other      | (x, y)        | (x+B, y)      | (x+B, y-A)    | (x, y-A)      |
// | middle     | (x-B/2,y+A/2) | (x+B/2,y+A/2) | (x+B/2,y-A/2) | (x-B/2,y-A/2) |
//
// Keywords in the placement phase: Corner moves to the next corner (4 wraps to 1), or
// only leaves middle mode when in it; Middle enters middle mode (corner index 0).
#pragma once
#include <memory>
#include <vector>

#include <dbjig.h>
#include <gept2d.h>

class AcDbPolyline;

namespace tabrik::arx::draw {

class AsdkRectangleJig : public AcEdJig {
 public:
  // cornerIndex 0 starts in middle mode.
  AsdkRectangleJig(double a, double b, int cornerIndex, bool rotate);
  ~AsdkRectangleJig() override;

  // Runs placement then rotation; false when the user cancelled (Escape, or Enter at
  // the placement prompt).
  bool run();

  // After a run that was not cancelled: the centre, the opposite corners P0 and P2,
  // the angle and the corner index (0 in middle mode).
  AcGePoint3d centre() const;
  AcGePoint2d corner(int index) const { return m_saved.at(index); }
  double angle() const { return m_angle; }
  int cornerIndex() const { return m_cornerIndex; }

  DragStatus sampler() override;
  Adesk::Boolean update() override;
  AcDbEntity* entity() const override;

 private:
  void placeVertices();
  void saveVertices();

  double m_a, m_b, m_halfA, m_halfB;
  bool m_middle = false;
  int m_cornerIndex = 1;
  bool m_rotate = true;
  bool m_cancelled = false;
  int m_phase = 0;  // 0 placement, 1 rotation
  bool m_rotationStarted = false;
  AcGePoint3d m_cursor;
  bool m_placed = false;  // the cursor was sampled (before that nothing equals it)
  double m_angle = 0.0;
  double m_previousAngle = 0.0;
  std::unique_ptr<AcDbPolyline> m_polyline;
  std::vector<AcGePoint2d> m_saved;
};

}  // namespace tabrik::arx::draw
