// Multi-line text: contents with inline codes, placement, and the measured layout
// (in the font of its style, read by TrueTypeFont).
#include "dbmtext.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <vector>

#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/DxfGroups.h"
#include "acdb/objects/FieldVisitor.h"
#include "acdb/entities/TrueTypeFont.h"
#include "dbsymtb.h"
#include "rxboiler.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbMText, AcDbEntity)

AcDbMText::AcDbMText() = default;

namespace {

// The contents as lines of plain text: inline codes removed, "\P" breaking
// paragraphs, "\U+XXXX" decoded, "\~" a space, "\\", "\{" and "\}" the characters.
std::vector<std::wstring> paragraphs(const std::wstring& contents) {
  std::vector<std::wstring> result(1);
  for (size_t i = 0; i < contents.size(); ++i) {
    wchar_t c = contents[i];
    if (c == L'{' || c == L'}') continue;
    if (c != L'\\' || i + 1 >= contents.size()) {
      result.back() += c;
      continue;
    }
    wchar_t code = contents[++i];
    switch (code) {
      case L'P':
        result.emplace_back();
        break;
      case L'~':
        result.back() += L' ';
        break;
      case L'\\':
      case L'{':
      case L'}':
        result.back() += code;
        break;
      case L'U':
        if (i + 5 < contents.size() + 0 && contents[i + 1] == L'+') {
          result.back() +=
              static_cast<wchar_t>(std::wcstol(contents.substr(i + 2, 4).c_str(), nullptr, 16));
          i += 5;
        }
        break;
      case L'L':
      case L'l':
      case L'O':
      case L'o':
      case L'K':
      case L'k':
        break;
      default: {
        // \f...; \H...; \C...; and the like carry an argument up to ';'.
        size_t end = contents.find(L';', i);
        if (end == std::wstring::npos) return result;
        i = end;
        break;
      }
    }
  }
  return result;
}

const AcDbTextStyleTableRecord* styleOf(AcDbObjectId style) {
  return style.isValid() ? AcDbTextStyleTableRecord::cast(style.stub()->object) : nullptr;
}

double widthFactorOf(AcDbObjectId style) {
  const auto* record = styleOf(style);
  return record ? record->xScale() : 1.0;
}

// How wide characters are and how high the font reaches, in drawing units. The text
// height is the height of capitals, as the host sizes TrueType text: one em is the
// height over the font's cap height. Without a readable font, every character is 3/4
// of the height wide, the ascent is the height and the descent a third of it.
struct TextMetrics {
  const TrueTypeFont* font = nullptr;
  double em = 0, widthFactor = 1, height = 0;

  TextMetrics(const AcDbMText& text) : height(text.textHeight()) {
    const auto* style = styleOf(text.textStyle());
    const ACHAR* file = nullptr;
    if (style == nullptr || style->fileName(file) != Acad::eOk || file == nullptr) file = L"";
    font = measuringFont(file);
    if (font != nullptr) em = height / font->capHeight();
    widthFactor = style ? style->xScale() : 1.0;
  }
  double advance(wchar_t c) const {
    if (font == nullptr) return 0.75 * height * widthFactor;
    return font->advance(static_cast<char32_t>(c)) * em * widthFactor;
  }
  // The width of a line, its trailing spaces left out.
  double width(const std::wstring& line) const {
    size_t end = line.find_last_not_of(L' ');
    if (end == std::wstring::npos) return 0.0;
    double sum = 0;
    for (size_t i = 0; i <= end; ++i) sum += advance(line[i]);
    return sum;
  }
  double ascent() const { return font ? font->ascender() * em : height; }
  double descent() const { return font ? font->descender() * em : height / 3.0; }
};

struct Layout {
  std::vector<double> lineWidths;
  std::vector<std::wstring> lines;  // the text of each line, as wrapped
};

Layout layout(const AcDbMText& text) {
  const TextMetrics metrics(text);
  Layout result;
  for (const std::wstring& paragraph : paragraphs(text.contentsString())) {
    auto widthOf = [&](const std::wstring& line) { return metrics.width(line); };
    if (text.width() <= 0) {
      result.lineWidths.push_back(widthOf(paragraph));
      result.lines.push_back(paragraph);
      continue;
    }
    // Words wrap at spaces; a word wider than the column stands on a line of its own.
    std::wstring line;
    size_t start = 0;
    while (start <= paragraph.size()) {
      size_t space = paragraph.find(L' ', start);
      std::wstring word =
          paragraph.substr(start, space == std::wstring::npos ? std::wstring::npos : space - start);
      std::wstring candidate = line.empty() ? word : line + L" " + word;
      if (!line.empty() && widthOf(candidate) > text.width() + 1e-9) {
        result.lineWidths.push_back(widthOf(line));
        result.lines.push_back(line);
        line = word;
      } else {
        line = candidate;
      }
      if (space == std::wstring::npos) break;
      start = space + 1;
    }
    result.lineWidths.push_back(widthOf(line));
    result.lines.push_back(line);
  }
  return result;
}

}  // namespace

double AcDbMText::actualWidth() const {
  Layout l = layout(*this);
  return l.lineWidths.empty() ? 0.0 : *std::max_element(l.lineWidths.begin(), l.lineWidths.end());
}

// Baselines are 5/3 of the text height apart (times the spacing factor); the height
// runs from the first line's top to the last line's baseline.
double AcDbMText::actualHeight() const {
  if (m_contents.empty()) return 0.0;
  size_t lines = layout(*this).lineWidths.size();
  return m_textHeight + static_cast<double>(lines - 1) * m_textHeight * 5.0 / 3.0 * m_lineSpacing;
}

double AcDbMText::ascent() const { return TextMetrics(*this).ascent(); }
double AcDbMText::descent() const { return TextMetrics(*this).descent(); }

Acad::ErrorStatus AcDbMText::setLocation(const AcGePoint3d& location) {
  assertWriteEnabled();
  m_location = location;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setNormal(const AcGeVector3d& normal) {
  if (normal.isZeroLength()) return Acad::eInvalidInput;
  double angle = rotation();
  assertWriteEnabled();
  m_normal = normal.normal();
  return setRotation(angle);
}

Acad::ErrorStatus AcDbMText::setDirection(const AcGeVector3d& direction) {
  // The direction lies in the text's plane: its part along the normal is dropped.
  AcGeVector3d inPlane = direction - m_normal * direction.dotProduct(m_normal);
  if (inPlane.isZeroLength()) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_direction = inPlane.normal();
  return Acad::eOk;
}

double AcDbMText::rotation() const {
  AcGeVector3d ocs = m_direction;
  ocs.transformBy(AcGeMatrix3d::worldToPlane(m_normal));
  double angle = std::atan2(ocs.y, ocs.x);
  return angle < 0 ? angle + 2 * 3.141592653589793 : angle;
}

Acad::ErrorStatus AcDbMText::setRotation(double angle) {
  assertWriteEnabled();
  AcGeVector3d direction(std::cos(angle), std::sin(angle), 0);
  direction.transformBy(AcGeMatrix3d::planeToWorld(m_normal));
  m_direction = direction.normal();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setWidth(double width) {
  if (width < 0) return Acad::eNegativeValueNotAllowed;
  assertWriteEnabled();
  m_width = width;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setTextHeight(double height) {
  if (!(height > 0)) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_textHeight = height;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setTextStyle(AcDbObjectId style) {
  if (!style.isNull() &&
      (!style.isValid() || !style.objectClass()->isDerivedFrom(AcDbTextStyleTableRecord::desc())))
    return Acad::eWrongObjectType;
  assertWriteEnabled();
  m_style = style;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setAttachment(AttachmentPoint attachment) {
  if (attachment < kTopLeft || attachment > kBottomRight) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_attachment = attachment;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setFlowDirection(FlowDirection direction) {
  if (direction < kLtoR || direction > kByStyle) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_flow = direction;
  return Acad::eOk;
}

ACHAR* AcDbMText::contents() const {
  auto* copy = new ACHAR[m_contents.size() + 1];
  std::wmemcpy(copy, m_contents.c_str(), m_contents.size() + 1);
  return copy;
}

int AcDbMText::setContents(const ACHAR* text) {
  if (text == nullptr) return 0;
  assertWriteEnabled();
  m_contents = text;
  return static_cast<int>(m_contents.size());
}

Acad::ErrorStatus AcDbMText::setLineSpacingFactor(double factor) {
  if (factor < 0.25 || factor > 4.0) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_lineSpacing = factor;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setBackgroundFill(bool enable) {
  assertWriteEnabled();
  m_backgroundFill = enable;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setBackgroundScaleFactor(double scale) {
  if (scale < 1.0 || scale > 5.0) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_backgroundScale = scale;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::setUseBackgroundColor(bool enable) {
  assertWriteEnabled();
  m_useBackgroundColor = enable;
  return Acad::eOk;
}

namespace {
// The text's box corners in world coordinates: (left, top) of the attachment frame.
void box(const AcDbMText& text, AcGePoint3d corners[4]) {
  double w = text.actualWidth(), h = text.actualHeight();
  int attachment = text.attachment();
  double left = -w * ((attachment - 1) % 3) / 2.0;
  double top = h * ((attachment - 1) / 3) / 2.0;
  AcGeVector3d x = text.direction(), y = text.normal().crossProduct(x);
  AcGePoint3d topLeft = text.location() + x * left + y * top;
  corners[0] = topLeft;
  corners[1] = topLeft + x * w;
  corners[2] = topLeft + x * w - y * h;
  corners[3] = topLeft - y * h;
}
}  // namespace

// Each line as wrapped, on baselines 5/3 of the height apart from the top of the
// attachment frame; a line sits at the left, the middle or the right of the frame as
// the attachment's column says.
Adesk::Boolean AcDbMText::subWorldDraw(AcGiWorldDraw* mode) {
  AcGePoint3d corners[4];
  box(*this, corners);
  const Layout lines = layout(*this);
  const double frame = lines.lineWidths.empty()
                           ? 0.0
                           : *std::max_element(lines.lineWidths.begin(), lines.lineWidths.end());
  const int column = (m_attachment - 1) % 3;  // 0 left, 1 centre, 2 right
  AcGeVector3d y = m_normal.crossProduct(m_direction);
  double step = m_textHeight * 5.0 / 3.0 * m_lineSpacing;
  AcGePoint3d baseline = corners[0] - y * m_textHeight;
  for (size_t i = 0; i < lines.lines.size(); ++i) {
    const double indent = (frame - lines.lineWidths[i]) * column / 2.0;
    mode->geometry().text(baseline + m_direction * indent, m_normal, m_direction, m_textHeight,
                          widthFactorOf(m_style), 0.0, lines.lines[i].c_str());
    baseline -= y * step;
  }
  return Adesk::kTrue;
}

Acad::ErrorStatus AcDbMText::subGetGeomExtents(AcDbExtents& extents) const {
  AcGePoint3d corners[4];
  box(*this, corners);
  for (const AcGePoint3d& p : corners) extents.addPoint(p);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::subTransformBy(const AcGeMatrix3d& m) {
  assertWriteEnabled();
  m_location.transformBy(m);
  AcGeVector3d direction = m_direction, normal = m_normal;
  direction.transformBy(m);
  normal.transformBy(m);
  double scale = m.scale();
  m_direction = direction.normal();
  m_normal = normal.normal();
  m_textHeight *= scale;
  m_width *= scale;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray&,
                                              AcDbIntArray&) const {
  points.append(m_location);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::subMoveGripPointsAt(const AcDbIntArray& indices,
                                                 const AcGeVector3d& offset) {
  if (indices.contains(0)) return setLocation(m_location + offset);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbEntity::dwgOutFields(filer);
  filer->writePoint3d(m_location);
  filer->writeVector3d(m_normal);
  filer->writeVector3d(m_direction);
  filer->writeDouble(m_width);
  filer->writeDouble(m_textHeight);
  filer->writeDouble(m_lineSpacing);
  filer->writeDouble(m_backgroundScale);
  filer->writeHardPointerId(m_style);
  filer->writeInt16(static_cast<Adesk::Int16>(m_attachment));
  filer->writeInt16(static_cast<Adesk::Int16>(m_flow));
  filer->writeString(m_contents);
  filer->writeBool(m_backgroundFill);
  filer->writeBool(m_useBackgroundColor);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbMText::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  filer->readPoint3d(&m_location);
  filer->readVector3d(&m_normal);
  filer->readVector3d(&m_direction);
  filer->readDouble(&m_width);
  filer->readDouble(&m_textHeight);
  filer->readDouble(&m_lineSpacing);
  filer->readDouble(&m_backgroundScale);
  AcDbHardPointerId style;
  filer->readHardPointerId(&style);
  m_style = style;
  Adesk::Int16 attachment = 1, flow = 1;
  filer->readInt16(&attachment);
  filer->readInt16(&flow);
  m_attachment = static_cast<AttachmentPoint>(std::clamp<int>(attachment, 1, 9));
  m_flow = static_cast<FlowDirection>(std::clamp<int>(flow, 1, 5));
  filer->readString(m_contents);
  filer->readBool(&m_backgroundFill);
  filer->readBool(&m_useBackgroundColor);
  return filer->filerStatus();
}

namespace {
// Splits contents into DXF chunks of 250 characters, never inside an escape ("\P",
// "\U+XXXX", "\...;"), so each chunk decodes on its own.
std::vector<std::wstring> chunks(const std::wstring& text) {
  std::vector<std::wstring> result;
  size_t start = 0;
  while (text.size() - start > 250) {
    size_t end = start + 250;
    // Step back over a backslash sequence cut at the boundary.
    size_t backslash = text.rfind(L'\\', end - 1);
    if (backslash != std::wstring::npos && backslash >= start && end - backslash < 8)
      end = backslash;
    if (end == start) end = start + 250;
    result.push_back(text.substr(start, end - start));
    start = end;
  }
  result.push_back(text.substr(start));
  return result;
}
}  // namespace

// MTEXT: 100 AcDbMText, 10 location, 40 height, 41 reference width, 71 attachment, 72
// drawing direction, 3 text chunks of 250 characters and 1 the rest, 7 style, 210
// normal, 11 direction vector (not 50: readers disagree on its unit), 73 line spacing
// style, 44 line spacing factor, and 90 background fill flags (1 fill, 2 use the
// drawing's background colour) with 45 its scale when the fill is on.
Acad::ErrorStatus AcDbMText::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbEntity::dxfOutFields(filer);
  filer->writeString(100, L"AcDbMText");
  filer->writePoint3d(10, m_location);
  filer->writeDouble(40, m_textHeight);
  filer->writeDouble(41, m_width);
  filer->writeInt16(71, static_cast<Adesk::Int16>(m_attachment));
  filer->writeInt16(72, static_cast<Adesk::Int16>(m_flow));
  std::vector<std::wstring> parts = chunks(m_contents);
  for (size_t i = 0; i + 1 < parts.size(); ++i) filer->writeString(3, parts[i]);
  filer->writeString(1, parts.back());
  filer->writeString(7, symbolName(m_style).empty() ? L"Standard" : symbolName(m_style));
  if (!m_normal.isEqualTo(AcGeVector3d::kZAxis)) filer->writeVector3d(210, m_normal);
  filer->writeVector3d(11, m_direction);
  filer->writeInt16(73, 1);
  filer->writeDouble(44, m_lineSpacing);
  if (m_backgroundFill) {
    filer->writeInt32(90, (m_backgroundFill ? 1 : 0) | (m_useBackgroundColor ? 2 : 0));
    filer->writeDouble(45, m_backgroundScale);
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbMText::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbMText");
  if (status != Acad::eOk) return status;
  std::wstring chunked, last;
  double rotationDegrees = 0;
  bool directionGiven = false, rotationGiven = false;
  m_style = symbolId(filer->database(), SymbolTable::kTextStyle, L"Standard");
  status = forEachGroup(filer, [&](const resbuf& rb) {
    switch (rb.restype) {
      case 10:
        m_location = pointOf(rb);
        break;
      case 40:
        if (rb.resval.rreal > 0) m_textHeight = rb.resval.rreal;
        break;
      case 41:
        m_width = std::max(0.0, rb.resval.rreal);
        break;
      case 71:
        m_attachment = static_cast<AttachmentPoint>(std::clamp<int>(rb.resval.rint, 1, 9));
        break;
      case 72:
        m_flow = static_cast<FlowDirection>(std::clamp<int>(rb.resval.rint, 1, 5));
        break;
      case 3:
        chunked += stringOf(rb);
        break;
      case 1:
        last = stringOf(rb);
        break;
      case 7: {
        AcDbObjectId id = symbolId(filer->database(), SymbolTable::kTextStyle, stringOf(rb));
        if (!id.isNull()) m_style = id;
        break;
      }
      case 210: {
        AcGeVector3d n = vectorOf(rb);
        if (!n.isZeroLength()) m_normal = unitDirection(n);
        break;
      }
      case 11: {
        AcGeVector3d d = vectorOf(rb);
        if (!d.isZeroLength()) m_direction = unitDirection(d), directionGiven = true;
        break;
      }
      case 50:
        rotationDegrees = rb.resval.rreal, rotationGiven = true;
        break;
      case 44:
        if (rb.resval.rreal >= 0.25 && rb.resval.rreal <= 4.0) m_lineSpacing = rb.resval.rreal;
        break;
      case 90:
        m_backgroundFill = (rb.resval.rlong & 1) != 0;
        m_useBackgroundColor = (rb.resval.rlong & 2) != 0;
        break;
      case 45:
        if (rb.resval.rreal >= 1.0 && rb.resval.rreal <= 5.0) m_backgroundScale = rb.resval.rreal;
        break;
      default:
        break;
    }
  });
  m_contents = chunked + last;
  // A file that gives only the rotation gives it in radians, by the reference.
  if (!directionGiven && rotationGiven) setRotation(rotationDegrees);
  return status;
}
