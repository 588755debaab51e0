// AcDbMText: multi-line text. Contents carry the host's inline codes ("\P" paragraph
// break, "{\...;}" formatting, "\U+XXXX"); width 0 means no wrapping. The measured
// size (actualWidth, actualHeight), ascent and descent come from the font metrics of
// tabrik's text layout (a fixed-pitch approximation of the style's font: each
// character advances 0.75 of the text height times the style's width factor, a line
// is 5/3 of the height apart, words wrap at spaces when a width is set).
#pragma once
#include <string>

#include "dbmain.h"

class AcDbMText : public AcDbEntity {
 public:
  ACRX_DECLARE_MEMBERS(AcDbMText);
  AcDbMText();

  enum AttachmentPoint {
    kTopLeft = 1,
    kTopCenter = 2,
    kTopRight = 3,
    kMiddleLeft = 4,
    kMiddleCenter = 5,
    kMiddleRight = 6,
    kBottomLeft = 7,
    kBottomCenter = 8,
    kBottomRight = 9,
  };
  enum FlowDirection { kLtoR = 1, kRtoL = 2, kTtoB = 3, kBtoT = 4, kByStyle = 5 };

  AcGePoint3d location() const { return m_location; }
  Acad::ErrorStatus setLocation(const AcGePoint3d& location);
  AcGeVector3d normal() const { return m_normal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  // The X axis of the text; always perpendicular to the normal.
  AcGeVector3d direction() const { return m_direction; }
  Acad::ErrorStatus setDirection(const AcGeVector3d& direction);
  // The angle of the direction about the normal, from the normal's OCS X axis.
  double rotation() const;
  Acad::ErrorStatus setRotation(double angle);
  double width() const { return m_width; }
  Acad::ErrorStatus setWidth(double width);
  double textHeight() const { return m_textHeight; }
  Acad::ErrorStatus setTextHeight(double height);
  AcDbObjectId textStyle() const { return m_style; }
  Acad::ErrorStatus setTextStyle(AcDbObjectId style);
  AttachmentPoint attachment() const { return m_attachment; }
  Acad::ErrorStatus setAttachment(AttachmentPoint attachment);
  FlowDirection flowDirection() const { return m_flow; }
  Acad::ErrorStatus setFlowDirection(FlowDirection direction);
  // A copy the caller releases with delete[].
  ACHAR* contents() const;
  const std::wstring& contentsString() const { return m_contents; }
  int setContents(const ACHAR* text);
  double lineSpacingFactor() const { return m_lineSpacing; }
  Acad::ErrorStatus setLineSpacingFactor(double factor);

  bool backgroundFillOn() const { return m_backgroundFill; }
  Acad::ErrorStatus setBackgroundFill(bool enable);
  double getBackgroundScaleFactor() const { return m_backgroundScale; }
  Acad::ErrorStatus setBackgroundScaleFactor(double scale);
  bool useBackgroundColorOn() const { return m_useBackgroundColor; }
  Acad::ErrorStatus setUseBackgroundColor(bool enable);

  double actualWidth() const;
  double actualHeight() const;
  double ascent() const;
  double descent() const;

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subGetGeomExtents(AcDbExtents& extents) const override;
  Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform) override;
  Acad::ErrorStatus subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray& modes,
                                     AcDbIntArray& ids) const override;
  Acad::ErrorStatus subMoveGripPointsAt(const AcDbIntArray& indices,
                                        const AcGeVector3d& offset) override;

 private:
  AcGePoint3d m_location;
  AcGeVector3d m_normal{0, 0, 1};
  AcGeVector3d m_direction{1, 0, 0};
  double m_width = 0.0, m_textHeight = 2.5, m_lineSpacing = 1.0, m_backgroundScale = 1.5;
  AcDbObjectId m_style;
  AttachmentPoint m_attachment = kTopLeft;
  FlowDirection m_flow = kLtoR;
  std::wstring m_contents;
  bool m_backgroundFill = false, m_useBackgroundColor = false;
};
