// AcDbCurve: entities with a parameterisation. The host's own curves answer every
// query here from their geometry: a line's parameter is the distance from its start;
// a circle's and an arc's the angle from the OCS X axis; a polyline's or leader's the
// vertex index (the fraction within a segment is linear in its length, or in its
// angle for an arc segment). A class of a module overrides them.
// Parameters run from getStartParam to
// getEndParam; distances are arc lengths from the start. Queries of a point off the
// curve return eInvalidInput (getParamAtPoint, getDistAtPoint) as the host does; the
// closest-point queries work for any point.
#pragma once
#include "dbmain.h"

class AcDbCurve : public AcDbEntity {
 public:
  ACRX_DECLARE_MEMBERS(AcDbCurve);
  ~AcDbCurve() override;

  virtual bool isClosed() const { return false; }
  virtual bool isPeriodic() const { return false; }
  virtual Acad::ErrorStatus getStartParam(double& param) const;
  virtual Acad::ErrorStatus getEndParam(double& param) const;
  virtual Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const;
  virtual Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const;
  virtual Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const;
  virtual Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const;
  virtual Acad::ErrorStatus getDistAtParam(double param, double& dist) const;
  virtual Acad::ErrorStatus getParamAtDist(double dist, double& param) const;
  virtual Acad::ErrorStatus getDistAtPoint(const AcGePoint3d& point, double& dist) const;
  virtual Acad::ErrorStatus getPointAtDist(double dist, AcGePoint3d& point) const;
  virtual Acad::ErrorStatus getFirstDeriv(double param, AcGeVector3d& deriv) const;
  virtual Acad::ErrorStatus getFirstDeriv(const AcGePoint3d& point, AcGeVector3d& deriv) const;
  virtual Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& givenPoint,
                                              AcGePoint3d& pointOnCurve, bool extend = false) const;
  // The point of the curve whose projection along `direction` onto the curve's plane
  // is closest to the projection of givenPoint.
  virtual Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& givenPoint,
                                              const AcGeVector3d& direction,
                                              AcGePoint3d& pointOnCurve, bool extend = false) const;
  virtual Acad::ErrorStatus getArea(double& area) const;

 protected:
  AcDbCurve();
};
