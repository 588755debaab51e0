// Writing a whole drawing as DXF R2000: HEADER, CLASSES, TABLES, BLOCKS, ENTITIES,
// OBJECTS, EOF, in that order. Objects write their own groups (dxfOutFields);
// this file decides which objects go where and in what order, and writes the
// extended data that follows each object's groups.
#include <algorithm>
#include <cwchar>
#include <cstdio>
#include <set>
#include <unordered_set>

#include "DxfFile.h"
#include "DxfOutFiler.h"
#include "DxfText.h"
#include "acutads.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbproxy.h"
#include "dbsymtb.h"
#include "tabrik/DrawingFiling.h"
#include "tabrik/SystemVariables.h"
#include "tabrik/TextConversion.h"

namespace tabrik::dxf {

namespace {

using acad::peekObject;

// Types every R2000 reader knows without a CLASS record.
bool isBuiltInDxfName(const std::wstring& name) {
  static const std::set<std::wstring> kBuiltIn = {L"LINE",
                                                  L"CIRCLE",
                                                  L"ARC",
                                                  L"LWPOLYLINE",
                                                  L"POLYLINE",
                                                  L"VERTEX",
                                                  L"SEQEND",
                                                  L"TEXT",
                                                  L"ATTRIB",
                                                  L"ATTDEF",
                                                  L"MTEXT",
                                                  L"INSERT",
                                                  L"3DFACE",
                                                  L"VIEWPORT",
                                                  L"LEADER",
                                                  L"BLOCK",
                                                  L"ENDBLK",
                                                  L"DICTIONARY",
                                                  L"GROUP",
                                                  L"BLOCK_RECORD",
                                                  L"LAYER",
                                                  L"LTYPE",
                                                  L"STYLE",
                                                  L"APPID",
                                                  L"VPORT",
                                                  L"VIEW",
                                                  L"UCS",
                                                  L"DIMSTYLE",
                                                  L"TABLE",
                                                  L"POINT",
                                                  L"SOLID",
                                                  L"TRACE",
                                                  L"SHAPE",
                                                  L"DIMENSION",
                                                  L"ELLIPSE",
                                                  L"SPLINE",
                                                  L"XLINE",
                                                  L"RAY",
                                                  L"HATCH",
                                                  L"REGION",
                                                  L"3DSOLID",
                                                  L"BODY",
                                                  L"TOLERANCE",
                                                  L"MLINE",
                                                  L"IMAGE",
                                                  L"XRECORD",
                                                  L"ACAD_PROXY_ENTITY",
                                                  L"ACAD_PROXY_OBJECT"};
  return kBuiltIn.count(name) > 0;
}

struct ClassInfo {
  std::wstring dxfName, className, appName;
  int proxyFlags = 0;
  bool isEntity = false;
};

ClassInfo classOf(const AcDbObject* object) {
  if (auto* proxy = AcDbProxyEntity::cast(object))
    return {proxy->originalDxfName(), proxy->originalClassName(), proxy->applicationDescription(),
            proxy->proxyFlags(), true};
  if (auto* proxy = AcDbProxyObject::cast(object))
    return {proxy->originalDxfName(), proxy->originalClassName(), proxy->applicationDescription(),
            proxy->proxyFlags(), false};
  AcRxClass* cls = object->isA();
  return {cls->dxfName(), cls->name(), cls->appName(), cls->proxyFlags(),
          AcDbEntity::cast(object) != nullptr};
}

class DrawingWriter {
 public:
  DrawingWriter(AcDbDatabase* db, std::string& out)
      : m_db(db), m_f(db, out), m_roots(acad::databaseRoots(db)) {}

  // A first pass over the body writes nothing: it finds which objects the file holds
  // (pointers to objects it leaves out are written as 0: a reader could not resolve
  // them, and its file would differ from this one) and which types CLASSES names.
  // The second writes the file from the start, to `file` a chunk at a time when given.
  Acad::ErrorStatus write(std::FILE* file) {
    if (!m_roots.blockTable.isValid() || !m_roots.namedObjects.isValid()) return Acad::eNoDatabase;
    m_discovering = true;
    m_f.setDiscarding(true);
    writeBody();
    m_discovering = false;
    m_f.setDiscarding(false);
    std::unordered_set<const AcDbObject*> filed = std::move(m_written);
    m_written.clear();
    m_f.streamTo(file);
    writeHeader();
    writeClasses();
    m_f.setFiledObjects(&filed);
    writeBody();
    m_f.setFiledObjects(nullptr);
    return m_f.flush() ? Acad::eOk : Acad::eFileAccessErr;
  }

 private:
  void writeBody() {
    writeTables();
    writeBlocks();
    writeEntities();
    writeObjects();
    m_f.group(0, "EOF");
  }

  void section(const char* name) {
    m_f.group(0, "SECTION");
    m_f.group(2, name);
  }
  void endSection() { m_f.group(0, "ENDSEC"); }
  void variable(const char* name) { m_f.group(9, name); }

  static std::wstring nameOf(AcDbObjectId id, const wchar_t* fallback) {
    auto* record = AcDbSymbolTableRecord::cast(peekObject(id));
    return record ? record->name() : fallback;
  }

  void writeHeader() {
    section("HEADER");
    variable("$ACADVER");
    m_f.group(1, "AC1015");
    variable("$ACADMAINTVER");
    m_f.writeInt16(70, 6);
    variable("$DWGCODEPAGE");
    m_f.group(3, "ANSI_1252");
    variable("$INSBASE");
    m_f.writePoint3d(10, m_db->insbase());
    variable("$LTSCALE");
    m_f.writeDouble(40, m_db->ltscale());
    variable("$TEXTSIZE");
    m_f.writeDouble(40, m_db->textsize());
    variable("$CLAYER");
    m_f.writeString(8, nameOf(m_db->clayer(), L"0"));
    variable("$CELTYPE");
    m_f.writeString(6, nameOf(m_db->celtype(), L"ByLayer"));
    variable("$CECOLOR");
    m_f.writeInt16(62, static_cast<Adesk::Int16>(m_db->cecolor().colorIndex()));
    variable("$CELTSCALE");
    m_f.writeDouble(40, m_db->celtscale());
    variable("$TEXTSTYLE");
    m_f.writeString(7, nameOf(m_db->textstyle(), L"Standard"));
    variable("$DIMSCALE");
    m_f.writeDouble(40, m_db->dimscale());
    variable("$INSUNITS");
    m_f.writeInt16(70, static_cast<Adesk::Int16>(m_db->insunits()));
    variable("$MEASUREMENT");
    m_f.writeInt16(70, m_db->measurement() ? 1 : 0);
    writeDrawingVariables();
    variable("$HANDSEED");
    m_f.writeAcDbHandle(5, m_db->handseed());
    endSection();
  }

  // The drawing's variables that the database keeps in no member of its own, each
  // under its $ name and group code.
  void writeDrawingVariables() {
    for (const acad::SystemVariable& entry : acad::systemVariables()) {
      if (entry.home != acad::VariableHome::Drawing || entry.dxfCode == 0 ||
          acad::isHeaderMember(entry.name))
        continue;
      acad::VariableValue value = acad::drawingVariable(m_db, entry);
      std::string name = std::string("$") + entry.name;
      variable(name.c_str());
      switch (entry.type) {
        case acad::VariableType::Int:
          if (entry.dxfCode == 290 || (entry.dxfCode >= 280 && entry.dxfCode < 290))
            m_f.writeInt8(entry.dxfCode, static_cast<Adesk::Int8>(value.integer));
          else
            m_f.writeInt16(entry.dxfCode, static_cast<Adesk::Int16>(value.integer));
          break;
        case acad::VariableType::Real:
          m_f.writeDouble(entry.dxfCode, value.real);
          break;
        case acad::VariableType::Str:
          m_f.writeString(entry.dxfCode, value.text);
          break;
        case acad::VariableType::Pt2:
          m_f.writePoint2d(entry.dxfCode, AcGePoint2d(value.point[0], value.point[1]));
          break;
        case acad::VariableType::Pt3:
          m_f.writePoint3d(entry.dxfCode,
                           AcGePoint3d(value.point[0], value.point[1], value.point[2]));
          break;
      }
    }
  }

  // One CLASS per type that is not built in, in the order the types first occur in
  // the file.
  void writeClasses() {
    section("CLASSES");
    for (const ClassInfo& info : m_classes) {
      m_f.group(0, "CLASS");
      m_f.writeString(1, info.dxfName);
      m_f.writeString(2, info.className);
      m_f.writeString(3, info.appName);
      m_f.writeInt32(90, info.proxyFlags);
      m_f.writeInt16(280, 0);
      m_f.writeInt16(281, info.isEntity ? 1 : 0);
    }
    endSection();
  }

  void writeObject(const AcDbObject* object) {
    if (!m_written.insert(object).second) return;
    ClassInfo info = classOf(object);
    if (m_discovering) {
      if (!info.dxfName.empty() && !isBuiltInDxfName(info.dxfName) &&
          m_classNames.insert(info.dxfName).second)
        m_classes.push_back(info);
      return;
    }
    m_f.writeString(0, info.dxfName);
    object->dxfOutFields(&m_f);
    writeXData(object);
  }

  void writeXData(const AcDbObject* object) {
    resbuf* chain = object->xData(nullptr);
    for (resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
      int code = rb->restype;
      if ((code >= 1000 && code <= 1003) || (code >= 1005 && code <= 1009)) {
        m_f.writeString(code, rb->resval.rstring ? rb->resval.rstring : L"");
      } else if (code == 1004) {
        m_f.writeBinaryChunk(code, rb->resval.rbinary);
      } else if (code >= 1010 && code <= 1013) {
        m_f.writePoint3d(
            code, AcGePoint3d(rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]));
      } else if (code >= 1040 && code <= 1042) {
        m_f.writeDouble(code, rb->resval.rreal);
      } else if (code == 1070) {
        m_f.writeInt16(code, rb->resval.rint);
      } else if (code == 1071) {
        m_f.writeInt32(code, rb->resval.rlong);
      }
    }
    acutRelRb(chain);
  }

  void writeTables() {
    section("TABLES");
    const AcDbObjectId tables[] = {
        m_roots.viewportTable,  m_roots.linetypeTable, m_roots.layerTable,
        m_roots.textStyleTable, m_roots.viewTable,     m_roots.ucsTable,
        m_roots.regAppTable,    m_roots.dimStyleTable, m_roots.blockTable};
    for (const AcDbObjectId& tableId : tables) {
      auto* table = AcDbSymbolTable::cast(peekObject(tableId));
      if (table == nullptr) continue;
      m_f.group(0, "TABLE");
      m_f.writeString(2, table->isA()->dxfName());
      table->dxfOutFields(&m_f);
      writeXData(table);
      m_written.insert(table);
      for (const AcDbObjectId& id : table->recordIds()) {
        const AcDbObject* record = peekObject(id);
        if (record != nullptr && !record->isErased()) writeObject(record);
      }
      m_f.group(0, "ENDTAB");
    }
    endSection();
  }

  // An entity with what it owns: an INSERT's attributes, a POLYLINE's vertices, and
  // their SEQEND.
  void writeEntity(const AcDbEntity* entity) {
    if (entity == nullptr || entity->isErased()) return;
    // A block's frame and a SEQEND are written where they belong, never as contents.
    if (AcDbBlockBegin::cast(entity) || AcDbBlockEnd::cast(entity) || AcDbSequenceEnd::cast(entity))
      return;
    std::vector<const AcDbObject*> subs;
    for (const AcDbObjectId& id : acad::subEntityIds(entity)) {
      const AcDbObject* sub = peekObject(id);
      if (sub != nullptr && !sub->isErased()) subs.push_back(sub);
    }
    bool polyline = AcDb2dPolyline::cast(entity) != nullptr;
    const AcDbObject* end = peekObject(acad::sequenceEndId(entity));
    // completeDrawing gives every POLYLINE, and every INSERT with attributes, its SEQEND.
    writeObject(entity);
    for (const AcDbObject* sub : subs) writeObject(sub);
    if ((polyline || !subs.empty()) && end != nullptr) writeObject(end);
  }

  void writeBlockEntities(const AcDbBlockTableRecord* block) {
    for (const AcDbObjectId& id : block->entityIds()) writeEntity(AcDbEntity::cast(peekObject(id)));
  }

  void writeBlocks() {
    section("BLOCKS");
    auto* blocks = AcDbSymbolTable::cast(peekObject(m_roots.blockTable));
    for (const AcDbObjectId& id : blocks->recordIds()) {
      auto* block = AcDbBlockTableRecord::cast(peekObject(id));
      if (block == nullptr || block->isErased()) continue;
      const AcDbObject* begin = peekObject(block->blockBeginId());
      const AcDbObject* end = peekObject(block->blockEndId());
      if (begin == nullptr || end == nullptr) continue;  // completeDrawing frames every block
      writeObject(begin);
      if (!isLayoutBlock(block)) writeBlockEntities(block);
      writeObject(end);
    }
    endSection();
  }

  bool isLayoutBlock(const AcDbBlockTableRecord* block) const {
    return block->objectId() == m_db->modelSpaceId() || block->objectId() == m_db->paperSpaceId();
  }

  void writeEntities() {
    section("ENTITIES");
    for (AcDbObjectId space : {m_db->modelSpaceId(), m_db->paperSpaceId()})
      if (auto* block = AcDbBlockTableRecord::cast(peekObject(space))) writeBlockEntities(block);
    endSection();
  }

  // The root dictionary first, then every dictionary's entries depth first, then
  // whatever other objects the drawing holds (extension dictionaries and their
  // contents), in handle order.
  void writeObjects() {
    section("OBJECTS");
    writeDictionaryTree(peekObject(m_roots.namedObjects));
    for (const AcDbObjectId& id : acad::objectIds(m_db)) {
      const AcDbObject* object = peekObject(id);
      if (object == nullptr || object->isErased() || m_written.count(object)) continue;
      if (AcDbEntity::cast(object) || AcDbSymbolTable::cast(object) ||
          AcDbSymbolTableRecord::cast(object))
        continue;
      if (isInsideEntityOrTable(object)) continue;
      writeDictionaryTree(object);
    }
    endSection();
  }

  // Objects owned (directly or not) by something outside OBJECTS that was not
  // written (an erased entity's extension dictionary, the sort table of a block no
  // table holds) stay out too.
  bool isInsideEntityOrTable(const AcDbObject* object) const {
    int guard = 0;
    for (AcDbObjectId owner = object->ownerId(); !owner.isNull() && guard < 64; ++guard) {
      const AcDbObject* o = peekObject(owner);
      if (o == nullptr) return false;
      if (o->isErased()) return true;
      bool writtenBefore =
          AcDbEntity::cast(o) || AcDbSymbolTable::cast(o) || AcDbSymbolTableRecord::cast(o);
      if (writtenBefore && m_written.count(o) == 0) return true;
      owner = o->ownerId();
    }
    return false;
  }

  void writeDictionaryTree(const AcDbObject* object) {
    if (object == nullptr || object->isErased() || m_written.count(object)) return;
    writeObject(object);
    if (auto* dictionary = AcDbDictionary::cast(object))
      for (const auto& entry : dictionary->entries()) writeDictionaryTree(peekObject(entry.id));
    if (!object->extensionDictionary().isNull())
      writeDictionaryTree(peekObject(object->extensionDictionary()));
  }

  AcDbDatabase* m_db;
  DxfOutFiler m_f;
  bool m_discovering = false;
  std::vector<ClassInfo> m_classes;
  std::set<std::wstring> m_classNames;
  acad::DatabaseRoots m_roots;
  std::unordered_set<const AcDbObject*> m_written;
};

}  // namespace

Acad::ErrorStatus writeDrawing(AcDbDatabase* database, std::string& text) {
  if (database == nullptr) return Acad::eNullObjectPointer;
  acad::completeDrawing(database);
  text.clear();
  return DrawingWriter(database, text).write(nullptr);
}

Acad::ErrorStatus writeFile(AcDbDatabase* database, const std::wstring& path) {
  if (database == nullptr) return Acad::eNullObjectPointer;
  const std::string narrow = text::nativePath(path);
  std::FILE* file = std::fopen(narrow.c_str(), "wb");
  if (file == nullptr) return Acad::eFileAccessErr;
  acad::completeDrawing(database);
  std::string chunk;
  Acad::ErrorStatus status = DrawingWriter(database, chunk).write(file);
  if (std::fclose(file) != 0 && status == Acad::eOk) status = Acad::eFileAccessErr;
  if (status != Acad::eOk) {
    std::remove(narrow.c_str());  // no half-written drawing is left behind
    return status;
  }
  acad::setFilename(database, path);
  return Acad::eOk;
}

}  // namespace tabrik::dxf
