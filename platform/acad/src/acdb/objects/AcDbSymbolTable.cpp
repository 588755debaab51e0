// Symbol tables, their iterators, and the record classes other than blocks.
#include <algorithm>
#include <cmath>
#include <cwchar>
#include <cwctype>
#include <numbers>

#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/DxfGroups.h"
#include "dbsymtb.h"
#include "tabrik/DrawingFiling.h"
#include "rxboiler.h"
#include "rxdict.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSymbolTableRecord, AcDbObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSymbolTable, AcDbObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbBlockTable, AcDbSymbolTable)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbLayerTable, AcDbSymbolTable)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbLinetypeTable, AcDbSymbolTable)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbTextStyleTable, AcDbSymbolTable)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbRegAppTable, AcDbSymbolTable)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbViewportTable, AcDbSymbolTable)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbViewTable, AcDbSymbolTable)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbUCSTable, AcDbSymbolTable)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDimStyleTable, AcDbSymbolTable)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbLayerTableRecord, AcDbSymbolTableRecord)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbLinetypeTableRecord, AcDbSymbolTableRecord)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbTextStyleTableRecord, AcDbSymbolTableRecord)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbRegAppTableRecord, AcDbSymbolTableRecord)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbViewportTableRecord, AcDbSymbolTableRecord)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbViewTableRecord, AcDbSymbolTableRecord)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbUCSTableRecord, AcDbSymbolTableRecord)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDimStyleTableRecord, AcDbSymbolTableRecord)

namespace {

ACHAR* copyOf(const std::wstring& text) {
  auto* copy = new ACHAR[text.size() + 1];
  std::wmemcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// The key of a name in a table's index: two names are the same record's exactly when
// their keys are equal (character by character in lower case, as wcscasecmp compares).
std::wstring foldedName(const ACHAR* name) {
  std::wstring key = name;
  for (wchar_t& c : key) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return key;
}

bool isValidSymbolName(const ACHAR* name) {
  if (name == nullptr || name[0] == 0) return false;
  if (std::wcslen(name) > 255) return false;
  for (const ACHAR* c = name; *c; ++c)
    if (std::wcschr(L"<>/\\\":;?*|,=`", *c) != nullptr || *c < 32) return false;
  return true;
}

// The record behind an id without going through the open protocol (names are read
// while records may be open elsewhere).
const AcDbSymbolTableRecord* peekRecord(const AcDbObjectId& id) {
  return id.isValid() ? AcDbSymbolTableRecord::cast(id.stub()->object) : nullptr;
}

}  // namespace

// --- records ------------------------------------------------------------------------

Acad::ErrorStatus AcDbSymbolTableRecord::getName(ACHAR*& name) const {
  name = copyOf(m_name);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::getName(const ACHAR*& name) const {
  name = m_name.c_str();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::setName(const ACHAR* name) {
  // "*Model_Space", "*Paper_Space" and anonymous "*U" blocks start with a star, which
  // only block names may.
  bool blockName = isKindOf(AcDbBlockTableRecord::desc()) && name != nullptr && name[0] == L'*';
  bool activeViewport =
      isKindOf(AcDbViewportTableRecord::desc()) && name != nullptr && name[0] == L'*';
  if (!blockName && !activeViewport && !isValidSymbolName(name))
    return Acad::eInvalidSymbolTableName;
  if (name == nullptr || name[0] == 0) return Acad::eInvalidSymbolTableName;
  const AcDbSymbolTable* table = this->table();
  if (table == nullptr && ownerId().isValid())
    table = AcDbSymbolTable::cast(ownerId().stub()->object);  // not added yet
  if (table != nullptr && table->find(name, /*getErased=*/false, table->positionOf(this)) >= 0)
    return Acad::eDuplicateRecordName;
  assertWriteEnabled();
  assignName(name);
  return Acad::eOk;
}

AcDbSymbolTable* AcDbSymbolTableRecord::table() const {
  return m_tableId.isValid() ? AcDbSymbolTable::cast(m_tableId.stub()->object) : nullptr;
}

void AcDbSymbolTableRecord::assignName(std::wstring name) {
  if (name == m_name) return;
  std::wstring old = std::move(m_name);
  m_name = std::move(name);
  AcDbSymbolTable* table = this->table();
  int position = table != nullptr ? table->positionOf(this) : -1;
  if (position < 0) return;
  table->unindexAt(position, old);
  table->indexAt(position, m_name);
}

Acad::ErrorStatus AcDbSymbolTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbObject::dwgOutFields(filer);
  filer->writeString(m_name);
  filer->writeInt16(m_flags);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTableRecord::dwgInFields(AcDbDwgFiler* filer) {
  AcDbObject::dwgInFields(filer);
  std::wstring name;
  filer->readString(name);
  assignName(std::move(name));
  filer->readInt16(&m_flags);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbObject::dxfOutFields(filer);
  filer->writeString(100, L"AcDbSymbolTableRecord");
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTableRecord::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  return requireSubclass(filer, L"AcDbSymbolTableRecord");
}

// The part all record classes share after their own marker: name and flags.
static void writeNameAndFlags(AcDbDxfFiler* filer, const std::wstring& name, Adesk::Int16 flags) {
  filer->writeString(2, name);
  filer->writeInt16(70, flags);
}

Acad::ErrorStatus AcDbRegAppTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbSymbolTableRecord::dxfOutFields(filer);
  filer->writeString(100, L"AcDbRegAppTableRecord");
  writeNameAndFlags(filer, name(), m_flags);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbRegAppTableRecord::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbRegAppTableRecord");
  if (status != Acad::eOk) return status;
  return forEachGroup(filer, [&](const resbuf& rb) {
    if (rb.restype == 2) assignName(stringOf(rb));
    if (rb.restype == 70) m_flags = rb.resval.rint;
  });
}

// --- layer ---------------------------------------------------------------------------

AcDbLayerTableRecord::AcDbLayerTableRecord() { m_color.setColorIndex(7); }

void AcDbLayerTableRecord::setColor(const AcCmColor& color) {
  assertWriteEnabled();
  m_color = color;
}
void AcDbLayerTableRecord::setLinetypeObjectId(AcDbObjectId id) {
  assertWriteEnabled();
  m_linetype = id;
}
Acad::ErrorStatus AcDbLayerTableRecord::setLineWeight(AcDb::LineWeight weight) {
  assertWriteEnabled();
  m_lineWeight = weight;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLayerTableRecord::setIsPlottable(bool plottable) {
  assertWriteEnabled();
  m_plottable = plottable;
  return Acad::eOk;
}
ACHAR* AcDbLayerTableRecord::plotStyleName() const { return copyOf(m_plotStyleName); }
Acad::ErrorStatus AcDbLayerTableRecord::setPlotStyleName(const ACHAR* name) {
  if (name == nullptr) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_plotStyleName = name;
  return Acad::eOk;
}
void AcDbLayerTableRecord::setIsOff(bool off) {
  assertWriteEnabled();
  m_off = off;
}
Acad::ErrorStatus AcDbLayerTableRecord::setIsFrozen(bool frozen) {
  assertWriteEnabled();
  m_flags = static_cast<Adesk::Int16>(frozen ? (m_flags | 1) : (m_flags & ~1));
  return Acad::eOk;
}
void AcDbLayerTableRecord::setIsLocked(bool locked) {
  assertWriteEnabled();
  m_flags = static_cast<Adesk::Int16>(locked ? (m_flags | 4) : (m_flags & ~4));
}
void AcDbLayerTableRecord::setVPDFLT(bool frozen) {
  assertWriteEnabled();
  m_flags = static_cast<Adesk::Int16>(frozen ? (m_flags | 2) : (m_flags & ~2));
}

Acad::ErrorStatus AcDbLayerTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbSymbolTableRecord::dwgOutFields(filer);
  filer->writeInt16(static_cast<Adesk::Int16>(m_color.colorMethod()));
  filer->writeUInt16(m_color.colorIndex());
  filer->writeUInt32(m_color.rgb());
  filer->writeHardPointerId(m_linetype);
  filer->writeInt16(static_cast<Adesk::Int16>(m_lineWeight));
  filer->writeBool(m_plottable);
  filer->writeBool(m_off);
  filer->writeString(m_plotStyleName);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbLayerTableRecord::dwgInFields(AcDbDwgFiler* filer) {
  AcDbSymbolTableRecord::dwgInFields(filer);
  Adesk::Int16 method = 0, weight = 0;
  Adesk::UInt16 index = 0;
  Adesk::UInt32 rgb = 0;
  filer->readInt16(&method);
  filer->readUInt16(&index);
  filer->readUInt32(&rgb);
  if (method == AcCmEntityColor::kByColor)
    m_color.setRGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  else
    m_color.setColorIndex(index);
  AcDbHardPointerId linetype;
  filer->readHardPointerId(&linetype);
  m_linetype = linetype;
  filer->readInt16(&weight);
  m_lineWeight = static_cast<AcDb::LineWeight>(weight);
  filer->readBool(&m_plottable);
  filer->readBool(&m_off);
  filer->readString(m_plotStyleName);
  return filer->filerStatus();
}

// LAYER groups: 2 name, 70 flags (1 frozen, 2 frozen in new viewports, 4 locked), 62
// colour (negative when the layer is off), 420 true colour, 6 linetype name, 290
// plotting flag, 370 lineweight, 390 the plot style name's placeholder in
// ACAD_PLOTSTYLENAME ("Normal" for a layer that names none; completeDrawing gives every
// name a placeholder before a save). On reading, 390 is kept as the pending placeholder
// until the drawing is complete: that dictionary comes later in the file.
Acad::ErrorStatus AcDbLayerTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbSymbolTableRecord::dxfOutFields(filer);
  filer->writeString(100, L"AcDbLayerTableRecord");
  writeNameAndFlags(filer, name(), m_flags);
  int index = m_color.colorIndex();
  if (index < 1 || index > 255) index = 7;
  filer->writeInt16(62, static_cast<Adesk::Int16>(m_off ? -index : index));
  if (m_color.isByColor()) filer->writeInt32(420, static_cast<Adesk::Int32>(m_color.rgb()));
  const AcDbSymbolTableRecord* linetype = peekRecord(m_linetype);
  filer->writeString(6, linetype ? linetype->name() : std::wstring(L"Continuous"));
  if (!m_plottable) filer->writeInt16(290, 0);
  filer->writeInt16(370, static_cast<Adesk::Int16>(m_lineWeight));
  AcDbObjectId plotStyle = tabrik::acad::plotStyleNameId(database(), m_plotStyleName);
  if (tabrik::acad::isFiled(filer, plotStyle)) filer->writeObjectId(390, plotStyle);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbLayerTableRecord::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbLayerTableRecord");
  if (status != Acad::eOk) return status;
  AcDbDatabase* db = filer->database();
  return forEachGroup(filer, [&](const resbuf& rb) {
    switch (rb.restype) {
      case 2:
        assignName(stringOf(rb));
        break;
      case 70:
        m_flags = rb.resval.rint;
        break;
      case 62:
        m_off = rb.resval.rint < 0;
        if (!m_color.isByColor())
          m_color.setColorIndex(static_cast<Adesk::UInt16>(std::abs(rb.resval.rint)));
        break;
      case 420: {
        auto rgb = static_cast<std::uint32_t>(rb.resval.rlong);
        m_color.setRGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
        break;
      }
      case 6: {
        AcDbLinetypeTable* table = nullptr;
        if (db != nullptr && db->getLinetypeTable(table) == Acad::eOk) {
          table->getAt(stringOf(rb).c_str(), m_linetype);
          table->close();
        }
        break;
      }
      case 290:
        m_plottable = rb.resval.rint != 0;
        break;
      case 370:
        m_lineWeight = static_cast<AcDb::LineWeight>(rb.resval.rint);
        break;
      case 390: {
        AcDbObjectId placeholder = filer->idOf(rb);
        if (!placeholder.isNull())
          m_plotStyleName = tabrik::acad::pendingPlotStyleName(placeholder);
        break;
      }
      default:
        break;
    }
  });
}

// --- linetype -----------------------------------------------------------------------

Acad::ErrorStatus AcDbLinetypeTableRecord::comments(ACHAR*& text) const {
  text = copyOf(m_comments);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLinetypeTableRecord::comments(const ACHAR*& text) const {
  text = m_comments.c_str();
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLinetypeTableRecord::setComments(const ACHAR* text) {
  if (text == nullptr) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_comments = text;
  return Acad::eOk;
}
double AcDbLinetypeTableRecord::patternLength() const { return m_patternLength; }
void AcDbLinetypeTableRecord::setPatternLength(double length) {
  assertWriteEnabled();
  m_patternLength = length;
}
void AcDbLinetypeTableRecord::setNumDashes(int count) {
  assertWriteEnabled();
  m_dashes.resize(std::clamp(count, 0, 12));
}
double AcDbLinetypeTableRecord::dashLengthAt(int index) const {
  return index >= 0 && index < numDashes() ? m_dashes[index] : 0.0;
}
void AcDbLinetypeTableRecord::setDashLengthAt(int index, double length) {
  if (index < 0 || index >= numDashes()) return;
  assertWriteEnabled();
  m_dashes[index] = length;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbSymbolTableRecord::dwgOutFields(filer);
  filer->writeString(m_comments);
  filer->writeDouble(m_patternLength);
  filer->writeInt32(static_cast<Adesk::Int32>(m_dashes.size()));
  for (double d : m_dashes) filer->writeDouble(d);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbLinetypeTableRecord::dwgInFields(AcDbDwgFiler* filer) {
  AcDbSymbolTableRecord::dwgInFields(filer);
  filer->readString(m_comments);
  filer->readDouble(&m_patternLength);
  Adesk::Int32 count = 0;
  filer->readInt32(&count);
  if (count < 0 || count > 12) return Acad::eFilerError;
  m_dashes.assign(count, 0.0);
  for (double& d : m_dashes) filer->readDouble(&d);
  return filer->filerStatus();
}

// LTYPE groups: 2 name, 70 flags, 3 description, 72 alignment (always 65, 'A'), 73
// dash count, 40 pattern length, then per dash 49 length (negative: a gap) and 74
// element type (0: a plain dash).
Acad::ErrorStatus AcDbLinetypeTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbSymbolTableRecord::dxfOutFields(filer);
  filer->writeString(100, L"AcDbLinetypeTableRecord");
  writeNameAndFlags(filer, name(), m_flags);
  filer->writeString(3, m_comments);
  filer->writeInt16(72, 65);
  filer->writeInt16(73, static_cast<Adesk::Int16>(m_dashes.size()));
  filer->writeDouble(40, m_patternLength);
  for (double d : m_dashes) {
    filer->writeDouble(49, d);
    filer->writeInt16(74, 0);
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbLinetypeTableRecord::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbLinetypeTableRecord");
  if (status != Acad::eOk) return status;
  m_dashes.clear();
  return forEachGroup(filer, [&](const resbuf& rb) {
    switch (rb.restype) {
      case 2:
        assignName(stringOf(rb));
        break;
      case 70:
        m_flags = rb.resval.rint;
        break;
      case 3:
        m_comments = stringOf(rb);
        break;
      case 40:
        m_patternLength = rb.resval.rreal;
        break;
      case 49:
        if (m_dashes.size() < 12) m_dashes.push_back(rb.resval.rreal);
        break;
      default:
        break;
    }
  });
}

// --- text style ---------------------------------------------------------------------

Acad::ErrorStatus AcDbTextStyleTableRecord::fileName(ACHAR*& name) const {
  name = copyOf(m_fileName);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::fileName(const ACHAR*& name) const {
  name = m_fileName.c_str();
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setFileName(const ACHAR* name) {
  if (name == nullptr) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_fileName = name;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::bigFontFileName(ACHAR*& name) const {
  name = copyOf(m_bigFont);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setBigFontFileName(const ACHAR* name) {
  if (name == nullptr) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_bigFont = name;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setTextSize(double size) {
  if (!(size >= 0)) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_textSize = size;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setXScale(double scale) {
  if (!(scale > 0)) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_xScale = scale;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setObliquingAngle(double angle) {
  assertWriteEnabled();
  m_oblique = angle;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setPriorSize(double size) {
  if (!(size > 0)) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_priorSize = size;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbSymbolTableRecord::dwgOutFields(filer);
  filer->writeString(m_fileName);
  filer->writeString(m_bigFont);
  filer->writeDouble(m_textSize);
  filer->writeDouble(m_xScale);
  filer->writeDouble(m_oblique);
  filer->writeDouble(m_priorSize);
  filer->writeInt16(m_generation);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dwgInFields(AcDbDwgFiler* filer) {
  AcDbSymbolTableRecord::dwgInFields(filer);
  filer->readString(m_fileName);
  filer->readString(m_bigFont);
  filer->readDouble(&m_textSize);
  filer->readDouble(&m_xScale);
  filer->readDouble(&m_oblique);
  filer->readDouble(&m_priorSize);
  filer->readInt16(&m_generation);
  return filer->filerStatus();
}

// STYLE groups: 2, 70, 40 fixed height, 41 width factor, 50 oblique angle (degrees),
// 71 generation flags, 42 last height used, 3 font file, 4 big font file.
Acad::ErrorStatus AcDbTextStyleTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbSymbolTableRecord::dxfOutFields(filer);
  filer->writeString(100, L"AcDbTextStyleTableRecord");
  writeNameAndFlags(filer, name(), m_flags);
  filer->writeDouble(40, m_textSize);
  filer->writeDouble(41, m_xScale);
  filer->writeDouble(50, m_oblique * 180.0 / std::numbers::pi);
  filer->writeInt16(71, m_generation);
  filer->writeDouble(42, m_priorSize);
  filer->writeString(3, m_fileName);
  filer->writeString(4, m_bigFont);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbTextStyleTableRecord");
  if (status != Acad::eOk) return status;
  return forEachGroup(filer, [&](const resbuf& rb) {
    switch (rb.restype) {
      case 2:
        assignName(stringOf(rb));
        break;
      case 70:
        m_flags = rb.resval.rint;
        break;
      case 40:
        m_textSize = rb.resval.rreal;
        break;
      case 41:
        m_xScale = rb.resval.rreal;
        break;
      case 50:
        m_oblique = rb.resval.rreal * std::numbers::pi / 180.0;
        break;
      case 71:
        m_generation = rb.resval.rint;
        break;
      case 42:
        m_priorSize = rb.resval.rreal;
        break;
      case 3:
        m_fileName = stringOf(rb);
        break;
      case 4:
        m_bigFont = stringOf(rb);
        break;
      default:
        break;
    }
  });
}

// --- viewport configuration -----------------------------------------------------------

void AcDbViewportTableRecord::setCenterPoint(const AcGePoint2d& center) {
  assertWriteEnabled();
  m_center = center;
}
void AcDbViewportTableRecord::setHeight(double height) {
  if (!(height > 0)) return;
  assertWriteEnabled();
  m_height = height;
}

Acad::ErrorStatus AcDbViewportTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbSymbolTableRecord::dwgOutFields(filer);
  filer->writePoint2d(m_center);
  filer->writeDouble(m_height);
  filer->writeDouble(m_aspect);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbViewportTableRecord::dwgInFields(AcDbDwgFiler* filer) {
  AcDbSymbolTableRecord::dwgInFields(filer);
  filer->readPoint2d(&m_center);
  filer->readDouble(&m_height);
  filer->readDouble(&m_aspect);
  return filer->filerStatus();
}

// VPORT groups as R2000 writes them for the "*Active" configuration: window corners
// 10/11, view centre 12, snap base 13, snap and grid spacing 14/15, view direction 16,
// target 17, view height 40, aspect 41, lens 42, clipping 43/44, twist and snap angles
// 50/51, view mode and other switches 71-78, 281, 65, UCS 110/111/112, 79, 146.
Acad::ErrorStatus AcDbViewportTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbSymbolTableRecord::dxfOutFields(filer);
  filer->writeString(100, L"AcDbViewportTableRecord");
  writeNameAndFlags(filer, name(), m_flags);
  filer->writePoint2d(10, AcGePoint2d(0, 0));
  filer->writePoint2d(11, AcGePoint2d(1, 1));
  filer->writePoint2d(12, m_center);
  filer->writePoint2d(13, AcGePoint2d(0, 0));
  filer->writePoint2d(14, AcGePoint2d(10, 10));
  filer->writePoint2d(15, AcGePoint2d(10, 10));
  filer->writePoint3d(16, AcGePoint3d(0, 0, 1));
  filer->writePoint3d(17, AcGePoint3d(0, 0, 0));
  filer->writeDouble(40, m_height);
  filer->writeDouble(41, m_aspect);
  filer->writeDouble(42, 50.0);
  filer->writeDouble(43, 0.0);
  filer->writeDouble(44, 0.0);
  filer->writeDouble(50, 0.0);
  filer->writeDouble(51, 0.0);
  const Adesk::Int16 switches[][2] = {{71, 0}, {72, 1000}, {73, 1}, {74, 3},
                                      {75, 0}, {76, 0},    {77, 0}, {78, 0}};
  for (const auto& s : switches) filer->writeInt16(s[0], s[1]);
  filer->writeInt16(281, 0);
  filer->writeInt16(65, 1);
  filer->writePoint3d(110, AcGePoint3d(0, 0, 0));
  filer->writePoint3d(111, AcGePoint3d(1, 0, 0));
  filer->writePoint3d(112, AcGePoint3d(0, 1, 0));
  filer->writeInt16(79, 0);
  filer->writeDouble(146, 0.0);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbViewportTableRecord::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbViewportTableRecord");
  if (status != Acad::eOk) return status;
  return forEachGroup(filer, [&](const resbuf& rb) {
    switch (rb.restype) {
      case 2:
        assignName(stringOf(rb));
        break;
      case 70:
        m_flags = rb.resval.rint;
        break;
      case 12:
        m_center = AcGePoint2d(rb.resval.rpoint[0], rb.resval.rpoint[1]);
        break;
      case 40:
        if (rb.resval.rreal > 0) m_height = rb.resval.rreal;
        break;
      case 41:
        if (rb.resval.rreal > 0) m_aspect = rb.resval.rreal;
        break;
      default:
        break;
    }
  });
}

// --- dimension style ----------------------------------------------------------------

void AcDbDimStyleTableRecord::setDimtxsty(AcDbObjectId styleId) {
  assertWriteEnabled();
  m_textStyle = styleId;
}

Acad::ErrorStatus AcDbDimStyleTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbSymbolTableRecord::dwgOutFields(filer);
  filer->writeHardPointerId(m_textStyle);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbDimStyleTableRecord::dwgInFields(AcDbDwgFiler* filer) {
  AcDbSymbolTableRecord::dwgInFields(filer);
  AcDbHardPointerId style;
  filer->readHardPointerId(&style);
  m_textStyle = style;
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbDimStyleTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbSymbolTableRecord::dxfOutFields(filer);
  filer->writeString(100, L"AcDbDimStyleTableRecord");
  writeNameAndFlags(filer, name(), m_flags);
  filer->writeObjectId(340, m_textStyle);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbDimStyleTableRecord::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbDimStyleTableRecord");
  if (status != Acad::eOk) return status;
  return forEachGroup(filer, [&](const resbuf& rb) {
    if (rb.restype == 2) assignName(stringOf(rb));
    if (rb.restype == 70) m_flags = rb.resval.rint;
    if (rb.restype == 340) m_textStyle = filer->idOf(rb);
  });
}

// --- tables ----------------------------------------------------------------------------

Acad::ErrorStatus AcDbSymbolTable::getAt(const ACHAR* name, AcDbObjectId& id,
                                         bool getErased) const {
  id.setNull();
  if (name == nullptr) return Acad::eInvalidInput;
  int position = find(name, getErased);
  if (position < 0) return Acad::eKeyNotFound;
  id = m_records[position];
  return Acad::eOk;
}

int AcDbSymbolTable::find(const ACHAR* name, bool getErased, int except) const {
  auto found = m_byName.find(foldedName(name));
  if (found == m_byName.end()) return -1;
  for (int position : found->second) {
    if (position == except || position >= m_records.length()) continue;
    const AcDbSymbolTableRecord* record = peekRecord(m_records[position]);
    if (record == nullptr || (record->isErased() && !getErased)) continue;
    return position;
  }
  return -1;
}

int AcDbSymbolTable::positionOf(const AcDbSymbolTableRecord* record) const {
  int position = record->m_tablePosition;
  if (record->m_tableId != objectId() || position < 0 || position >= m_records.length()) return -1;
  const AcDbObjectId& id = m_records[position];
  return id.isValid() && id.stub()->object == record ? position : -1;
}

void AcDbSymbolTable::indexAt(int position, const std::wstring& name) {
  std::vector<int>& positions = m_byName[foldedName(name.c_str())];
  positions.insert(std::lower_bound(positions.begin(), positions.end(), position), position);
}

void AcDbSymbolTable::unindexAt(int position, const std::wstring& name) {
  auto found = m_byName.find(foldedName(name.c_str()));
  if (found == m_byName.end()) return;
  std::vector<int>& positions = found->second;
  auto at = std::lower_bound(positions.begin(), positions.end(), position);
  if (at != positions.end() && *at == position) positions.erase(at);
  if (positions.empty()) m_byName.erase(found);
}

void AcDbSymbolTable::appendRecord(AcDbObjectId id) {
  auto* record = AcDbSymbolTableRecord::cast(id.isValid() ? id.stub()->object : nullptr);
  if (record != nullptr && positionOf(record) >= 0) return;
  if (record == nullptr && m_records.contains(id)) return;  // defensive: not a record
  m_records.append(id);
  if (record == nullptr) return;
  record->m_tableId = objectId();
  record->m_tablePosition = m_records.length() - 1;
  indexAt(record->m_tablePosition, record->name());
}

void AcDbSymbolTable::rebuildIndex() {
  m_byName.clear();
  for (int position = 0; position < m_records.length(); ++position) {
    auto* record = AcDbSymbolTableRecord::cast(
        m_records[position].isValid() ? m_records[position].stub()->object : nullptr);
    if (record == nullptr) continue;
    record->m_tableId = objectId();
    record->m_tablePosition = position;
    m_byName[foldedName(record->name().c_str())].push_back(position);
  }
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const ACHAR* name, AcDbSymbolTableRecord*& record,
                                         AcDb::OpenMode mode, bool openErased) const {
  record = nullptr;
  AcDbObjectId id;
  Acad::ErrorStatus status = getAt(name, id, openErased);
  if (status != Acad::eOk) return status;
  return acdbOpenObject(record, id, mode, openErased);
}

bool AcDbSymbolTable::has(const ACHAR* name) const {
  AcDbObjectId id;
  return getAt(name, id) == Acad::eOk;
}

bool AcDbSymbolTable::has(AcDbObjectId id) const {
  if (!id.isValid() || id.isErased()) return false;
  if (const auto* record = AcDbSymbolTableRecord::cast(id.stub()->object))
    return positionOf(record) >= 0;
  return m_records.contains(id);
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbObjectId& id, AcDbSymbolTableRecord* record) {
  if (record == nullptr) return Acad::eNullObjectPointer;
  if (!record->objectId().isNull()) return Acad::eAlreadyInDb;
  if (database() == nullptr) return Acad::eNoDatabase;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (!record->isKindOf(recordClass())) return Acad::eWrongObjectType;
  if (record->name().empty()) return Acad::eInvalidSymbolTableName;
  if (has(record->name().c_str())) return Acad::eDuplicateRecordName;
  assertWriteEnabled();
  Acad::ErrorStatus status = database()->addAcDbObject(id, record);
  if (status != Acad::eOk) return status;
  ObjectState::setOwner(record, objectId());
  appendRecord(id);
  if (auto* block = AcDbBlockTableRecord::cast(record)) frameBlock(block);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::newIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning,
                                               bool skipDeleted) const {
  iterator = new AcDbSymbolTableIterator(m_records, atBeginning, skipDeleted);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbObject::dwgOutFields(filer);
  filer->writeInt32(m_records.length());
  for (const AcDbObjectId& id : m_records) filer->writeSoftOwnershipId(id);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTable::dwgInFields(AcDbDwgFiler* filer) {
  AcDbObject::dwgInFields(filer);
  Adesk::Int32 count = 0;
  filer->readInt32(&count);
  if (count < 0) return Acad::eFilerError;
  m_records.removeAll();
  for (int i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    AcDbSoftOwnershipId id;
    if (filer->readSoftOwnershipId(&id) == Acad::eOk && !id.isNull()) m_records.append(id);
  }
  rebuildIndex();
  return filer->filerStatus();
}

// TABLE heads: 2 (written by the DXF writer before the handle), 5, 330 0, 100
// AcDbSymbolTable, 70 number of records (readers do not trust it); DIMSTYLE adds 100
// AcDbDimStyleTable.
Acad::ErrorStatus AcDbSymbolTable::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbObject::dxfOutFields(filer);
  filer->writeString(100, L"AcDbSymbolTable");
  int live = 0;
  for (const AcDbObjectId& id : m_records)
    if (!id.isErased()) ++live;
  filer->writeInt16(70, static_cast<Adesk::Int16>(live));
  if (isKindOf(AcDbDimStyleTable::desc())) filer->writeString(100, L"AcDbDimStyleTable");
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTable::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  while (filer->atSubclassData(L"AcDbSymbolTable") || filer->atSubclassData(L"AcDbDimStyleTable")) {
    status = forEachGroup(filer, [](const resbuf&) {});
    if (status != Acad::eOk) return status;
  }
  return Acad::eOk;
}

// --- iterator ----------------------------------------------------------------------------

AcDbSymbolTableIterator::AcDbSymbolTableIterator(const AcDbObjectIdArray& ids, bool atBeginning,
                                                 bool skipDeleted)
    : m_ids(ids) {
  start(atBeginning, skipDeleted);
}

void AcDbSymbolTableIterator::start(bool atBeginning, bool skipDeleted) {
  m_index = atBeginning ? 0 : m_ids.length() - 1;
  skip(atBeginning, skipDeleted);
}

void AcDbSymbolTableIterator::skip(bool forward, bool skipDeleted) {
  while (!done() && (!m_ids[m_index].isValid() || (skipDeleted && m_ids[m_index].isErased())))
    m_index += forward ? 1 : -1;
}

void AcDbSymbolTableIterator::step(bool forward, bool skipDeleted) {
  if (done()) return;
  m_index += forward ? 1 : -1;
  skip(forward, skipDeleted);
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecordId(AcDbObjectId& id) const {
  if (done()) return Acad::eInvalidIndex;
  id = m_ids[m_index];
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecord(AcDbSymbolTableRecord*& record,
                                                     AcDb::OpenMode mode, bool openErased) const {
  record = nullptr;
  AcDbObjectId id;
  Acad::ErrorStatus status = getRecordId(id);
  if (status != Acad::eOk) return status;
  return acdbOpenObject(record, id, mode, openErased);
}
