// The host's leader.
#include "dblead.h"

#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/DxfGroups.h"
#include "acdb/objects/FieldVisitor.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "rxboiler.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbLeader, AcDbCurve)

AcGePoint3d AcDbLeader::vertexAt(int index) const {
  return index >= 0 && index < m_vertices.length() ? m_vertices[index] : AcGePoint3d::kOrigin;
}

bool AcDbLeader::appendVertex(const AcGePoint3d& point) {
  assertWriteEnabled();
  m_vertices.append(point);
  return true;
}

void AcDbLeader::removeLastVertex() {
  if (m_vertices.isEmpty()) return;
  assertWriteEnabled();
  m_vertices.removeLast();
}

bool AcDbLeader::setVertexAt(int index, const AcGePoint3d& point) {
  if (index < 0 || index >= m_vertices.length()) return false;
  assertWriteEnabled();
  m_vertices[index] = point;
  return true;
}

void AcDbLeader::enableArrowHead() {
  assertWriteEnabled();
  m_arrowHead = true;
}

void AcDbLeader::disableArrowHead() {
  assertWriteEnabled();
  m_arrowHead = false;
}

void AcDbLeader::setDimensionStyle(AcDbObjectId style) {
  assertWriteEnabled();
  m_dimStyle = style;
}

// The path, and a small open arrowhead at the first vertex along the first leg.
Adesk::Boolean AcDbLeader::subWorldDraw(AcGiWorldDraw* mode) {
  if (m_vertices.length() >= 2)
    mode->geometry().polyline(static_cast<Adesk::UInt32>(m_vertices.length()),
                              m_vertices.asArrayPtr());
  if (m_arrowHead && m_vertices.length() >= 2) {
    AcGeVector3d along = (m_vertices[1] - m_vertices[0]).normal();
    AcGeVector3d side = m_normal.crossProduct(along);
    double size = 0.18 * 2.5;
    AcGePoint3d head[3] = {m_vertices[0] + along * size + side * (size / 6), m_vertices[0],
                           m_vertices[0] + along * size - side * (size / 6)};
    mode->geometry().polyline(3, head);
  }
  return Adesk::kTrue;
}

Acad::ErrorStatus AcDbLeader::subTransformBy(const AcGeMatrix3d& m) {
  assertWriteEnabled();
  for (AcGePoint3d& p : m_vertices) p.transformBy(m);
  m_normal.transformBy(m);
  m_normal.normalize();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::subExplode(AcDbVoidPtrArray& entitySet) const {
  for (int i = 0; i + 1 < m_vertices.length(); ++i) {
    auto* line = new AcDbLine(m_vertices[i], m_vertices[i + 1]);
    line->setPropertiesFrom(this);
    entitySet.append(line);
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray&,
                                               AcDbIntArray&) const {
  for (const AcGePoint3d& p : m_vertices) points.append(p);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::subMoveGripPointsAt(const AcDbIntArray& indices,
                                                  const AcGeVector3d& offset) {
  assertWriteEnabled();
  for (int i = 0; i < m_vertices.length(); ++i)
    if (indices.contains(i)) m_vertices[i] += offset;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbCurve::dwgOutFields(filer);
  filer->writeBool(m_arrowHead);
  filer->writeVector3d(m_normal);
  filer->writeHardPointerId(m_dimStyle);
  filer->writeInt32(m_vertices.length());
  for (const AcGePoint3d& p : m_vertices) filer->writePoint3d(p);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbLeader::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbCurve::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  filer->readBool(&m_arrowHead);
  filer->readVector3d(&m_normal);
  AcDbHardPointerId style;
  filer->readHardPointerId(&style);
  m_dimStyle = style;
  Adesk::Int32 count = 0;
  filer->readInt32(&count);
  if (count < 0) return Acad::eFilerError;
  m_vertices.removeAll();
  for (int i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    AcGePoint3d p;
    filer->readPoint3d(&p);
    m_vertices.append(p);
  }
  return filer->filerStatus();
}

// LEADER: 100 AcDbLeader, 3 dimension style, 71 arrowhead, 72 path type (0 straight),
// 73 annotation type (3 none), 74 hook-line direction, 75 hook line, 40/41 annotation
// height and width, 76 vertex count, 10 per vertex, 210 normal.
Acad::ErrorStatus AcDbLeader::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbCurve::dxfOutFields(filer);
  filer->writeString(100, L"AcDbLeader");
  std::wstring style = symbolName(m_dimStyle);
  filer->writeString(3, style.empty() ? L"Standard" : style);
  filer->writeInt16(71, m_arrowHead ? 1 : 0);
  filer->writeInt16(72, 0);
  filer->writeInt16(73, 3);
  filer->writeInt16(74, 1);
  filer->writeInt16(75, 0);
  filer->writeDouble(40, 0.0);
  filer->writeDouble(41, 0.0);
  filer->writeInt16(76, static_cast<Adesk::Int16>(m_vertices.length()));
  for (const AcGePoint3d& p : m_vertices) filer->writePoint3d(10, p);
  if (!m_normal.isEqualTo(AcGeVector3d::kZAxis)) filer->writeVector3d(210, m_normal);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbLeader::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbCurve::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbLeader");
  if (status != Acad::eOk) return status;
  m_vertices.removeAll();
  AcDbDatabase* db = filer->database();
  return forEachGroup(filer, [&](const resbuf& rb) {
    switch (rb.restype) {
      case 3:
        if (db != nullptr) {
          AcDbDimStyleTable* table = nullptr;
          if (db->getDimStyleTable(table) == Acad::eOk) {
            table->getAt(stringOf(rb).c_str(), m_dimStyle);
            table->close();
          }
        }
        break;
      case 71:
        m_arrowHead = rb.resval.rint != 0;
        break;
      case 10:
        m_vertices.append(pointOf(rb));
        break;
      case 210: {
        AcGeVector3d n = vectorOf(rb);
        if (!n.isZeroLength()) m_normal = unitDirection(n);
        break;
      }
      default:
        break;
    }
  });
}
