// What only the database's own sources see: the stub behind every object id, the
// database's private state, and privileged access to an object's open state (used by
// the open protocol, transactions and the filers that rebuild objects).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <unordered_set>

#include "acdb/objects/MemoryDwgFiler.h"
#include "acdb/objects/UndoLog.h"
#include "tabrik/SystemVariables.h"
#include "dbmain.h"
#include "dbtrans.h"

// One per handle ever named in a database; lives as long as the database, so ids
// stay comparable after their object is gone.
class AcDbBlockTableRecord;
class AcRxDictionary;

class AcDbStub {
 public:
  AcDbDatabase* database = nullptr;
  AcDbHandle handle;
  AcDbObject* object = nullptr;  // owned by the database
  std::intptr_t serial = 0;      // word 0 of the object's ads_name
  bool gone = false;             // deleted for good (a new object of an aborted transaction)
  // Where the entity was last seen in its walk (its place in the entity order of its
  // block, or in its owner's sub-entity list). Only a hint: checked before it is used.
  std::size_t slot = 0;
};

namespace tabrik::acad {

// Registers every class of the drawing database in the class dictionary; called once
// when the system registry is built.
// The application name of the drawing database's own classes.
inline constexpr const wchar_t* kHostClassApplication = L"ObjectDBX Classes";
void registerDatabaseClasses(AcRxDictionary& classes);
// Attaches the host's AcDbAnnotativeObjectPE to the classes that can be annotative;
// part of registering the classes.
void attachAnnotativeExtension();
// Text and multi-line text without a style take the database's current one.
void giveTextStyle(AcDbEntity* entity, AcDbDatabase* database);
// Moves the vertices a 2D polyline gathered outside a database into it.
void adoptPendingSubEntities(AcDbEntity* entity);
// Gives a block its BLOCK and ENDBLK objects (once it is in a database).
void frameBlock(AcDbBlockTableRecord* block);

// One transaction: the objects it holds open, the state of each object before its
// first change inside it (written by the object's own dwgOutFields to an undo filer),
// and the objects made while it ran.
struct TransactionImpl {
  explicit TransactionImpl(AcDbDatabase* database) : database(database) {}
  struct Snapshot {
    AcDbStub* stub;
    std::unique_ptr<MemoryDwgFiler> state;
    bool erased;
  };
  AcDbDatabase* database;
  std::vector<AcDbObject*> held;
  std::vector<Snapshot> snapshots;
  std::unordered_set<AcDbStub*> recorded;
  std::vector<AcDbStub*> created;

  void record(AcDbObject* object);
  void hold(AcDbObject* object);
};

struct DatabaseImpl {
  explicit DatabaseImpl(AcDbDatabase* self) : self(self), transactions(self) {}
  ~DatabaseImpl();

  AcDbDatabase* self;
  std::vector<std::unique_ptr<AcDbStub>> stubs;
  std::unordered_map<std::uint64_t, AcDbStub*> byHandle;
  std::uint64_t nextHandle = 1;
  // Handles from here on are past any a file can name: a reader streaming a file gives
  // them to the objects it makes without one, and renumbers them when it is done.
  static constexpr std::uint64_t kProvisionalHandles = 1ull << 48;
  std::uint64_t nextProvisional = 0;  // 0: objects take real handles
  AcDbTransactionManager transactions;
  bool restoring = false;  // while an aborted transaction puts objects back
  // The undo step recording the changes (UndoLog.h), owned while it records.
  UndoStepPtr undoRecording;
  std::vector<UndoEntry> undoHistory;

  AcDbObjectId blockTable, layerTable, linetypeTable, textStyleTable, regAppTable, viewportTable,
      viewTable, ucsTable, dimStyleTable;
  AcDbObjectId namedObjects, groupDictionary, modelSpace, paperSpace;
  AcDbObjectId byLayerLinetype, byBlockLinetype, continuousLinetype;

  // Header variables.
  AcDbObjectId clayer, celtype, textstyle, dimstyle;
  AcCmColor cecolor;
  AcDb::LineWeight celweight = AcDb::kLnWtByLayer;
  double celtscale = 1.0, textsize = 2.5, dimscale = 1.0, ltscale = 1.0;
  int insunits = 4;
  bool metric = true;
  AcGePoint3d insbase;
  // The drawing's other variables that were set (tabrik/SystemVariables.h), by name;
  // a name not here has its default.
  std::unordered_map<std::string, VariableValue> variables;
  std::wstring filename;
  // What the last read of a drawing file had to say (readMessage).
  std::wstring readMessage;

  // The spine of the entity walks: the main entities of one block, or of model and
  // paper space together (under the null key), sorted by handle, erased ones included.
  // Built on first use; an entity appended with a handle above the last one extends it
  // in place, anything else that changes a block's contents drops it. An entry whose
  // object is gone stays until the next rebuild (the walks skip it).
  struct EntityOrder {
    std::vector<AcDbStub*> mains;
    bool valid = false;
  };
  std::unordered_map<const AcDbStub*, EntityOrder> entityOrders;
  const AcDbStub* entityOrderKey(AcDbObjectId block) const;
  // The order of the block's key, rebuilt when it is not valid.
  const std::vector<AcDbStub*>& entityOrder(const AcDbStub* key);
  void entityAppended(AcDbObjectId block, AcDbStub* entity);
  void blockContentsReplaced(AcDbObjectId block);
  // Model or paper space became another block: every order is rebuilt from scratch.
  void layoutsChanged() { entityOrders.clear(); }

  AcDbStub* newStub(std::uint64_t handle);
  AcDbStub* stubOf(std::uint64_t handle) const;
  // Makes `object` resident under the handle (a fresh one when 0). The object is
  // left open for write, as a new object is.
  Acad::ErrorStatus add(AcDbObject* object, std::uint64_t handle, AcDbObjectId& id);
  void buildDefaultDrawing();
  // Called from assertWriteEnabled: the top transaction records the object's state
  // before its first change.
  void beforeChange(AcDbObject* object);
  // Every resident object in handle order.
  std::vector<AcDbObject*> objectsByHandle() const;
};

// The undo record's hooks: an object about to change, an object just made.
void recordUndoChange(DatabaseImpl& db, AcDbObject* object);
void recordUndoCreation(DatabaseImpl& db, AcDbStub* stub);
// A block's entity list is about to be replaced as a whole (not appended to).
void recordUndoBlockListReplaced(DatabaseImpl& db, const AcDbBlockTableRecord* block);

// A block as the undo record keeps it: its fields apart from the entity list (the list
// is kept as its length while a step only appends), and the block put back from them.
void writeBlockFields(const AcDbBlockTableRecord* block, AcDbDwgFiler* filer);
void restoreBlock(AcDbBlockTableRecord* block, AcDbDwgFiler* fields,
                  std::vector<AcDbObjectId> entities);

// The id of a name in the symbol table with the given id (null when absent).
AcDbObjectId symbolIdOf(const AcDbDatabase* database, AcDbObjectId tableId, const ACHAR* name);
// The installed DXF filing functions (null until the DXF library installs them).
using DxfFilingFunction = Acad::ErrorStatus (*)(AcDbDatabase*, const std::wstring&);
DxfFilingFunction dxfReader();
DxfFilingFunction dxfWriter();

// Privileged access to an object's identity and open state.
struct ObjectState {
  static void attach(AcDbObject* object, AcDbObjectId id) { object->m_id = id; }
  static void setOwner(AcDbObject* object, AcDbObjectId owner) { object->m_ownerId = owner; }
  static void setErased(AcDbObject* object, bool erased) { object->m_erased = erased; }
  static void setNew(AcDbObject* object, bool isNew) { object->m_isNew = isNew; }
  static int& readCount(AcDbObject* object) { return object->m_readCount; }
  static bool& writeOpen(AcDbObject* object) { return object->m_writeOpen; }
  static int& transactionCount(AcDbObject* object) { return object->m_transactionCount; }
  static bool isOpen(const AcDbObject* object) {
    return object->m_readCount > 0 || object->m_writeOpen || object->m_transactionCount > 0;
  }
  // Opens by the protocol of dbmain.h.
  static Acad::ErrorStatus open(AcDbObject* object, AcDb::OpenMode mode, bool openErased);
};

}  // namespace tabrik::acad
