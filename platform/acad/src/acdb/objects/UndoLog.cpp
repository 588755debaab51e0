// The undo record of a drawing database (UndoLog.h).
#include "acdb/objects/UndoLog.h"

#include <algorithm>
#include <optional>
#include <unordered_set>
#include <vector>

#include "acdb/objects/DatabaseInternal.h"
#include "dbsymtb.h"

namespace tabrik::acad {

// The header as the database keeps it in its own members and variable store.
struct HeaderState {
  AcDbObjectId clayer, celtype, textstyle, dimstyle;
  AcCmColor cecolor;
  AcDb::LineWeight celweight = AcDb::kLnWtByLayer;
  double celtscale = 1, textsize = 2.5, dimscale = 1, ltscale = 1;
  int insunits = 4;
  bool metric = true;
  AcGePoint3d insbase;
  std::unordered_map<std::string, VariableValue> variables;
  std::uint64_t nextHandle = 1;

  static HeaderState of(const DatabaseImpl& db) {
    HeaderState state;
    state.clayer = db.clayer;
    state.celtype = db.celtype;
    state.textstyle = db.textstyle;
    state.dimstyle = db.dimstyle;
    state.cecolor = db.cecolor;
    state.celweight = db.celweight;
    state.celtscale = db.celtscale;
    state.textsize = db.textsize;
    state.dimscale = db.dimscale;
    state.ltscale = db.ltscale;
    state.insunits = db.insunits;
    state.metric = db.metric;
    state.insbase = db.insbase;
    state.variables = db.variables;
    state.nextHandle = db.nextHandle;
    return state;
  }

  void restore(DatabaseImpl& db) const {
    db.clayer = clayer;
    db.celtype = celtype;
    db.textstyle = textstyle;
    db.dimstyle = dimstyle;
    db.cecolor = cecolor;
    db.celweight = celweight;
    db.celtscale = celtscale;
    db.textsize = textsize;
    db.dimscale = dimscale;
    db.ltscale = ltscale;
    db.insunits = insunits;
    db.metric = metric;
    db.insbase = insbase;
    db.variables = variables;
  }
};

class UndoStep {
 public:
  struct Snapshot {
    AcDbStub* stub;
    std::unique_ptr<MemoryDwgFiler> state;
    bool erased;
  };
  HeaderState header;
  std::uint64_t endHandle = 0;  // the next handle when the step stopped recording
  // A block keeps its entity list as the length it had: drawing commands append to
  // model space, and a copy of the whole list per step would make the history grow
  // with the square of the drawing. The list itself is kept only when it is about to
  // be replaced as a whole; until then its first `length` entries are the old list.
  struct BlockSnapshot {
    AcDbStub* stub;
    std::unique_ptr<MemoryDwgFiler> fields;
    int length;
    std::optional<std::vector<AcDbObjectId>> entities;
    bool erased;
  };
  std::vector<Snapshot> snapshots;
  std::vector<BlockSnapshot> blocks;
  std::unordered_set<AcDbStub*> recorded;
  std::vector<AcDbStub*> created;
  bool headerChanged = false;
};

void UndoStepDeleter::operator()(UndoStep* step) const { delete step; }

void recordUndoChange(DatabaseImpl& db, AcDbObject* object) {
  UndoStep* step = db.undoRecording.get();
  AcDbStub* stub = object->objectId().stub();
  if (step == nullptr || stub == nullptr || !step->recorded.insert(stub).second) return;
  // An object the step made is deleted by undo; its earlier state is not needed.
  if (std::find(step->created.begin(), step->created.end(), stub) != step->created.end()) return;
  auto state = std::make_unique<MemoryDwgFiler>(AcDb::kUndoFiler, db.self);
  if (const auto* block = AcDbBlockTableRecord::cast(object)) {
    writeBlockFields(block, state.get());
    step->blocks.push_back(
        {stub, std::move(state), block->entityIds().length(), std::nullopt, block->isErased()});
    return;
  }
  object->dwgOutFields(state.get());
  step->snapshots.push_back({stub, std::move(state), object->isErased()});
}

void recordUndoBlockListReplaced(DatabaseImpl& db, const AcDbBlockTableRecord* block) {
  UndoStep* step = db.undoRecording.get();
  if (step == nullptr || db.restoring) return;
  for (UndoStep::BlockSnapshot& snapshot : step->blocks) {
    if (snapshot.stub != block->objectId().stub() || snapshot.entities) continue;
    const AcDbObjectIdArray& now = block->entityIds();
    snapshot.entities.emplace(now.begin(), now.begin() + std::min(snapshot.length, now.length()));
  }
}

void recordUndoCreation(DatabaseImpl& db, AcDbStub* stub) {
  if (db.undoRecording != nullptr) db.undoRecording->created.push_back(stub);
}

std::vector<UndoEntry>& undoHistory(AcDbDatabase* database) { return database->impl().undoHistory; }

void beginUndoRecording(AcDbDatabase* database) {
  if (database == nullptr) return;
  DatabaseImpl& db = database->impl();
  if (db.undoRecording != nullptr) return;
  db.undoRecording.reset(new UndoStep);
  db.undoRecording->header = HeaderState::of(db);
}

UndoStepPtr endUndoRecording(AcDbDatabase* database) {
  if (database == nullptr) return nullptr;
  DatabaseImpl& db = database->impl();
  UndoStepPtr step = std::move(db.undoRecording);
  if (step) {
    step->endHandle = db.nextHandle;
    HeaderState now = HeaderState::of(db);
    step->headerChanged =
        now.clayer != step->header.clayer || now.celtype != step->header.celtype ||
        now.textstyle != step->header.textstyle || now.dimstyle != step->header.dimstyle ||
        now.cecolor != step->header.cecolor || now.celweight != step->header.celweight ||
        now.celtscale != step->header.celtscale || now.textsize != step->header.textsize ||
        now.dimscale != step->header.dimscale || now.ltscale != step->header.ltscale ||
        now.insunits != step->header.insunits || now.metric != step->header.metric ||
        now.insbase != step->header.insbase || now.variables != step->header.variables;
  }
  return step;
}

bool isRecordingUndo(const AcDbDatabase* database) {
  return database != nullptr && database->impl().undoRecording != nullptr;
}

bool isEmptyStep(const UndoStep& step) {
  return step.snapshots.empty() && step.blocks.empty() && step.created.empty() &&
         !step.headerChanged;
}

void undoStep(AcDbDatabase* database, UndoStep& step) {
  if (database == nullptr) return;
  DatabaseImpl& db = database->impl();
  db.restoring = true;
  for (auto snapshot = step.snapshots.rbegin(); snapshot != step.snapshots.rend(); ++snapshot) {
    AcDbObject* object = snapshot->stub->object;
    if (object == nullptr) continue;
    snapshot->state->rewind();
    object->dwgInFields(snapshot->state.get());
    ObjectState::setErased(object, snapshot->erased);
  }
  for (UndoStep::BlockSnapshot& snapshot : step.blocks) {
    auto* block = static_cast<AcDbBlockTableRecord*>(snapshot.stub->object);
    if (block == nullptr) continue;
    std::vector<AcDbObjectId> entities;
    if (snapshot.entities) {
      entities = std::move(*snapshot.entities);
    } else {
      const AcDbObjectIdArray& now = block->entityIds();
      entities.assign(now.begin(), now.begin() + std::min(snapshot.length, now.length()));
    }
    snapshot.fields->rewind();
    restoreBlock(block, snapshot.fields.get(), std::move(entities));
    ObjectState::setErased(block, snapshot.erased);
  }
  for (auto stub = step.created.rbegin(); stub != step.created.rend(); ++stub) {
    if ((*stub)->object == nullptr) continue;
    // Defensive: an object still open belongs to someone; it stays, erased.
    if (ObjectState::isOpen((*stub)->object)) {
      ObjectState::setErased((*stub)->object, true);
      continue;
    }
    delete (*stub)->object;
    (*stub)->object = nullptr;
    (*stub)->gone = true;
  }
  step.header.restore(db);
  // Handles come back too when nothing took one since the step: the next object gets
  // the handle it would have had, and the header's seed files as before.
  if (db.nextHandle == step.endHandle) db.nextHandle = step.header.nextHandle;
  db.layoutsChanged();
  db.restoring = false;
  step.snapshots.clear();
  step.blocks.clear();
  step.created.clear();
}

}  // namespace tabrik::acad
