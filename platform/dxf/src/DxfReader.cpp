// Reading a whole DXF drawing into an empty database. Objects read their own groups
// (dxfInFields); this file walks the sections, makes each object of the class its
// type names, places it under the handle the file gives, and rebuilds what the file
// says only by position: table records after their TABLE, block contents between
// BLOCK and ENDBLK, attributes and vertices before their SEQEND. Types without a
// class here become proxies that keep their groups. Malformed text (a bad group
// code, a number that does not parse, a y that does not follow its x, a missing EOF)
// ends the read with a message naming the line.
//
// The file streams through: objects are built as the scanner hands them out, one at a
// time, and only what an object must wait for is kept (its block until ENDBLK, the
// complex entity until its SEQEND, extended data until the application ids are
// known). Objects made without a handle of the file take provisional handles until
// the end, when every handle the file names is known.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <cstdio>
#include <map>

#include "DxfFile.h"
#include "DxfInFiler.h"
#include "DxfScanner.h"
#include "DxfText.h"
#include "acutads.h"
#include "dbdict.h"
#include "dbents.h"
#include "dbproxy.h"
#include "dbsymtb.h"
#include "rxdict.h"
#include "tabrik/DrawingFiling.h"
#include "tabrik/SystemVariables.h"
#include "tabrik/TextConversion.h"

namespace tabrik::dxf {

namespace {

using acad::peekObject;

struct ClassRecord {
  std::wstring className, appName;
  int proxyFlags = 0;
  bool isEntity = false;
};

std::wstring wide(std::string_view text) { return decodeText(text, /*utf8=*/true); }

std::string trimmed(std::string_view text) {
  size_t a = text.find_first_not_of(" \t");
  size_t b = text.find_last_not_of(" \t\r");
  return a == std::string_view::npos ? std::string() : std::string(text.substr(a, b - a + 1));
}

class DrawingReader {
 public:
  DrawingReader(AcDbDatabase* db, TagScanner& scanner, std::wstring* message)
      : m_db(db), m_scanner(scanner), m_message(message) {
    acad::beginProvisionalHandles(m_db);
  }
  ~DrawingReader() {
    // Extended data not handed out: the read ended early.
    for (auto& pending : m_xdata) acutRelRb(pending.second);
    acad::endProvisionalHandles(m_db);
  }
  DrawingReader(const DrawingReader&) = delete;
  DrawingReader& operator=(const DrawingReader&) = delete;

  Acad::ErrorStatus read() {
    enum class Section { kNone, kHeader, kClasses, kTables, kBlocks, kEntities, kObjects, kOther };
    Section section = Section::kNone;
    std::string sectionName;
    int sectionLine = 0;
    while (m_scanner.next(m_tags)) {
      const Tag& head = m_tags[0];
      std::string name = head.code == 0 ? trimmed(head.value) : std::string();
      if (section == Section::kNone) {
        if (head.code != 0) {
          for (const Tag& tag : m_tags)  // comments before the first section
            if (tag.code != 999) return fail(tag.line, "a section was expected");
          continue;
        }
        if (name == "EOF") {
          finish();
          return m_status;
        }
        if (name != "SECTION" || m_tags.size() < 2 || m_tags[1].code != 2)
          return fail(head.line, "SECTION and its name were expected");
        sectionName = trimmed(m_tags[1].value);
        sectionLine = head.line;
        section = sectionName == "HEADER"     ? Section::kHeader
                  : sectionName == "CLASSES"  ? Section::kClasses
                  : sectionName == "TABLES"   ? Section::kTables
                  : sectionName == "BLOCKS"   ? Section::kBlocks
                  : sectionName == "ENTITIES" ? Section::kEntities
                  : sectionName == "OBJECTS"  ? Section::kObjects
                                              : Section::kOther;
        if (section == Section::kHeader) readHeader(2, m_tags.size());
        if (section == Section::kBlocks || section == Section::kEntities) ensureBlockTable();
        m_table = nullptr;
        m_run = Run();
        m_firstObject = true;
        continue;
      }
      if (name == "EOF") break;
      if (name == "ENDSEC") {
        if (section == Section::kBlocks && m_inBlock) endBlock(AcDbObjectId::kNull);
        section = Section::kNone;
        continue;
      }
      if (head.code != 0) continue;  // groups of a section's head
      switch (section) {
        case Section::kClasses:
          readClass();
          break;
        case Section::kTables:
          readTableObject();
          break;
        case Section::kBlocks:
          readBlockObject(name);
          break;
        case Section::kEntities:
          readEntity(name);
          break;
        case Section::kObjects:
          readObjectsObject();
          break;
        default:
          break;
      }
      if (m_status != Acad::eOk) return m_status;
    }
    if (!m_scanner.problem().empty()) {
      if (m_message != nullptr && m_message->empty()) *m_message = wide(m_scanner.problem());
      return m_status = Acad::eDwgNotRecoverable;
    }
    if (section != Section::kNone)
      return fail(sectionLine, "the section " + sectionName + " has no ENDSEC");
    return fail(m_scanner.lastLine() == 0 ? 1 : m_scanner.lastLine(), "the file has no EOF");
  }

 private:
  Acad::ErrorStatus fail(int line, const std::string& why) {
    if (m_message != nullptr && m_message->empty())
      *m_message = wide("line " + std::to_string(line) + ": " + why);
    return m_status = Acad::eDwgNotRecoverable;
  }

  Acad::ErrorStatus readHeader(size_t begin, size_t end) {
    for (size_t i = begin; i < end; ++i) {
      if (m_tags[i].code != 9) continue;
      std::string name = trimmed(m_tags[i].value);
      if (i + 1 >= end) break;
      const Tag& value = m_tags[i + 1];
      m_header[name] = wide(value.value);
      // Text of later releases is UTF-8.
      if (name == "$ACADVER" && value.code == 1) m_utf8 = trimmed(value.value) >= "AC1021";
      if (name == "$INSBASE" && i + 2 < end) {
        double x = 0, y = 0, z = 0;
        parseReal(m_tags[i + 1].value, x);
        parseReal(m_tags[i + 2].value, y);
        if (i + 3 < end && m_tags[i + 3].code == 30) parseReal(m_tags[i + 3].value, z);
        m_insbase = AcGePoint3d(x, y, z);
      }
      readDrawingVariable(name, i, end);
      if (name == "$HANDSEED") {
        AcDbHandle seed(wide(trimmed(value.value)).c_str());
        if (!seed.isNull() && seed.value() < (1ull << 48)) acad::raiseHandseed(m_db, seed);
      }
    }
    return Acad::eOk;
  }

  // A variable of the drawing's own that the database keeps in no member; one of
  // another type than the table's, or unknown, is left out.
  void readDrawingVariable(const std::string& name, size_t at, size_t end) {
    if (name.size() < 2 || name[0] != '$') return;
    const acad::SystemVariable* entry = acad::findSystemVariable(name.substr(1));
    if (entry == nullptr || entry->home != acad::VariableHome::Drawing || entry->dxfCode == 0 ||
        acad::isHeaderMember(entry->name))
      return;
    acad::VariableValue value;
    value.type = entry->type;
    const Tag& first = m_tags[at + 1];
    if (entry->type == acad::VariableType::Str) {
      value.text = wide(first.value);
      while (!value.text.empty() && value.text.back() == L' ') value.text.pop_back();
    } else if (entry->type == acad::VariableType::Pt2 || entry->type == acad::VariableType::Pt3) {
      for (size_t k = 0; k < 3 && at + 1 + k < end; ++k) {
        const Tag& tag = m_tags[at + 1 + k];
        if (tag.code != 10 + 10 * static_cast<int>(k)) break;
        if (!parseReal(tag.value, value.point[k])) return;
      }
      if (entry->type == acad::VariableType::Pt2) value.point[2] = 0;
    } else {
      double number = 0;
      if (!parseReal(first.value, number) || !std::isfinite(number)) return;
      if (entry->type == acad::VariableType::Int) {
        if (number != std::floor(number) || std::fabs(number) > 2147483647.0) return;
        value.integer = static_cast<long>(number);
      } else {
        value.real = number;
      }
    }
    acad::setDrawingVariable(m_db, *entry, value);
  }

  void readClass() {
    std::wstring dxfName;
    ClassRecord record;
    for (const Tag& t : m_tags) {
      long long n = 0;
      if (t.code == 1) dxfName = wide(trimmed(t.value));
      if (t.code == 2) record.className = wide(trimmed(t.value));
      if (t.code == 3) record.appName = decodeText(t.value, m_utf8);
      if (t.code == 90 && parseInt(t.value, n)) record.proxyFlags = static_cast<int>(n);
      if (t.code == 281 && parseInt(t.value, n)) record.isEntity = n != 0;
    }
    if (!dxfName.empty()) m_classes[dxfName] = record;
  }

  // The class a DXF type names: the CLASS record's C++ class when that class is
  // registered (an application's class), else the host's class of that DXF name.
  AcRxObject* create(const std::wstring& dxfName, bool entity, const ClassRecord*& custom) {
    custom = nullptr;
    auto found = m_classes.find(dxfName);
    if (found != m_classes.end()) {
      custom = &found->second;
      if (auto* cls = AcRxClass::cast(acrxClassDictionary->at(found->second.className.c_str())))
        if (AcRxObject* made = cls->create()) return made;
    }
    if (m_byDxfName.empty()) {
      AcRxDictionaryIterator* it = acrxClassDictionary->newIterator();
      for (; !it->done(); it->next()) {
        auto* cls = AcRxClass::cast(it->object());
        if (cls == nullptr || cls->dxfName()[0] == 0) continue;
        // Table classes share their records' DXF names; records are what objects are.
        if (cls->isDerivedFrom(AcDbSymbolTable::desc())) continue;
        m_byDxfName.emplace(cls->dxfName(), cls);
      }
      delete it;
    }
    auto builtIn = m_byDxfName.find(dxfName);
    if (builtIn != m_byDxfName.end())
      if (AcRxObject* made = builtIn->second->create()) return made;
    return nullptr;
  }

  // Reads the object the scanner handed out last; null when it is left out.
  AcDbObject* readObject(bool entity, AcDbObjectId& id) {
    const size_t at = 0, stop = m_tags.size();
    id.setNull();
    std::wstring dxfName = wide(trimmed(m_tags[at].value));
    const ClassRecord* custom = nullptr;
    AcRxObject* made = create(dxfName, entity, custom);
    bool proxy = made == nullptr;
    if (proxy) {
      if (entity) {
        auto* p = new AcDbProxyEntity;
        p->setOriginalClass(dxfName, custom ? custom->className : L"",
                            custom ? custom->appName : L"", custom ? custom->proxyFlags : 0);
        made = p;
      } else {
        auto* p = new AcDbProxyObject;
        p->setOriginalClass(dxfName, custom ? custom->className : L"",
                            custom ? custom->appName : L"", custom ? custom->proxyFlags : 0);
        made = p;
      }
    }
    AcDbObject* object = AcDbObject::cast(made);
    if (object == nullptr) {
      delete made;
      return nullptr;
    }
    DxfInFiler filer(m_db, m_tags, at + 1, stop, m_utf8);
    Acad::ErrorStatus status = object->dxfInFields(&filer);
    if (!filer.problem().empty()) {
      delete object;
      if (m_message != nullptr && m_message->empty()) *m_message = wide(filer.problem());
      m_status = Acad::eDwgNotRecoverable;
      return nullptr;
    }
    if (status != Acad::eOk) {
      // Groups this host cannot place (a known type without its subclass markers):
      // the object is left out and the reading goes on.
      delete object;
      note(m_tags[at].line,
           "a " + std::string(dxfName.begin(), dxfName.end()) + " was left out: " +
               (status == Acad::eBadDxfSequence
                    ? "its subclass markers (group 100) are missing or out of order"
                    : "its groups could not be read (error status " +
                          std::to_string(static_cast<int>(status)) + ")"));
      return nullptr;
    }
    AcDbHandle handle = handleOf(at + 1, stop, dxfName == L"DIMSTYLE" ? 105 : 5);
    if (acad::addObjectWithHandle(m_db, object, handle, id) != Acad::eOk &&
        acad::addObjectWithHandle(m_db, object, AcDbHandle(), id) != Acad::eOk) {
      delete object;
      return nullptr;
    }
    readXData(object, filer.xdataStart(), stop);
    return object;
  }

  void note(int line, const std::string& what) {
    if (m_message != nullptr && m_message->empty())
      *m_message = wide("line " + std::to_string(line) + ": " + what);
  }

  AcDbHandle handleOf(size_t begin, size_t stop, int code) {
    for (size_t i = begin; i < stop && m_tags[i].code != 100; ++i) {
      if (m_tags[i].code != code) continue;
      AcDbHandle handle(wide(trimmed(m_tags[i].value)).c_str());
      if (handle.value() >= (1ull << 48)) return AcDbHandle();
      return handle;
    }
    return AcDbHandle();
  }

  // Extended data is kept as read and given to the object at the end (it may name
  // applications whose APPID comes later).
  void readXData(AcDbObject* object, size_t begin, size_t stop) {
    if (begin >= stop) return;
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (size_t i = begin; i < stop; ++i) {
      resbuf item{};
      std::wstring text;
      std::string problem;
      if (m_tags[i].code < 1000 ||
          !DxfInFiler::typedValue(m_tags, i, stop, m_utf8, item, text, problem))
        break;
      resbuf* rb = acutNewRb(item.restype);
      rb->resval = item.resval;
      if (item.restype == 1004) {
        // Binary chunks come as hex text.
        std::string hex = trimmed(m_tags[i].value);
        size_t n = std::min<size_t>(hex.size() / 2, 127);
        rb->resval.rbinary.clen = static_cast<short>(n);
        rb->resval.rbinary.buf = static_cast<char*>(std::malloc(n == 0 ? 1 : n));
        for (size_t k = 0; k < n; ++k)
          rb->resval.rbinary.buf[k] =
              static_cast<char>(std::strtol(hex.substr(2 * k, 2).c_str(), nullptr, 16));
      } else if ((item.restype >= 1000 && item.restype <= 1003) ||
                 (item.restype >= 1005 && item.restype <= 1009)) {
        rb->resval.rstring = static_cast<ACHAR*>(std::malloc((text.size() + 1) * sizeof(ACHAR)));
        std::wmemcpy(rb->resval.rstring, text.c_str(), text.size() + 1);
      }
      *tail = rb;
      tail = &rb->rbnext;
    }
    if (head != nullptr) m_xdata.push_back({object->objectId(), head});
  }

  void readTableObject() {
    std::string type = trimmed(m_tags[0].value);
    if (type == "TABLE") {
      m_table = readTableHead(0, m_tags.size());
    } else if (type == "ENDTAB") {
      m_table = nullptr;
    } else if (m_table != nullptr) {
      AcDbObjectId id;
      AcDbObject* record = readObject(/*entity=*/false, id);
      if (m_status != Acad::eOk) return;
      if (record != nullptr && record->isKindOf(m_table->recordClass()) &&
          !hasOtherNamed(m_table, record)) {
        acad::appendTableRecord(m_table, id);
      } else if (record != nullptr) {
        eraseRead(id);
      }
    }
  }

  // A second record of a name the table holds (a table repeated in the file) is
  // dropped: names are unique in a table, and the first one is what others resolve to.
  static bool hasOtherNamed(const AcDbSymbolTable* table, const AcDbObject* record) {
    const auto* named = AcDbSymbolTableRecord::cast(record);
    AcDbObjectId existing;
    if (named == nullptr || AcDbViewportTableRecord::cast(record) != nullptr)
      return false;  // *Active may repeat
    return table->getAt(named->name().c_str(), existing) == Acad::eOk &&
           existing != record->objectId();
  }

  void eraseRead(AcDbObjectId id) {
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, id, AcDb::kForWrite) != Acad::eOk) return;
    object->erase();
    object->close();
  }

  AcDbSymbolTable* readTableHead(size_t at, size_t stop) {
    std::string name;
    for (size_t k = at + 1; k < stop; ++k)
      if (m_tags[k].code == 2) {
        name = trimmed(m_tags[k].value);
        break;
      }
    struct Kind {
      const char* name;
      AcDbObjectId acad::DatabaseRoots::*slot;
      AcRxClass* (*cls)();
    } kinds[] = {
        {"VPORT", &acad::DatabaseRoots::viewportTable, &AcDbViewportTable::desc},
        {"LTYPE", &acad::DatabaseRoots::linetypeTable, &AcDbLinetypeTable::desc},
        {"LAYER", &acad::DatabaseRoots::layerTable, &AcDbLayerTable::desc},
        {"STYLE", &acad::DatabaseRoots::textStyleTable, &AcDbTextStyleTable::desc},
        {"VIEW", &acad::DatabaseRoots::viewTable, &AcDbViewTable::desc},
        {"UCS", &acad::DatabaseRoots::ucsTable, &AcDbUCSTable::desc},
        {"APPID", &acad::DatabaseRoots::regAppTable, &AcDbRegAppTable::desc},
        {"DIMSTYLE", &acad::DatabaseRoots::dimStyleTable, &AcDbDimStyleTable::desc},
        {"BLOCK_RECORD", &acad::DatabaseRoots::blockTable, &AcDbBlockTable::desc},
    };
    for (const Kind& kind : kinds) {
      if (name != kind.name) continue;
      if (!(m_roots.*kind.slot).isNull())
        return AcDbSymbolTable::cast(peekObject(m_roots.*kind.slot));
      auto* table = AcDbSymbolTable::cast(kind.cls()->create());
      if (table == nullptr) return nullptr;
      // The table's head: its handle and owner; its count is not trusted.
      DxfInFiler filer(m_db, m_tags, at + 1, stop, m_utf8);
      resbuf rb{};
      while (filer.readResBuf(&rb) == Acad::eOk) {
      }
      AcDbObjectId id;
      if (acad::addObjectWithHandle(m_db, table, handleOf(at + 1, stop, 5), id) != Acad::eOk &&
          acad::addObjectWithHandle(m_db, table, AcDbHandle(), id) != Acad::eOk) {
        delete table;
        return nullptr;
      }
      m_roots.*kind.slot = id;
      // Records and entities read later name their layer, style or block by name.
      acad::setDatabaseRoots(m_db, m_roots);
      return table;
    }
    return nullptr;  // an unknown table: its records are skipped
  }

  AcDbBlockTableRecord* blockNamed(const std::wstring& name) {
    auto* blocks = AcDbSymbolTable::cast(peekObject(m_roots.blockTable));
    AcDbObjectId id;
    if (blocks != nullptr && blocks->getAt(name.c_str(), id) == Acad::eOk)
      return AcDbBlockTableRecord::cast(peekObject(id));
    if (blocks == nullptr || name.empty()) return nullptr;
    // A BLOCK without a BLOCK_RECORD (files of older releases): make the record.
    auto* block = new AcDbBlockTableRecord;
    if (block->setName(name.c_str()) != Acad::eOk) {
      delete block;
      return nullptr;
    }
    AcDbObjectId added;
    if (acad::addObjectWithHandle(m_db, block, AcDbHandle(), added) != Acad::eOk) {
      delete block;
      return nullptr;
    }
    AcDbObject* opened = nullptr;
    acdbOpenObject(opened, added, AcDb::kForWrite);
    block->setOwnerId(m_roots.blockTable);
    opened->close();
    acad::appendTableRecord(blocks, added);
    acad::setDatabaseRoots(m_db, m_roots);
    return block;
  }

  // Where entities go: into `block` (null: by each entity's owner, or model/paper
  // space), with the complex entity still taking attributes or vertices.
  struct Run {
    AcDbBlockTableRecord* block = nullptr;
    AcDbEntity* complex = nullptr;
  };

  // One entity with its place: its block, or the complex entity before it.
  void readEntity(const std::string& type) {
    AcDbObjectId id;
    AcDbObject* object = readObject(/*entity=*/true, id);
    if (m_status != Acad::eOk) return;
    auto* entity = AcDbEntity::cast(object);
    if (entity == nullptr) {
      if (object != nullptr) eraseRead(id);
      return;
    }
    AcDbEntity*& complex = m_run.complex;
    if (complex != nullptr && (type == "ATTRIB" || type == "VERTEX")) {
      if (!acad::appendSubEntity(complex, id))
        eraseRead(id);
      else
        setOwner(entity, complex->objectId());
    } else if (complex != nullptr && type == "SEQEND") {
      acad::setSequenceEnd(complex, id);
      setOwner(entity, complex->objectId());
      complex = nullptr;
    } else if (type == "SEQEND" || type == "ATTRIB" || type == "VERTEX") {
      eraseRead(id);  // a stray sub-entity with no owner before it
    } else {
      AcDbBlockTableRecord* target = m_run.block ? m_run.block : spaceOf(entity);
      setOwner(entity, target->objectId());
      acad::appendBlockEntity(target, id);
      complex = startsSequence(type) ? entity : nullptr;
    }
  }

  bool startsSequence(const std::string& type) const {
    if (type == "POLYLINE") return true;
    if (type != "INSERT") return false;
    for (size_t k = 1; k < m_tags.size(); ++k) {
      long long n = 0;
      if (m_tags[k].code == 66 && parseInt(m_tags[k].value, n)) return n == 1;
    }
    return false;
  }

  void setOwner(AcDbEntity* entity, AcDbObjectId owner) {
    if (entity->ownerId() == owner) return;
    AcDbObject* opened = nullptr;
    if (acdbOpenObject(opened, entity->objectId(), AcDb::kForWrite) != Acad::eOk) return;
    opened->setOwnerId(owner);
    opened->close();
  }

  AcDbBlockTableRecord* spaceOf(const AcDbEntity* entity) {
    if (auto* owner = AcDbBlockTableRecord::cast(peekObject(entity->ownerId()))) return owner;
    bool paper = false;
    for (size_t k = 1; k < m_tags.size(); ++k) {
      long long n = 0;
      if (m_tags[k].code == 67 && parseInt(m_tags[k].value, n)) paper = n == 1;
    }
    return blockNamed(paper ? ACDB_PAPER_SPACE : ACDB_MODEL_SPACE);
  }

  // BLOCK opens a block, whose entities follow until ENDBLK; objects between blocks
  // are skipped.
  void readBlockObject(const std::string& type) {
    if (m_inBlock && type == "ENDBLK") {
      AcDbObjectId endId;
      readObject(/*entity=*/true, endId);
      if (m_status == Acad::eOk) endBlock(endId);
      return;
    }
    if (m_inBlock) {
      readEntity(type);
      return;
    }
    if (type != "BLOCK") return;
    AcDbObject* blockBegin = readObject(/*entity=*/true, m_blockBeginId);
    if (m_status != Acad::eOk) return;
    m_blockHead = acad::blockHead(blockBegin);
    m_block = blockBegin ? blockNamed(m_blockHead.name) : nullptr;
    m_run = Run();
    m_run.block = m_block ? m_block : blockNamed(L"*Model_Space");
    m_inBlock = true;
  }

  void endBlock(AcDbObjectId endId) {
    m_inBlock = false;
    m_run = Run();
    AcDbBlockTableRecord* block = m_block;
    m_block = nullptr;
    if (block != nullptr) {
      if (auto* e = AcDbEntity::cast(peekObject(m_blockBeginId))) setOwner(e, block->objectId());
      if (auto* e = AcDbEntity::cast(peekObject(endId))) setOwner(e, block->objectId());
      acad::setBlockFrame(block, m_blockBeginId, endId);
      AcDbObject* opened = nullptr;
      if (acdbOpenObject(opened, block->objectId(), AcDb::kForWrite) == Acad::eOk) {
        block->setOrigin(m_blockHead.origin);
        if (!m_blockHead.path.empty()) block->setPathName(m_blockHead.path.c_str());
        opened->close();
      }
    } else if (peekObject(m_blockBeginId) != nullptr) {
      eraseRead(m_blockBeginId);
    }
  }

  void ensureBlockTable() {
    if (!m_roots.blockTable.isNull()) return;
    auto* table = new AcDbBlockTable;
    AcDbObjectId id;
    acad::addObjectWithHandle(m_db, table, AcDbHandle(), id);
    m_roots.blockTable = id;
  }

  void readObjectsObject() {
    AcDbObjectId id;
    AcDbObject* object = readObject(/*entity=*/false, id);
    if (m_status != Acad::eOk) return;
    // The first object is the root dictionary.
    if (m_firstObject && AcDbDictionary::cast(object) != nullptr) m_roots.namedObjects = id;
    if (object != nullptr) m_firstObject = false;
  }

  void finish() {
    acad::setDatabaseRoots(m_db, m_roots);
    acad::endProvisionalHandles(m_db);
    acad::completeDrawing(m_db);
    for (auto& [id, chain] : m_xdata) {
      AcDbObject* object = nullptr;
      if (acdbOpenObject(object, id, AcDb::kForWrite, /*openErased=*/true) == Acad::eOk) {
        object->setXData(chain);
        object->close();
      }
      acutRelRb(chain);
    }
    m_xdata.clear();
    applyHeader();
  }

  void applyHeader() {
    auto text = [&](const char* name) -> std::wstring {
      auto found = m_header.find(name);
      if (found == m_header.end()) return L"";
      std::wstring value = found->second;
      while (!value.empty() && value.back() == L' ') value.pop_back();
      return value;
    };
    auto real = [&](const char* name, double& value) {
      auto found = m_header.find(name);
      if (found == m_header.end()) return false;
      std::string narrow(found->second.begin(), found->second.end());
      return parseReal(narrow, value);
    };
    auto lookup = [&](AcDbObjectId tableId, const std::wstring& name) {
      auto* table = AcDbSymbolTable::cast(peekObject(tableId));
      AcDbObjectId id;
      if (table != nullptr && !name.empty()) table->getAt(name.c_str(), id);
      return id;
    };
    acad::DatabaseRoots roots = acad::databaseRoots(m_db);
    if (AcDbObjectId id = lookup(roots.layerTable, text("$CLAYER")); !id.isNull())
      m_db->setClayer(id);
    if (AcDbObjectId id = lookup(roots.linetypeTable, text("$CELTYPE")); !id.isNull())
      m_db->setCeltype(id);
    if (AcDbObjectId id = lookup(roots.textStyleTable, text("$TEXTSTYLE")); !id.isNull())
      m_db->setTextstyle(id);
    if (AcDbObjectId id = lookup(roots.dimStyleTable, text("$DIMSTYLE")); !id.isNull()) {
      auto* record = AcDbSymbolTableRecord::cast(peekObject(id));
      acad::setDrawingVariable(m_db, *acad::findSystemVariable("DIMSTYLE"),
                               acad::VariableValue{acad::VariableType::Str, 0, 0, record->name()});
    }
    double value = 0;
    if (real("$DIMSCALE", value)) m_db->setDimscale(value);
    if (real("$LTSCALE", value)) m_db->setLtscale(value);
    if (real("$CELTSCALE", value)) m_db->setCeltscale(value);
    if (real("$TEXTSIZE", value)) m_db->setTextsize(value);
    if (real("$INSUNITS", value)) m_db->setInsunits(static_cast<int>(value));
    if (real("$MEASUREMENT", value)) m_db->setMeasurement(value != 0);
    if (real("$CECOLOR", value) && value >= 0 && value <= 256) {
      AcCmColor color;
      color.setColorIndex(static_cast<Adesk::UInt16>(value));
      m_db->setCecolor(color);
    }
    m_db->setInsbase(m_insbase);
  }

  AcDbDatabase* m_db;
  TagScanner& m_scanner;
  std::vector<Tag> m_tags;  // the object being read
  std::wstring* m_message;
  AcDbSymbolTable* m_table = nullptr;  // the table whose records are being read
  Run m_run;
  bool m_inBlock = false;
  AcDbBlockTableRecord* m_block = nullptr;
  AcDbObjectId m_blockBeginId;
  acad::BlockHead m_blockHead;
  bool m_firstObject = true;
  Acad::ErrorStatus m_status = Acad::eOk;
  bool m_utf8 = false;
  std::map<std::wstring, ClassRecord> m_classes;
  std::map<std::wstring, AcRxClass*> m_byDxfName;
  std::map<std::string, std::wstring> m_header;
  AcGePoint3d m_insbase;
  acad::DatabaseRoots m_roots;
  std::vector<std::pair<AcDbObjectId, resbuf*>> m_xdata;
};

}  // namespace

namespace {

Acad::ErrorStatus readFrom(AcDbDatabase* database, TagScanner& scanner, std::wstring* message) {
  if (database == nullptr) return Acad::eNullObjectPointer;
  if (!acad::objectIds(database).empty()) return Acad::eWrongDatabase;
  return DrawingReader(database, scanner, message).read();
}

}  // namespace

Acad::ErrorStatus readDrawing(AcDbDatabase* database, std::string_view text,
                              std::wstring* message) {
  TagScanner scanner(text);
  return readFrom(database, scanner, message);
}

Acad::ErrorStatus readFile(AcDbDatabase* database, const std::wstring& path,
                           std::wstring* message) {
  if (database == nullptr) return Acad::eNullObjectPointer;
  const std::string narrow = text::nativePath(path);
  std::FILE* file = std::fopen(narrow.c_str(), "rb");
  if (file == nullptr) return Acad::eFileNotFound;
  Acad::ErrorStatus status;
  {
    TagScanner scanner(file);
    status = readFrom(database, scanner, message);
  }
  std::fclose(file);
  if (status == Acad::eOk) acad::setFilename(database, path);
  return status;
}

namespace {
Acad::ErrorStatus readInstalled(AcDbDatabase* database, const std::wstring& path) {
  std::wstring message;
  Acad::ErrorStatus status = readFile(database, path, &message);
  acad::setReadMessage(database, message);
  return status;
}
Acad::ErrorStatus writeInstalled(AcDbDatabase* database, const std::wstring& path) {
  return writeFile(database, path);
}
}  // namespace

void install() { acad::installDxfFiling(&readInstalled, &writeInstalled); }

}  // namespace tabrik::dxf
