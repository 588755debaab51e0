// TEXT (and -TEXT): one line of single-line text. The start point or a justification
// point, the height when the style has none (TEXTSIZE by default), the rotation and
// the text; Align and Fit take the baseline's two ends instead (Align derives the
// height from the text's width, Fit asks it). Style changes the current style.
#include <cmath>
#include <cwchar>
#include <optional>

#include "acedads.h"
#include "acutads.h"
#include "aced/command/CommandDrawing.h"
#include "aced/command/CommandGeometry.h"
#include "aced/command/CommandInput.h"
#include "aced/command/CoreCommands.h"
#include "dbents.h"
#include "dbsymtb.h"

namespace tabrik::acad::command {

namespace {

struct Justification {
  const wchar_t* keyword;
  AcDb::TextHorzMode horizontal;
  AcDb::TextVertMode vertical;
  const wchar_t* prompt;  // the point it asks for
};

// Keyword order matters for abbreviations: "M" is Middle, "MC" the middle-centre.
constexpr Justification kJustifications[] = {
    {L"Align", AcDb::kTextAlign, AcDb::kTextBase, L"\nSpecify first endpoint of text baseline: "},
    {L"Fit", AcDb::kTextFit, AcDb::kTextBase, L"\nSpecify first endpoint of text baseline: "},
    {L"Center", AcDb::kTextCenter, AcDb::kTextBase, L"\nSpecify center point of text: "},
    {L"Middle", AcDb::kTextMid, AcDb::kTextBase, L"\nSpecify middle point of text: "},
    {L"Right", AcDb::kTextRight, AcDb::kTextBase, L"\nSpecify right endpoint of text baseline: "},
    {L"TL", AcDb::kTextLeft, AcDb::kTextTop, L"\nSpecify top-left point of text: "},
    {L"TC", AcDb::kTextCenter, AcDb::kTextTop, L"\nSpecify top-center point of text: "},
    {L"TR", AcDb::kTextRight, AcDb::kTextTop, L"\nSpecify top-right point of text: "},
    {L"ML", AcDb::kTextLeft, AcDb::kTextVertMid, L"\nSpecify middle-left point of text: "},
    {L"MC", AcDb::kTextCenter, AcDb::kTextVertMid, L"\nSpecify middle point of text: "},
    {L"MR", AcDb::kTextRight, AcDb::kTextVertMid, L"\nSpecify middle-right point of text: "},
    {L"BL", AcDb::kTextLeft, AcDb::kTextBottom, L"\nSpecify bottom-left point of text: "},
    {L"BC", AcDb::kTextCenter, AcDb::kTextBottom, L"\nSpecify bottom-center point of text: "},
    {L"BR", AcDb::kTextRight, AcDb::kTextBottom, L"\nSpecify bottom-right point of text: "},
};

constexpr Justification kLeft = {L"Left", AcDb::kTextLeft, AcDb::kTextBase, nullptr};

const Justification* justificationNamed(const std::wstring& keyword) {
  for (const Justification& j : kJustifications) {
    if (keyword == j.keyword) return &j;
  }
  return nullptr;
}

// The current style's id and fixed height (0: the height is asked).
struct CurrentStyle {
  AcDbObjectId id;
  std::wstring name;
  double height = 0.0;
};

CurrentStyle currentStyle() {
  CurrentStyle style;
  AcDbDatabase* database = workingDrawing();
  if (database == nullptr) return style;
  style.id = database->textstyle();
  AcDbTextStyleTableRecord* record = nullptr;
  if (acdbOpenObject(record, style.id, AcDb::kForRead) == Acad::eOk) {
    const ACHAR* name = nullptr;
    if (record->getName(name) == Acad::eOk && name != nullptr) style.name = name;
    style.height = record->textSize();
    record->close();
  }
  return style;
}

void showStyle(const CurrentStyle& style) {
  const double height = style.height > 0 ? style.height : realVariable(L"TEXTSIZE", 2.5);
  acutPrintf(L"\nCurrent text style:  \"%ls\"  Text height:  %ls  Annotative:  No",
             style.name.c_str(), formatDistance(height).c_str());
}

// Style: a style of the drawing becomes current; Enter keeps the current one.
int askStyle(CurrentStyle& style) {
  while (true) {
    Answer answer = getText(L"\nEnter style name or [?] <" + style.name + L">: ", false);
    if (answer.status != RTNORM) return answer.status;
    if (answer.keyword.empty()) return RTNORM;
    AcDbDatabase* database = workingDrawing();
    AcDbTextStyleTable* table = nullptr;
    if (database == nullptr || database->getTextStyleTable(table) != Acad::eOk) return RTERROR;
    AcDbObjectId id;
    Acad::ErrorStatus status = table->getAt(answer.keyword.c_str(), id);
    table->close();
    if (status == Acad::eOk) {
      database->setTextstyle(id);
      style = currentStyle();
      return RTNORM;
    }
    acutPrintf(L"\nCannot find text style \"%ls\".\n", answer.keyword.c_str());
  }
}

// The height for text that fills a baseline of `length` (Align): the width of the
// text at height 1 scales to it.
double alignedHeight(AcDbText& text, double length, double fallback) {
  text.setHeight(1.0);
  text.setRotation(0.0);
  AcDbExtents extents;
  if (text.getGeomExtents(extents) != Acad::eOk) return fallback;
  const double width = extents.maxPoint().x - extents.minPoint().x;
  return width > 0 ? length / width : fallback;
}

// The insertion (left baseline) point of text justified at `anchor`: the text's box
// at its height, shifted so that the justified point of the box lies on the anchor.
AcGePoint3d justifiedPosition(AcDbText& text, const Justification& justification,
                              const AcGePoint3d& anchor) {
  const double rotation = text.rotation();
  text.setPosition(AcGePoint3d::kOrigin);
  text.setRotation(0.0);
  AcDbExtents box;
  const bool measured = text.getGeomExtents(box) == Acad::eOk;
  text.setRotation(rotation);
  if (!measured) return anchor;
  const double width = box.maxPoint().x - box.minPoint().x;
  const double bottom = box.minPoint().y, top = box.maxPoint().y;
  double dx = 0.0, dy = 0.0;
  if (justification.horizontal == AcDb::kTextCenter || justification.horizontal == AcDb::kTextMid)
    dx = -width / 2;
  if (justification.horizontal == AcDb::kTextRight) dx = -width;
  if (justification.horizontal == AcDb::kTextMid) dy = -(bottom + top) / 2;
  if (justification.vertical == AcDb::kTextBottom) dy = -bottom;
  if (justification.vertical == AcDb::kTextVertMid) dy = -text.height() / 2;
  if (justification.vertical == AcDb::kTextTop) dy = -text.height();
  return AcGePoint3d(anchor.x + dx * std::cos(rotation) - dy * std::sin(rotation),
                     anchor.y + dx * std::sin(rotation) + dy * std::cos(rotation), anchor.z);
}

}  // namespace

int textCommand() {
  CurrentStyle style = currentStyle();
  const Justification* justification = &kLeft;
  AcGePoint3d point, second;
  showStyle(style);
  while (true) {
    Answer answer = getPoint(nullptr, L"\nSpecify start point of text or [Justify/Style]: ",
                             L"Justify Style", RSG_NONULL);
    if (answer.status == RTNORM) {
      point = answer.point;
      break;
    }
    if (answer.isKeyword(L"Style")) {
      int status = askStyle(style);
      if (status != RTNORM) return status;
      showStyle(style);
      continue;
    }
    if (!answer.isKeyword(L"Justify")) return answer.status;
    Answer option = getKeyword(
        L"\nEnter an option [Align/Fit/Center/Middle/Right/TL/TC/TR/ML/MC/MR/BL/BC/BR]: ",
        L"Align Fit Center Middle Right TL TC TR ML MC MR BL BC BR", RSG_NONULL);
    if (option.status != RTKWORD) return option.status;
    justification = justificationNamed(option.keyword);
    if (justification == nullptr) return RTERROR;
    Answer at = getPoint(nullptr, justification->prompt, L"", RSG_NONULL);
    if (at.status != RTNORM) return at.status;
    point = at.point;
    break;
  }
  const bool baseline =
      justification->horizontal == AcDb::kTextAlign || justification->horizontal == AcDb::kTextFit;
  if (baseline) {
    Answer end = getPoint(&point, L"\nSpecify second endpoint of text baseline: ", L"", RSG_NONULL);
    if (end.status != RTNORM) return end.status;
    second = end.point;
  }
  double height = style.height;
  if (height <= 0 && justification->horizontal != AcDb::kTextAlign) {
    const double previous = realVariable(L"TEXTSIZE", 2.5);
    Answer given = getDistance(&point, L"\nSpecify height <" + formatDistance(previous) + L">: ",
                               L"", RSG_NOZERO | RSG_NONEG);
    if (given.status != RTNORM && given.status != RTNONE) return given.status;
    height = given.status == RTNORM ? given.value : previous;
    if (given.status == RTNORM) setRealVariable(L"TEXTSIZE", height);
  }
  double rotation = baseline ? directionOf(point, second) : 0.0;
  if (!baseline) {
    Answer angle = getAngle(&point, L"\nSpecify rotation angle of text <0>: ");
    if (angle.status != RTNORM && angle.status != RTNONE) return angle.status;
    if (angle.status == RTNORM) rotation = angle.value;
  }
  Answer line = getText(L"\nEnter text: ", true);
  if (line.status != RTNORM) return line.status;
  if (line.keyword.empty()) return RTNORM;

  auto* text = new AcDbText(point, line.keyword.c_str(), style.id, height, rotation);
  if (justification->horizontal == AcDb::kTextAlign) {
    const double fallback = realVariable(L"TEXTSIZE", 2.5);
    text->setHeight(alignedHeight(*text, point.distanceTo(second), fallback));
    text->setRotation(rotation);
  }
  text->setHorizontalMode(justification->horizontal);
  text->setVerticalMode(justification->vertical);
  if (justification != &kLeft) text->setAlignmentPoint(baseline ? second : point);
  if (justification != &kLeft && !baseline)
    text->setPosition(justifiedPosition(*text, *justification, point));
  return appendEntity(text).isValid() ? RTNORM : RTERROR;
}

}  // namespace tabrik::acad::command
