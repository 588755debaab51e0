// PURGE from the command line: deletes the named objects that nothing refers to
// (blocks, layers, linetypes, text styles). What refers: every entity of every block
// (its layer, linetype, text style, the block it inserts), each layer's linetype, and
// the current layer, linetype and text style. The host's own records never go: layer
// 0 and DEFPOINTS, BYLAYER, BYBLOCK and CONTINUOUS, STANDARD, the layouts and
// anonymous blocks.
#include <set>

#include "acdb.h"
#include "acedads.h"
#include "aced/command/CommandSupport.h"
#include "aced/command/CoreCommands.h"
#include "dbents.h"
#include "dbmtext.h"
#include "dbsymtb.h"

namespace tabrik::acad::command {

namespace {

struct References {
  std::set<AcDbObjectId> used;
};

References gatherReferences(AcDbDatabase* database) {
  References refs;
  refs.used.insert(database->clayer());
  refs.used.insert(database->celtype());
  refs.used.insert(database->textstyle());
  AcDbBlockTable* blocks = nullptr;
  if (database->getBlockTable(blocks) == Acad::eOk) {
    AcDbBlockTableIterator* it = nullptr;
    blocks->newIterator(it);
    for (; !it->done(); it->step()) {
      AcDbBlockTableRecord* block = nullptr;
      if (it->getRecord(block, AcDb::kForRead) != Acad::eOk) continue;
      AcDbObjectIdArray ids = block->entityIds();
      block->close();
      for (int i = 0; i < ids.length(); ++i) {
        AcDbEntity* entity = nullptr;
        if (acdbOpenObject(entity, ids[i], AcDb::kForRead) != Acad::eOk) continue;
        refs.used.insert(entity->layerId());
        refs.used.insert(entity->linetypeId());
        if (auto* text = AcDbText::cast(entity)) refs.used.insert(text->textStyle());
        if (auto* mtext = AcDbMText::cast(entity)) refs.used.insert(mtext->textStyle());
        if (auto* insert = AcDbBlockReference::cast(entity))
          refs.used.insert(insert->blockTableRecord());
        entity->close();
      }
    }
    delete it;
    blocks->close();
  }
  AcDbLayerTable* layers = nullptr;
  if (database->getLayerTable(layers) == Acad::eOk) {
    AcDbLayerTableIterator* it = nullptr;
    layers->newIterator(it);
    for (; !it->done(); it->step()) {
      AcDbLayerTableRecord* layer = nullptr;
      if (it->getRecord(layer, AcDb::kForRead) != Acad::eOk) continue;
      refs.used.insert(layer->linetypeObjectId());
      layer->close();
    }
    delete it;
    layers->close();
  }
  return refs;
}

struct Kind {
  const char* keyword;
  const char* singular;
  const char* plural;
};

constexpr Kind kKinds[] = {
    {"Blocks", "block", "blocks"},
    {"LAyers", "layer", "layers"},
    {"LTypes", "linetype", "linetypes"},
    {"textSTyles", "text style", "text styles"},
};

bool isProtected(const std::string& kind, const std::string& name) {
  std::string upper = upperCase(name);
  if (kind == "Blocks") return upper.empty() || upper[0] == '*';
  if (kind == "LAyers") return upper == "0" || upper == "DEFPOINTS";
  if (kind == "LTypes") return upper == "BYLAYER" || upper == "BYBLOCK" || upper == "CONTINUOUS";
  return upper == "STANDARD";
}

std::vector<AcDbObjectId> tableRecords(AcDbDatabase* database, const std::string& kind) {
  std::vector<AcDbObjectId> ids;
  AcDbSymbolTable* table = nullptr;
  Acad::ErrorStatus status = Acad::eInvalidInput;
  if (kind == "Blocks") {
    AcDbBlockTable* blocks = nullptr;
    status = database->getBlockTable(blocks);
    table = blocks;
  } else if (kind == "LAyers") {
    AcDbLayerTable* layers = nullptr;
    status = database->getLayerTable(layers);
    table = layers;
  } else if (kind == "LTypes") {
    AcDbLinetypeTable* linetypes = nullptr;
    status = database->getLinetypeTable(linetypes);
    table = linetypes;
  } else {
    AcDbTextStyleTable* styles = nullptr;
    status = database->getTextStyleTable(styles);
    table = styles;
  }
  if (status != Acad::eOk || table == nullptr) return ids;
  AcDbSymbolTableIterator* it = nullptr;
  table->newIterator(it);
  for (; !it->done(); it->step()) {
    AcDbObjectId id;
    it->getRecordId(id);
    ids.push_back(id);
  }
  delete it;
  table->close();
  return ids;
}

int purgeKind(const Kind& kind, const std::string& names, bool verify) {
  AcDbDatabase* database = drawing();
  References refs = gatherReferences(database);
  int deleted = 0;
  for (AcDbObjectId id : tableRecords(database, kind.keyword)) {
    std::string name = recordName(id);
    if (isProtected(kind.keyword, name) || refs.used.count(id) != 0) continue;
    bool named = false;
    for (const std::string& pattern : nameList(names)) named |= matchesName(pattern, name);
    if (!named) continue;
    if (verify) {
      std::string answer;
      int status = getKeyword(
          "\nPurge " + std::string(kind.singular) + " \"" + name + "\"? <N>: ", "Yes No", answer);
      if (status == RTCAN) return status;
      if (answer != "Yes") continue;
    }
    AcDbObject* record = nullptr;
    if (acdbOpenObject(record, id, AcDb::kForWrite) != Acad::eOk) continue;
    say("\nDeleting " + std::string(kind.singular) + " \"" + name + "\".");
    record->erase();
    record->close();
    ++deleted;
  }
  if (deleted == 0) {
    say("\nNo unreferenced " + std::string(kind.plural) + " found.");
  } else {
    say("\n" + std::to_string(deleted) + " " + (deleted == 1 ? kind.singular : kind.plural) +
        " deleted.");
  }
  return RTNORM;
}

}  // namespace

int purgeCommand() {
  if (drawing() == nullptr) return RTERROR;
  std::string option;
  int status = getKeyword(
      "\nEnter type of unused objects to purge "
      "[Blocks/Dimstyles/Groups/LAyers/LTypes/MAterials/MUltileaderstyles/Plotstyles/SHapes/"
      "textSTyles/Mlinestyles/Tablestyles/Visualstyles/Regapps/Zero-length geometry/Empty text "
      "objects/All]: ",
      "Blocks Dimstyles Groups LAyers LTypes MAterials MUltileaderstyles Plotstyles SHapes "
      "textSTyles Mlinestyles Tablestyles Visualstyles Regapps Zero-length Empty All",
      option, RSG_NONULL);
  if (status != RTNORM) return status;
  std::string names;
  status = getText("\nEnter name(s) to purge <*>: ", names);
  if (status != RTNORM) return status;
  if (names.empty()) names = "*";
  std::string answer;
  status = getKeyword("\nVerify each name to be purged? [Yes/No] <Y>: ", "Yes No", answer);
  if (status == RTCAN) return status;
  bool verify = answer != "No";
  for (const Kind& kind : kKinds) {
    if (option != "All" && option != kind.keyword) continue;
    status = purgeKind(kind, names, verify);
    if (status == RTCAN) return status;
  }
  return RTNORM;
}

}  // namespace tabrik::acad::command
