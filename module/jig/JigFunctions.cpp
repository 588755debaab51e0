// The jig family's LISP functions: each reads its arguments, builds its jig, runs it
// and returns what the user chose. Only "AcDbBlockReference::Jig" changes the drawing
// (its references go to model space after a successful run); every other jig drags
// private copies that go with it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <acedads.h>
#include <acutads.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbmtext.h>
#include <dbsymtb.h>

#include "draw/DrawingOperations.h"
#include "draw/OpenedEntity.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ListBuilder.h"
#include "jig/AsdkRectangleJig.h"
#include "jig/LineJig.h"
#include "jig/MultiMoveJig.h"
#include "jig/MultiRotateJig.h"
#include "jig/RotateJig.h"
#include "jig/TextJig.h"
#include "jig/multiBlockJig.h"

namespace tabrik::arx::fn {
namespace {

using draw::OpenedEntity;

AcGePoint3d toPoint(const ads_point p) { return AcGePoint3d(p[0], p[1], p[2]); }

void toAds(const AcGePoint3d& p, ads_point out) {
  out[0] = p.x;
  out[1] = p.y;
  out[2] = p.z;
}

// A private copy of the entity a name stands for; null when it cannot be opened
// (erased, not an entity, open elsewhere) or copied.
AcDbEntity* copyOf(const ads_name name) {
  OpenedEntity<AcDbEntity> entity(name, AcDb::kForRead);
  if (!entity) return nullptr;
  return AcDbEntity::cast(entity->clone());
}

// The prompt, the base point and copies of the entities the list names (the list
// ends at its first element that is no entity name; entities that cannot be opened
// are left out). False for a missing or mistyped prompt, base point or list.
bool readMultiJigArguments(std::wstring& prompt, AcGePoint3d& base,
                           std::vector<AcDbEntity*>& copies) {
  ArgList args;
  ArgCursor cursor = args.first();
  if (!readString(cursor, prompt)) return false;
  ads_point point = {0, 0, 0};
  if (!readPoint(cursor, point)) return false;
  base = toPoint(point);
  // nil is LISP's empty list: nothing to drag, but no mistake either.
  if (cursor != nullptr && cursor->restype == RTNIL) return true;
  if (!readListStart(cursor)) return false;
  ads_name name = {0, 0};
  while (readEntityName(cursor, name)) {
    if (AcDbEntity* copy = copyOf(name)) copies.push_back(copy);
  }
  return true;
}

void deleteAll(std::vector<AcDbEntity*>& entities) {
  for (AcDbEntity* entity : entities) delete entity;
  entities.clear();
}

// The corner index of a RectangleJig result: an integer when LISP's 16-bit integers
// hold it, else a real.
resbuf* integerElement(std::int32_t value) {
  if (value >= -32768 && value <= 32767) {
    resbuf* element = acutNewRb(RTSHORT);
    element->resval.rint = static_cast<short>(value);
    return element;
  }
  resbuf* element = acutNewRb(RTREAL);
  element->resval.rreal = value;
  return element;
}

}  // namespace

int AcDbBlockReference_Jig() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  bool rotate = false;
  if (!readBoolean(cursor, rotate)) return kWrongType;
  double scaleX = 1.0, scaleY = 1.0;
  if (!readReal(cursor, scaleX) || !readReal(cursor, scaleY)) return kWrongType;
  ads_point insertion = {0, 0, 0};
  const bool pointGiven = readPoint(cursor, insertion);
  if (!pointGiven) skipArgument(cursor);  // a flag in place of the point, ignored

  std::vector<AcDbBlockReference*> references;
  std::wstring name;
  while (readString(cursor, name)) {
    AcDbObjectId blockId;
    if (!draw::findBlock(name.c_str(), blockId)) continue;
    auto* reference = new AcDbBlockReference();
    reference->setBlockTableRecord(blockId);
    reference->setScaleFactors(AcGeScale3d(scaleX, scaleY, scaleX));
    references.push_back(reference);
  }
  if (references.empty()) return kResultOk;

  draw::multiBlockJig jig(rotate);
  jig.setEntityList(std::move(references));
  if (pointGiven) jig.setInsertionPoint(toPoint(insertion));
  if (!jig.run()) return kResultOk;
  ListBuilder result;
  result.start();
  for (const AcDbObjectId& id : jig.addToModelSpace()) {
    if (!id.isNull()) result.addPairEntity(L"obj", id);
  }
  result.finish();
  return kResultOk;
}

// The two multi-entity jigs: read the arguments, drag the copies from the base point,
// and answer with what the finished drag gives (nothing on Escape or Enter).
template <class Jig, class Answer>
int runMultiJig(Answer answer) {
  acedRetNil();
  std::wstring prompt;
  AcGePoint3d base;
  std::vector<AcDbEntity*> copies;
  if (!readMultiJigArguments(prompt, base, copies)) {
    deleteAll(copies);
    return kWrongType;
  }
  if (copies.empty()) return kResultOk;
  Jig jig(base);
  jig.setEntityList(std::move(copies));
  jig.setDispPrompt(L"%s", prompt.c_str());
  const AcEdJig::DragStatus status = jig.drag();
  if (status == AcEdJig::kCancel || status == AcEdJig::kNull) return kResultOk;
  answer(jig);
  return kResultOk;
}

int nv_nv_multiMoveJig() {
  return runMultiJig<draw::MultiMoveJig>([](draw::MultiMoveJig& jig) {
    ads_point point;
    toAds(jig.lastPoint(), point);
    acedRetPoint(point);
  });
}

int nv_nv_multiRotateJig() {
  return runMultiJig<draw::MultiRotateJig>(
      [](draw::MultiRotateJig& jig) { acedRetReal(jig.angle()); });
}

int nv_nv_rotateJig() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  if (!readEntityName(cursor, name)) return kWrongType;
  std::wstring prompt;
  if (!readString(cursor, prompt)) return kWrongType;
  AcDbEntity* copy = copyOf(name);
  if (copy == nullptr) return kResultOk;  // nothing to drag
  draw::RotateJig jig(copy);
  jig.setDispPrompt(L"%s", prompt.c_str());
  const AcEdJig::DragStatus status = jig.drag();
  if (status == AcEdJig::kCancel) return kResultOk;
  if (status == AcEdJig::kNull) {
    acedRetT();
    return kResultOk;
  }
  acedRetReal(jig.angle());
  return kResultOk;
}

int RectangleJig() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  double a = 0.0, b = 0.0;
  if (!readReal(cursor, a) || !readReal(cursor, b)) return kWrongType;
  std::int32_t cornerIndex = 1;
  if (cursor != nullptr && !readInteger(cursor, cornerIndex)) {
    cornerIndex = 1;
    skipArgument(cursor);  // not an index: the default, and the flag comes next
  }
  bool rotate = true;
  if (cursor != nullptr && !readBoolean(cursor, rotate)) rotate = true;

  draw::AsdkRectangleJig jig(a, b, cornerIndex, rotate);
  if (!jig.run()) return kResultOk;
  ads_point centre, corner0, corner2;
  toAds(jig.centre(), centre);
  toAds(AcGePoint3d(jig.corner(0).x, jig.corner(0).y, 0), corner0);
  toAds(AcGePoint3d(jig.corner(2).x, jig.corner(2).y, 0), corner2);
  resbuf* list = acutBuildList(RTLB, RTPOINT, centre, RTPOINT, corner0, RTPOINT, corner2, RTREAL,
                               jig.angle(), 0);
  if (list == nullptr) return kResultOk;
  resbuf* last = list;
  while (last->rbnext != nullptr) last = last->rbnext;
  last->rbnext = integerElement(jig.cornerIndex());
  last->rbnext->rbnext = acutNewRb(RTLE);
  acedRetList(list);
  acutRelRb(list);
  return kResultOk;
}

int nv_nv_lineJig() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring layerName;
  if (!readString(cursor, layerName)) {
    layerName.clear();  // unreadable counts as none, and the start point comes next
    skipArgument(cursor);
  }
  ads_point start = {0, 0, 0};
  const bool startGiven = cursor != nullptr && readPoint(cursor, start);

  draw::LineJig jig(layerName);
  if (startGiven) jig.setStartPoint(toPoint(start));
  if (!jig.run()) return kResultOk;
  std::vector<AcGePoint3d> vertices = jig.vertices();
  if (vertices.empty()) return kResultOk;
  ListBuilder result;
  result.start();
  for (const AcGePoint3d& vertex : vertices) {
    ads_point point;
    toAds(vertex, point);
    result.add3dPoint(point);
  }
  result.finish();
  return kResultOk;
}

int nv_nv_textJig() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring contents;
  if (!readString(cursor, contents)) return kResultOk;
  AcDbDatabase* database = draw::currentDatabase();
  if (database == nullptr) return kResultOk;
  AcDbTextStyleTable* styles = nullptr;
  if (database->getSymbolTable(styles, AcDb::kForRead) != Acad::eOk) return kResultOk;
  std::wstring styleName;
  AcDbObjectId styleId;
  const bool found =
      readString(cursor, styleName) && styles->getAt(styleName.c_str(), styleId) == Acad::eOk;
  styles->close();
  if (!found) return kResultOk;
  double height = 0.0;
  if (!readReal(cursor, height)) return kResultOk;
  std::wstring layerName;
  if (!readString(cursor, layerName)) return kResultOk;
  AcDbObjectId layerId;
  const bool layerFound = draw::findLayer(layerName.c_str(), layerId);

  auto* text = new AcDbMText();
  text->setContents(contents.c_str());
  text->setTextStyle(styleId);
  text->setTextHeight(height);
  if (layerFound) text->setLayer(layerId);
  text->setAttachment(AcDbMText::kTopLeft);
  draw::TextJig jig(text);
  if (!jig.run()) return kResultOk;
  ads_point location;
  toAds(jig.location(), location);
  acedRetPoint(location);
  return kResultOk;
}

}  // namespace tabrik::arx::fn
