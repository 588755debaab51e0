// The multi-line text functions: the measured size, ascent and descent, the normal,
// direction and background mask, the width of the last line as the host wraps it, and
// a new MText in model space. Each opens the MText it is named with the host's typed
// open; another class, an erased entity or a name of no entity cannot be opened, and
// the function gives its refusal (the bad-data error or nil, function by function).
#include <cmath>
#include <memory>
#include <string>

#include <acedads.h>
#include <actrans.h>
#include <dbmain.h>
#include <dbmtext.h>
#include <dbsymtb.h>

#include "draw/DrawingOperations.h"
#include "draw/OpenedEntity.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"

namespace tabrik::arx::fn {
namespace {

using OpenMText = draw::OpenedEntity<AcDbMText>;

// The shape of the functions that answer one number of an MText: the entity name
// (wrong type otherwise), the MText opened in `mode` (bad data when it cannot be), the
// number the measure gives.
template <typename Measure>
int measureMText(AcDb::OpenMode mode, Measure&& measure) {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  if (!readEntityName(cursor, name)) return kWrongType;
  OpenMText text(name, mode);
  if (!text) return kBadData;
  acedRetReal(measure(*text));
  return kResultOk;
}

// The contents as a string the caller owns.
std::wstring contentsOf(const AcDbMText& text) {
  std::unique_ptr<ACHAR[]> copy(text.contents());
  return copy ? std::wstring(copy.get()) : std::wstring();
}

// The text after the last paragraph break.
std::wstring lastParagraph(const std::wstring& contents) {
  const size_t brk = contents.rfind(L"\\P");
  return brk == std::wstring::npos ? contents : contents.substr(brk + 2);
}

// The last line of `text` as the host wraps the paragraph it now holds, found by
// taking words off its end until the rest is one line shorter. Leaves the MText holding
// whatever it measured last; the caller restores it.
std::wstring lastLine(AcDbMText& text, std::wstring remaining) {
  const double full = text.actualHeight(), height = text.textHeight();
  if (full < 2 * height) return remaining;
  std::wstring tail;
  while (true) {
    const size_t space = remaining.rfind(L' ');
    const std::wstring word = space == std::wstring::npos ? remaining : remaining.substr(space + 1);
    tail = tail.empty() ? word : word + L" " + tail;
    remaining = space == std::wstring::npos ? std::wstring() : remaining.substr(0, space);
    text.setContents(remaining.c_str());
    if (remaining.empty() || !(text.actualHeight() + height > full)) return tail;
  }
}

}  // namespace

int AcDbMText_actualWidth() {
  return measureMText(AcDb::kForRead, [](const AcDbMText& text) { return text.actualWidth(); });
}

// Empty text has no lines; its height is the height one line would take.
int AcDbMText_actualHeight() {
  return measureMText(AcDb::kForRead, [](const AcDbMText& text) {
    return text.contentsString().empty() ? text.textHeight() : text.actualHeight();
  });
}

// How far the font reaches above the capitals.
int AcDbMText_ascent() {
  return measureMText(AcDb::kForWrite, [](const AcDbMText& text) {
    const double above = text.ascent() - text.textHeight();
    return above > 0 ? above : 0.0;
  });
}

int AcDbMText_descent() {
  return measureMText(AcDb::kForWrite, [](const AcDbMText& text) { return text.descent(); });
}

int AcDbMText_setNormal() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  ads_point normal = {0, 0, 0};
  if (!readEntityName(cursor, name) || !readPoint(cursor, normal)) return kWrongType;
  OpenMText text(name, AcDb::kForWrite);
  if (!text) return kBadData;
  if (text->setNormal(AcGeVector3d(normal[0], normal[1], normal[2])) == Acad::eOk) acedRetT();
  return kResultOk;
}

// The angle turns the world X axis about the world Z axis; the host refuses a direction
// that does not lie in the text's plane.
int AcDbMText_setDirection() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  double angle = 0.0;
  if (!readEntityName(cursor, name) || !readReal(cursor, angle)) return kWrongType;
  OpenMText text(name, AcDb::kForWrite);
  if (!text) return kResultOk;
  if (text->setDirection(AcGeVector3d(std::cos(angle), std::sin(angle), 0.0)) == Acad::eOk)
    acedRetT();
  return kResultOk;
}

// The slope of the direction in plan: opposite directions give the same angle, and a
// vertical one the rounded quarter turn that callers compare against.
int AcDbMText_direction() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  if (!readEntityName(cursor, name)) return kWrongType;
  OpenMText text(name, AcDb::kForWrite);
  if (!text) return kBadData;
  const AcGeVector3d direction = text->direction();
  constexpr double kQuarterTurn = 1.57079;
  if (direction.x != 0.0)
    acedRetReal(std::atan(direction.y / direction.x));
  else if (direction.y < 0.0)
    acedRetReal(-kQuarterTurn);
  else if (direction.y > 0.0)
    acedRetReal(kQuarterTurn);
  return kResultOk;
}

// The mask always fills with the drawing's background colour; a scale the host refuses
// leaves the one the text had.
int AcDbMText_setMask() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  bool fill = false;
  double scale = 0.0;
  if (!readEntityName(cursor, name) || !readBoolean(cursor, fill) || !readReal(cursor, scale))
    return kWrongType;
  OpenMText text(name, AcDb::kForWrite);
  if (!text) return kResultOk;
  text->setBackgroundFill(fill);
  text->setBackgroundScaleFactor(scale);
  text->setUseBackgroundColor(true);
  acedRetT();
  return kResultOk;
}

// Measured on the MText itself inside a transaction that is then aborted, so that the
// drawing is left exactly as it was whatever the measuring changed.
int AcDbMtext_lastLineWidth() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  ads_name name = {0, 0};
  if (!readEntityName(cursor, name)) return kWrongType;
  AcDbObjectId id;
  AcTransactionManager* manager = actrTransactionManager;
  if (acdbGetObjectId(id, name) != Acad::eOk || manager == nullptr ||
      manager->startTransaction() == nullptr)
    return kResultOk;
  AcDbObject* object = nullptr;
  AcDbMText* text = nullptr;
  if (manager->getObject(object, id, AcDb::kForWrite) == Acad::eOk) text = AcDbMText::cast(object);
  if (text != nullptr) {
    const std::wstring contents = contentsOf(*text);
    const std::wstring paragraph = lastParagraph(contents);
    text->setContents(paragraph.c_str());
    const std::wstring line = lastLine(*text, paragraph);
    text->setContents(line.c_str());
    const double width = text->actualWidth();
    text->setContents(contents.c_str());
    acedRetReal(width);
  }
  manager->abortTransaction();
  return kResultOk;
}

// Optional arguments are positional: one that is not of its slot's type is passed over
// and the slot keeps its default.
int AcDbMText_insert() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring contents;
  ads_point location = {0, 0, 0};
  if (!readString(cursor, contents) || !readPoint(cursor, location)) return kWrongType;
  double width = 0.0;
  if (cursor != nullptr && !readReal(cursor, width)) skipArgument(cursor);
  std::wstring styleName;
  const bool styleGiven = cursor != nullptr && readString(cursor, styleName);
  if (!styleGiven) skipArgument(cursor);
  std::int32_t attachment = 0;
  const bool attachmentGiven = cursor != nullptr && readInteger(cursor, attachment);

  AcDbDatabase* database = draw::currentDatabase();
  auto text = std::make_unique<AcDbMText>();
  if (database != nullptr) {
    text->setDatabaseDefaults(database);
    text->setTextHeight(database->textsize());
    text->setTextStyle(database->textstyle());
  }
  text->setContents(contents.c_str());
  text->setLocation(AcGePoint3d(location[0], location[1], location[2]));
  text->setWidth(width);
  AcDbTextStyleTable* styles = nullptr;
  if (styleGiven && database != nullptr &&
      database->getTextStyleTable(styles, AcDb::kForRead) == Acad::eOk) {
    AcDbObjectId style;
    if (styles->getAt(styleName.c_str(), style) == Acad::eOk) text->setTextStyle(style);
    styles->close();
  }
  if (attachmentGiven && attachment >= AcDbMText::kTopLeft && attachment <= AcDbMText::kBottomRight)
    text->setAttachment(static_cast<AcDbMText::AttachmentPoint>(attachment));
  AcDbMText* placed = text.release();
  if (!draw::appendToModelSpace(placed)) return kResultOk;
  draw::retObject(placed);
  placed->close();
  return kResultOk;
}

}  // namespace tabrik::arx::fn
