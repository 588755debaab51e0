// nv_hvacSolid in files and on screen: drawing-file and DXF records, the surface mesh
// it draws and explodes into, its extents and transformation (see HvacSolid.h).
#include <algorithm>
#include <cmath>
#include <sstream>

#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_GTransform.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRepTools.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <Poly_Triangulation.hxx>
#include <Standard_Failure.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Iterator.hxx>
#include <gp_Trsf.hxx>

#include <acgi.h>
#include <dbents.h>
#include <dbfiler.h>

#include "solid/HvacSolid.h"

namespace tabrik::solid {

namespace {

constexpr size_t kDxfPiece = 240;  // characters of text form per DXF group

std::wstring widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string narrow(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
  return out;
}

}  // namespace

std::string HvacSolid::storedForm() const {
  BRep_Builder builder;
  TopoDS_Compound all;
  builder.MakeCompound(all);
  for (const Body& body : m_bodies) builder.Add(all, body.shape);
  std::ostringstream out;
  try {
    BRepTools::Write(all, out, /*theWithTriangles=*/false, /*theWithNormals=*/false,
                     TopTools_FormatVersion_CURRENT);
  } catch (const Standard_Failure&) {
    return std::string();  // reads back as a damaged record, never as other bodies
  }
  return out.str();
}

bool HvacSolid::restore(const std::string& text, const std::vector<int>& tags) {
  try {
    std::istringstream in(text);
    TopoDS_Shape read;
    BRep_Builder builder;
    BRepTools::Read(read, in, builder);
    if (read.IsNull() && !tags.empty()) return false;
    std::vector<Body> bodies;
    if (!read.IsNull()) {
      size_t index = 0;
      for (TopoDS_Iterator it(read); it.More(); it.Next(), ++index) {
        if (index >= tags.size() || !hasVolume(it.Value())) return false;
        bodies.push_back(Body{it.Value(), tags[index]});
      }
    }
    if (bodies.size() != tags.size()) return false;
    m_bodies.swap(bodies);
    changed();
    return true;
  } catch (const Standard_Failure&) {
    return false;
  }
}

Acad::ErrorStatus HvacSolid::dwgOutFields(AcDbDwgFiler* filer) const {
  assertReadEnabled();
  Acad::ErrorStatus status = AcDbEntity::dwgOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeInt32(kRecordVersion);
  filer->writeInt32(static_cast<Adesk::Int32>(m_bodies.size()));
  for (const Body& body : m_bodies) filer->writeInt32(body.tag);
  filer->writeString(widen(storedForm()));
  return filer->filerStatus();
}

Acad::ErrorStatus HvacSolid::dwgInFields(AcDbDwgFiler* filer) {
  assertWriteEnabled();
  Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  Adesk::Int32 version = 0, count = 0;
  if ((status = filer->readInt32(&version)) != Acad::eOk) return status;
  if (version > kRecordVersion) return Acad::eMakeMeProxy;
  if (version < 1) return filer->filerStatus();
  if ((status = filer->readInt32(&count)) != Acad::eOk) return status;
  if (count < 0) return Acad::eDwgNeedsRecovery;
  std::vector<int> tags;
  for (Adesk::Int32 i = 0; i < count; ++i) {
    Adesk::Int32 tag = 0;
    if ((status = filer->readInt32(&tag)) != Acad::eOk) return status;
    tags.push_back(tag);
  }
  std::wstring text;
  if ((status = filer->readString(text)) != Acad::eOk) return status;
  if (!restore(narrow(text), tags)) return Acad::eDwgNeedsRecovery;
  return filer->filerStatus();
}

Acad::ErrorStatus HvacSolid::dxfOutFields(AcDbDxfFiler* filer) const {
  assertReadEnabled();
  Acad::ErrorStatus status = AcDbEntity::dxfOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeString(100, kClassName);
  filer->writeInt16(70, static_cast<Adesk::Int16>(kRecordVersion));
  filer->writeInt32(90, static_cast<Adesk::Int32>(m_bodies.size()));
  for (const Body& body : m_bodies) filer->writeInt32(91, body.tag);
  // One group per line of the text form; a long line goes on in groups 3, cut between
  // words (the reader joins them with one blank, which the form reads as any blank).
  std::istringstream lines(storedForm());
  std::string line;
  while (std::getline(lines, line)) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    int code = 1;
    size_t from = 0;
    do {
      size_t to = line.size();
      if (to - from > kDxfPiece) {
        to = line.rfind(' ', from + kDxfPiece);
        if (to == std::string::npos || to <= from) to = from + kDxfPiece;
      }
      filer->writeString(code, widen(line.substr(from, to - from)));
      code = 3;
      from = to;
      while (from < line.size() && line[from] == ' ') ++from;
    } while (from < line.size());
  }
  return filer->filerStatus();
}

Acad::ErrorStatus HvacSolid::dxfInFields(AcDbDxfFiler* filer) {
  assertWriteEnabled();
  Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  if (!filer->atSubclassData(kClassName)) return Acad::eBadDxfSequence;
  std::vector<int> tags;
  std::string text;
  bool anyLine = false;
  resbuf item{};
  while (filer->readItem(&item) == Acad::eOk) {
    switch (item.restype) {
      case 91:
        tags.push_back(static_cast<int>(item.resval.rlong));
        break;
      case 1:
        if (anyLine) text += '\n';
        anyLine = true;
        text += narrow(item.resval.rstring ? item.resval.rstring : L"");
        break;
      case 3:
        text += ' ';
        text += narrow(item.resval.rstring ? item.resval.rstring : L"");
        break;
      default:
        break;
    }
  }
  text += '\n';
  if (!restore(text, tags)) return Acad::eBadDxfSequence;
  return filer->filerStatus();
}

std::vector<AcGePoint3d> HvacSolid::triangles() const {
  std::vector<AcGePoint3d> corners;
  const TopoDS_Shape& surface = shape();
  if (surface.IsNull()) return corners;
  try {
    BRepMesh_IncrementalMesh mesher(surface, /*linDeflection=*/0.01, /*isRelative=*/true,
                                    /*angDeflection=*/0.3, /*isInParallel=*/false);
    for (TopExp_Explorer faces(surface, TopAbs_FACE); faces.More(); faces.Next()) {
      const TopoDS_Face& face = TopoDS::Face(faces.Current());
      TopLoc_Location location;
      Handle(Poly_Triangulation) mesh = BRep_Tool::Triangulation(face, location);
      if (mesh.IsNull()) continue;
      const gp_Trsf place = location.Transformation();
      const bool reversed = face.Orientation() == TopAbs_REVERSED;
      for (int i = 1; i <= mesh->NbTriangles(); ++i) {
        int a = 0, b = 0, c = 0;
        mesh->Triangle(i).Get(a, b, c);
        if (reversed) std::swap(b, c);
        for (int node : {a, b, c}) corners.push_back(toPoint(mesh->Node(node).Transformed(place)));
      }
    }
  } catch (const Standard_Failure&) {
    corners.clear();
  }
  return corners;
}

Adesk::Boolean HvacSolid::subWorldDraw(AcGiWorldDraw* mode) {
  assertReadEnabled();
  if (mode == nullptr) return Adesk::kTrue;
  const std::vector<AcGePoint3d> corners = triangles();
  const Adesk::Int32 count = static_cast<Adesk::Int32>(corners.size());
  std::vector<Adesk::Int32> faceList;
  faceList.reserve(corners.size() / 3 * 4);
  for (Adesk::Int32 i = 0; i + 2 < count; i += 3) {
    faceList.insert(faceList.end(), {3, i, i + 1, i + 2});
  }
  if (!corners.empty())
    mode->geometry().shell(static_cast<Adesk::UInt32>(corners.size()), corners.data(),
                           static_cast<Adesk::UInt32>(faceList.size()), faceList.data());
  return Adesk::kTrue;
}

Acad::ErrorStatus HvacSolid::subExplode(AcDbVoidPtrArray& entitySet) const {
  assertReadEnabled();
  const std::vector<AcGePoint3d> corners = triangles();
  if (corners.empty()) return m_bodies.empty() ? Acad::eNotApplicable : Acad::eInvalidInput;
  for (size_t i = 0; i + 2 < corners.size(); i += 3) {
    auto* face = new AcDbFace(corners[i], corners[i + 1], corners[i + 2], corners[i + 2]);
    face->setPropertiesFrom(this);
    entitySet.append(face);
  }
  return Acad::eOk;
}

Acad::ErrorStatus HvacSolid::subGetGeomExtents(AcDbExtents& extents) const {
  assertReadEnabled();
  const TopoDS_Shape& body = shape();
  if (body.IsNull()) return Acad::eInvalidExtents;
  try {
    Bnd_Box box;
    BRepBndLib::AddOptimal(body, box, /*useTriangulation=*/false, /*useShapeTolerance=*/false);
    if (box.IsVoid()) return Acad::eInvalidExtents;
    double x0, y0, z0, x1, y1, z1;
    box.Get(x0, y0, z0, x1, y1, z1);
    extents.set(AcGePoint3d(x0, y0, z0), AcGePoint3d(x1, y1, z1));
    return Acad::eOk;
  } catch (const Standard_Failure&) {
    return Acad::eInvalidExtents;
  }
}

Acad::ErrorStatus HvacSolid::subTransformBy(const AcGeMatrix3d& transform) {
  assertWriteEnabled();
  gp_Trsf trsf;
  try {
    trsf.SetValues(transform(0, 0), transform(0, 1), transform(0, 2), transform(0, 3),
                   transform(1, 0), transform(1, 1), transform(1, 2), transform(1, 3),
                   transform(2, 0), transform(2, 1), transform(2, 2), transform(2, 3));
    std::vector<Body> moved;
    for (const Body& body : m_bodies) {
      BRepBuilderAPI_Transform apply(body.shape, trsf, /*copy=*/true);
      if (!apply.IsDone()) return Acad::eCannotScaleNonUniformly;
      moved.push_back(Body{apply.Shape(), body.tag});
    }
    m_bodies.swap(moved);
    changed();
    return Acad::eOk;
  } catch (const Standard_Failure&) {
    // Only rigid motions and uniform scaling keep the bodies exact.
    return Acad::eCannotScaleNonUniformly;
  }
}

}  // namespace tabrik::solid
