// Single-line text, attribute definitions and attributes.
#include <cmath>
#include <cwchar>

#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/FieldVisitor.h"
#include "acdb/entities/TrueTypeFont.h"
#include "dbents.h"
#include "dbsymtb.h"
#include "rxboiler.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbText, AcDbEntity)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbAttributeDefinition, AcDbText)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbAttribute, AcDbText)

namespace {
const double kZero = 0.0, kOne = 1.0;
const Adesk::Int16 kZero16 = 0;

ACHAR* copyOf(const std::wstring& text) {
  auto* copy = new ACHAR[text.size() + 1];
  std::wmemcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// The AcDbText part that TEXT, ATTRIB and ATTDEF share: 39 thickness, 10 insertion
// (OCS), 40 height, 1 text, 50 rotation, 41 width factor, 51 oblique, 7 style, 71
// generation, 72 horizontal justification, 11 alignment point, 210 normal.
struct TextPart {
  AcGePoint3d& position;
  AcGePoint3d& alignment;
  std::wstring& text;
  AcDbObjectId& style;
  double &height, &rotation, &widthFactor, &oblique, &thickness;
  Adesk::Int16 &generation, &horizontal;
  AcGeVector3d& normal;

  void visit(FieldVisitor& v) {
    v.marker(L"AcDbText");
    v.real(39, thickness, &kZero);
    v.ocsPoint(10, position, &normal);
    v.real(40, height);
    v.text(1, text);
    v.angle(50, rotation, /*optional=*/true);
    v.real(41, widthFactor, &kOne);
    v.angle(51, oblique, /*optional=*/true);
    v.symbol(7, style, SymbolTable::kTextStyle);
    v.int16(71, generation, &kZero16);
    v.int16(72, horizontal, &kZero16);
    v.ocsPoint(11, alignment, &normal);
    v.vector(210, normal, /*optionalZAxis=*/true);
  }
};
}  // namespace

AcDbText::AcDbText(const AcGePoint3d& position, const ACHAR* text, AcDbObjectId style,
                   double height, double rotation)
    : m_position(position),
      m_alignment(position),
      m_text(text ? text : L""),
      m_style(style),
      m_height(height),
      m_rotation(rotation) {}

// TEXT: the text part, then 100 AcDbText again and 73 vertical justification.
void AcDbText::visitFields(FieldVisitor& v) {
  Adesk::Int16 horizontal = static_cast<Adesk::Int16>(m_horizontal),
               vertical = static_cast<Adesk::Int16>(m_vertical);
  TextPart{m_position,    m_alignment, m_text,      m_style,      m_height,   m_rotation,
           m_widthFactor, m_oblique,   m_thickness, m_generation, horizontal, m_normal}
      .visit(v);
  v.marker(L"AcDbText");
  v.int16(73, vertical, &kZero16);
  // The DXF reader fills locals only when its reading ends, after this visit;
  // dxfInFields therefore reads with locals of its own.
  m_horizontal = static_cast<AcDb::TextHorzMode>(horizontal);
  m_vertical = static_cast<AcDb::TextVertMode>(vertical);
}

Acad::ErrorStatus AcDbText::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbEntity::dwgOutFields(filer);
  writeDwgFields(filer, [this](FieldVisitor& v) { const_cast<AcDbText*>(this)->visitFields(v); });
  filer->writeInt16(static_cast<Adesk::Int16>(m_horizontal));
  filer->writeInt16(static_cast<Adesk::Int16>(m_vertical));
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbText::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  readDwgFields(filer, [this](FieldVisitor& v) { visitFields(v); });
  Adesk::Int16 h = 0, vert = 0;
  filer->readInt16(&h);
  filer->readInt16(&vert);
  m_horizontal = static_cast<AcDb::TextHorzMode>(h);
  m_vertical = static_cast<AcDb::TextVertMode>(vert);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbText::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbEntity::dxfOutFields(filer);
  return writeDxfFields(filer,
                        [this](FieldVisitor& v) { const_cast<AcDbText*>(this)->visitFields(v); });
}

Acad::ErrorStatus AcDbText::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  Adesk::Int16 horizontal = 0, vertical = 0;
  status = readDxfFields(filer, [&](FieldVisitor& v) {
    TextPart{m_position,    m_alignment, m_text,      m_style,      m_height,   m_rotation,
             m_widthFactor, m_oblique,   m_thickness, m_generation, horizontal, m_normal}
        .visit(v);
    v.marker(L"AcDbText");
    v.int16(73, vertical);
  });
  m_horizontal = static_cast<AcDb::TextHorzMode>(horizontal);
  m_vertical = static_cast<AcDb::TextVertMode>(vertical);
  return status;
}

ACHAR* AcDbText::textString() const { return copyOf(m_text); }

#define TEXT_SETTER(NAME, TYPE, MEMBER, CHECK)   \
  Acad::ErrorStatus AcDbText::NAME(TYPE value) { \
    if (!(CHECK)) return Acad::eInvalidInput;    \
    assertWriteEnabled();                        \
    MEMBER = value;                              \
    return Acad::eOk;                            \
  }
TEXT_SETTER(setPosition, const AcGePoint3d&, m_position, true)
TEXT_SETTER(setAlignmentPoint, const AcGePoint3d&, m_alignment, true)
TEXT_SETTER(setTextStyle, AcDbObjectId, m_style, true)
TEXT_SETTER(setHeight, double, m_height, value > 0)
TEXT_SETTER(setRotation, double, m_rotation, true)
TEXT_SETTER(setWidthFactor, double, m_widthFactor, value > 0)
TEXT_SETTER(setOblique, double, m_oblique, true)
TEXT_SETTER(setHorizontalMode, AcDb::TextHorzMode, m_horizontal,
            value >= AcDb::kTextLeft && value <= AcDb::kTextFit)
TEXT_SETTER(setVerticalMode, AcDb::TextVertMode, m_vertical,
            value >= AcDb::kTextBase && value <= AcDb::kTextTop)
TEXT_SETTER(setThickness, double, m_thickness, true)

Acad::ErrorStatus AcDbText::setTextString(const ACHAR* text) {
  if (text == nullptr) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_text = text;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setNormal(const AcGeVector3d& normal) {
  if (normal.isZeroLength()) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_normal = normal.normal();
  return Acad::eOk;
}

namespace {

// The natural width of a line of text and the depth of the font below its baseline,
// from the style's font as multi-line text measures it (without a readable font each
// character advances 3/4 of the height and the descent is a third of it).
struct LineMeasure {
  double width = 0, descent = 0;
};

LineMeasure measureLine(const std::wstring& text, AcDbObjectId styleId, double height,
                        double widthFactor) {
  const ACHAR* file = L"";
  if (styleId.isValid())
    if (const auto* style = AcDbTextStyleTableRecord::cast(styleId.stub()->object))
      if (style->fileName(file) != Acad::eOk || file == nullptr) file = L"";
  const TrueTypeFont* font = measuringFont(file);
  LineMeasure m;
  if (font == nullptr || !(font->capHeight() > 0)) {
    m.width = 0.75 * height * widthFactor * static_cast<double>(text.size());
    m.descent = height / 3.0;
    return m;
  }
  const double em = height / font->capHeight();
  for (wchar_t c : text) m.width += font->advance(static_cast<char32_t>(c)) * em * widthFactor;
  m.descent = font->descender() * em;
  return m;
}

}  // namespace

// The text draws from the left end of its baseline: the justification decides where
// that is (and, for aligned and fitted text, the height or width factor that makes the
// text span its two points).
Adesk::Boolean AcDbText::subWorldDraw(AcGiWorldDraw* mode) {
  AcGeVector3d direction(std::cos(m_rotation), std::sin(m_rotation), 0);
  direction.transformBy(AcGeMatrix3d::planeToWorld(m_normal));
  double height = m_height, widthFactor = m_widthFactor;
  AcGePoint3d start = m_position;
  if (!isDefaultAlignment()) {
    const LineMeasure natural = measureLine(m_text, m_style, height, widthFactor);
    const AcGeVector3d up = m_normal.crossProduct(direction).normal();
    start = m_alignment;
    switch (m_horizontal) {
      case AcDb::kTextAlign:
      case AcDb::kTextFit: {
        const AcGeVector3d span = m_alignment - m_position;
        start = m_position;
        if (span.isZeroLength() || !(natural.width > 0)) break;
        direction = span.normal();
        const double stretch = span.length() / natural.width;
        if (m_horizontal == AcDb::kTextAlign) {
          height *= stretch;
        } else {
          widthFactor *= stretch;
        }
        break;
      }
      case AcDb::kTextCenter:
        start = m_alignment - direction * (natural.width / 2);
        break;
      case AcDb::kTextMid:
        start = m_alignment - direction * (natural.width / 2) - up * (height / 2);
        break;
      case AcDb::kTextRight:
        start = m_alignment - direction * natural.width;
        break;
      default:
        break;
    }
    if (m_horizontal != AcDb::kTextAlign && m_horizontal != AcDb::kTextFit &&
        m_horizontal != AcDb::kTextMid) {
      if (m_vertical == AcDb::kTextBottom) start += up * natural.descent;
      if (m_vertical == AcDb::kTextVertMid) start -= up * (height / 2);
      if (m_vertical == AcDb::kTextTop) start -= up * height;
    }
  }
  mode->geometry().text(start, m_normal, direction, height, widthFactor, m_oblique, m_text.c_str());
  return Adesk::kTrue;
}

// The text's box: the host's font advances 0.75 of the height per character (times
// the width factor); the box runs from the baseline to the cap height.
Acad::ErrorStatus AcDbText::subGetGeomExtents(AcDbExtents& extents) const {
  double width = 0.75 * m_height * m_widthFactor * static_cast<double>(m_text.size());
  AcGeMatrix3d place = AcGeMatrix3d::planeToWorld(m_normal) *
                       AcGeMatrix3d::rotation(m_rotation, AcGeVector3d::kZAxis);
  AcGeVector3d along(1, 0, 0), up(0, 1, 0);
  along.transformBy(place);
  up.transformBy(place);
  extents.addPoint(m_position);
  extents.addPoint(m_position + along * width);
  extents.addPoint(m_position + up * m_height);
  extents.addPoint(m_position + along * width + up * m_height);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbText::subTransformBy(const AcGeMatrix3d& m) {
  assertWriteEnabled();
  AcGeVector3d direction(std::cos(m_rotation), std::sin(m_rotation), 0);
  direction.transformBy(AcGeMatrix3d::planeToWorld(m_normal));
  m_position.transformBy(m);
  m_alignment.transformBy(m);
  direction.transformBy(m);
  AcGeVector3d normal = m_normal;
  normal.transformBy(m);
  m_normal = normal.normal();
  m_height *= m.scale();
  AcGeVector3d ocs = direction;
  ocs.transformBy(AcGeMatrix3d::worldToPlane(m_normal));
  m_rotation = std::atan2(ocs.y, ocs.x);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbText::subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray&,
                                             AcDbIntArray&) const {
  points.append(m_position);
  if (!isDefaultAlignment()) points.append(m_alignment);
  return Acad::eOk;
}

// --- attribute definition -----------------------------------------------------------------

AcDbAttributeDefinition::AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* text,
                                                 const ACHAR* tag, const ACHAR* prompt,
                                                 AcDbObjectId style)
    : AcDbText(position, text, style), m_prompt(prompt ? prompt : L""), m_tag(tag ? tag : L"") {}

// ATTDEF: the text part, then 100 AcDbAttributeDefinition, 3 prompt, 2 tag, 70 flags
// (1 invisible, 2 constant, 4 verify, 8 preset), 73 field length, 74 vertical
// justification.
void AcDbAttributeDefinition::visitFields(FieldVisitor& v) {
  Adesk::Int16 horizontal = static_cast<Adesk::Int16>(m_horizontal),
               vertical = static_cast<Adesk::Int16>(m_vertical);
  Adesk::Int16 fieldLength = 0;
  TextPart{m_position,    m_alignment, m_text,      m_style,      m_height,   m_rotation,
           m_widthFactor, m_oblique,   m_thickness, m_generation, horizontal, m_normal}
      .visit(v);
  v.marker(L"AcDbAttributeDefinition");
  v.text(3, m_prompt);
  v.text(2, m_tag);
  v.int16(70, m_flags);
  v.int16(73, fieldLength);
  v.int16(74, vertical, &kZero16);
  m_horizontal = static_cast<AcDb::TextHorzMode>(horizontal);
  m_vertical = static_cast<AcDb::TextVertMode>(vertical);
}

// ATTRIB: the text part, then 100 AcDbAttribute, 2 tag, 70 flags, 73 field length, 74
// vertical justification.
void AcDbAttribute::visitFields(FieldVisitor& v) {
  Adesk::Int16 horizontal = static_cast<Adesk::Int16>(m_horizontal),
               vertical = static_cast<Adesk::Int16>(m_vertical);
  Adesk::Int16 fieldLength = 0;
  TextPart{m_position,    m_alignment, m_text,      m_style,      m_height,   m_rotation,
           m_widthFactor, m_oblique,   m_thickness, m_generation, horizontal, m_normal}
      .visit(v);
  v.marker(L"AcDbAttribute");
  v.text(2, m_tag);
  v.int16(70, m_flags);
  v.int16(73, fieldLength);
  v.int16(74, vertical, &kZero16);
  m_horizontal = static_cast<AcDb::TextHorzMode>(horizontal);
  m_vertical = static_cast<AcDb::TextVertMode>(vertical);
}

// The visit reads justification through locals, which the DXF reader fills only when
// the visit's reading ends; these two classes therefore read with their own locals.
#define ATTRIBUTE_FILING(CLASS, MARKER, EXTRA)                                                    \
  Acad::ErrorStatus CLASS::dwgOutFields(AcDbDwgFiler* filer) const {                              \
    AcDbEntity::dwgOutFields(filer);                                                              \
    return writeDwgFields(filer,                                                                  \
                          [this](FieldVisitor& v) { const_cast<CLASS*>(this)->visitFields(v); }); \
  }                                                                                               \
  Acad::ErrorStatus CLASS::dwgInFields(AcDbDwgFiler* filer) {                                     \
    Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer);                                    \
    if (status != Acad::eOk) return status;                                                       \
    return readDwgFields(filer, [this](FieldVisitor& v) { visitFields(v); });                     \
  }                                                                                               \
  Acad::ErrorStatus CLASS::dxfOutFields(AcDbDxfFiler* filer) const {                              \
    AcDbEntity::dxfOutFields(filer);                                                              \
    return writeDxfFields(filer,                                                                  \
                          [this](FieldVisitor& v) { const_cast<CLASS*>(this)->visitFields(v); }); \
  }                                                                                               \
  Acad::ErrorStatus CLASS::dxfInFields(AcDbDxfFiler* filer) {                                     \
    Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);                                    \
    if (status != Acad::eOk) return status;                                                       \
    Adesk::Int16 horizontal = 0, vertical = 0, fieldLength = 0;                                   \
    status = readDxfFields(filer, [&](FieldVisitor& v) {                                          \
      TextPart{m_position,    m_alignment, m_text,      m_style,      m_height,   m_rotation,     \
               m_widthFactor, m_oblique,   m_thickness, m_generation, horizontal, m_normal}       \
          .visit(v);                                                                              \
      v.marker(MARKER);                                                                           \
      EXTRA;                                                                                      \
      v.text(2, m_tag);                                                                           \
      v.int16(70, m_flags);                                                                       \
      v.int16(73, fieldLength);                                                                   \
      v.int16(74, vertical);                                                                      \
    });                                                                                           \
    m_horizontal = static_cast<AcDb::TextHorzMode>(horizontal);                                   \
    m_vertical = static_cast<AcDb::TextVertMode>(vertical);                                       \
    return status;                                                                                \
  }

ATTRIBUTE_FILING(AcDbAttributeDefinition, L"AcDbAttributeDefinition", v.text(3, m_prompt))
ATTRIBUTE_FILING(AcDbAttribute, L"AcDbAttribute", (void)0)

ACHAR* AcDbAttributeDefinition::prompt() const { return copyOf(m_prompt); }
Acad::ErrorStatus AcDbAttributeDefinition::setPrompt(const ACHAR* prompt) {
  if (prompt == nullptr) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_prompt = prompt;
  return Acad::eOk;
}
ACHAR* AcDbAttributeDefinition::tag() const { return copyOf(m_tag); }
Acad::ErrorStatus AcDbAttributeDefinition::setTag(const ACHAR* tag) {
  if (tag == nullptr || tag[0] == 0 || std::wcschr(tag, L' ') != nullptr)
    return Acad::eInvalidInput;
  assertWriteEnabled();
  m_tag = tag;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbAttributeDefinition::setInvisible(bool value) {
  assertWriteEnabled();
  m_flags = static_cast<Adesk::Int16>(value ? (m_flags | 1) : (m_flags & ~1));
  return Acad::eOk;
}
Acad::ErrorStatus AcDbAttributeDefinition::setConstant(bool value) {
  assertWriteEnabled();
  m_flags = static_cast<Adesk::Int16>(value ? (m_flags | 2) : (m_flags & ~2));
  return Acad::eOk;
}
Acad::ErrorStatus AcDbAttributeDefinition::setPreset(bool value) {
  assertWriteEnabled();
  m_flags = static_cast<Adesk::Int16>(value ? (m_flags | 8) : (m_flags & ~8));
  return Acad::eOk;
}

// A definition shows its tag; only a constant one shows in references (as its text).
Adesk::Boolean AcDbAttributeDefinition::subWorldDraw(AcGiWorldDraw* mode) {
  if (isInvisible()) return Adesk::kTrue;
  std::wstring text = m_text;
  m_text = m_tag;
  AcDbText::subWorldDraw(mode);
  m_text = text;
  return Adesk::kTrue;
}

AcDbAttribute::AcDbAttribute(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                             AcDbObjectId style)
    : AcDbText(position, text, style), m_tag(tag ? tag : L"") {}

ACHAR* AcDbAttribute::tag() const { return copyOf(m_tag); }
Acad::ErrorStatus AcDbAttribute::setTag(const ACHAR* tag) {
  if (tag == nullptr || tag[0] == 0 || std::wcschr(tag, L' ') != nullptr)
    return Acad::eInvalidInput;
  assertWriteEnabled();
  m_tag = tag;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbAttribute::setInvisible(bool value) {
  assertWriteEnabled();
  m_flags = static_cast<Adesk::Int16>(value ? (m_flags | 1) : (m_flags & ~1));
  return Acad::eOk;
}

Acad::ErrorStatus AcDbAttribute::setAttributeFromBlock(const AcDbAttributeDefinition* definition,
                                                       const AcGeMatrix3d& blockTransform) {
  if (definition == nullptr) return Acad::eNullObjectPointer;
  assertWriteEnabled();
  m_position = definition->position();
  m_alignment = definition->alignmentPoint();
  m_text = definition->textStringConst();
  m_style = definition->textStyle();
  m_height = definition->height();
  m_rotation = definition->rotation();
  m_widthFactor = definition->widthFactor();
  m_oblique = definition->oblique();
  m_horizontal = definition->horizontalMode();
  m_vertical = definition->verticalMode();
  m_normal = definition->normal();
  m_tag = definition->tagConst();
  m_flags = static_cast<Adesk::Int16>((definition->isInvisible() ? 1 : 0) |
                                      (definition->isConstant() ? 2 : 0));
  return transformBy(blockTransform);
}

Adesk::Boolean AcDbAttribute::subWorldDraw(AcGiWorldDraw* mode) {
  if (isInvisible()) return Adesk::kTrue;
  return AcDbText::subWorldDraw(mode);
}
