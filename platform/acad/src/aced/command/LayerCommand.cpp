// -LAYER: the layer table from the command line. Each option acts on a list of names
// (commas between them, wild cards allowed where the layers exist already) and comes
// back to the option prompt; Enter there ends the command.
#include <functional>

#include "acdb.h"
#include "acedads.h"
#include "aced/command/CommandSupport.h"
#include "aced/command/CoreCommands.h"
#include "dbsymtb.h"

namespace tabrik::acad::command {

namespace {

const char* const kOptionPrompt =
    "\nEnter an option "
    "[?/Make/Set/New/ON/OFF/Color/Ltype/LWeight/MATerial/Plot/Freeze/Thaw/LOck/Unlock/stAte/"
    "Description/rEconcile]: ";
const char* const kOptionKeywords =
    "? Make Set New ON OFF Color Ltype LWeight MATerial Plot Freeze Thaw LOck Unlock stAte "
    "Description rEconcile";

// Makes a layer with the table's defaults; its id, or null when the name is invalid.
AcDbObjectId newLayer(const std::string& name) {
  AcDbObjectId existing = layerId(name);
  if (!existing.isNull()) return existing;
  AcDbLayerTable* table = nullptr;
  if (drawing()->getLayerTable(table, AcDb::kForWrite) != Acad::eOk) return AcDbObjectId();
  auto* record = new AcDbLayerTableRecord;
  AcDbObjectId id;
  if (record->setName(wide(name).c_str()) != Acad::eOk || table->add(id, record) != Acad::eOk) {
    delete record;
    table->close();
    say("\nInvalid layer name: \"" + name + "\"\n");
    return AcDbObjectId();
  }
  AcCmColor white;
  white.setColorIndex(7);
  record->setColor(white);
  record->close();
  table->close();
  return id;
}

// The ids of the existing layers the list names (wild cards match); the names that
// matched none are reported.
std::vector<AcDbObjectId> namedLayers(const std::string& list) {
  std::vector<AcDbObjectId> ids;
  AcDbLayerTable* table = nullptr;
  if (drawing()->getLayerTable(table) != Acad::eOk) return ids;
  for (const std::string& pattern : nameList(list)) {
    bool found = false;
    AcDbLayerTableIterator* it = nullptr;
    table->newIterator(it);
    for (; !it->done(); it->step()) {
      AcDbObjectId id;
      it->getRecordId(id);
      if (matchesName(pattern, recordName(id))) {
        ids.push_back(id);
        found = true;
      }
    }
    delete it;
    if (!found) say("\nNo matching layer names found.\n");
  }
  table->close();
  return ids;
}

void changeLayers(const std::vector<AcDbObjectId>& ids,
                  const std::function<void(AcDbLayerTableRecord*)>& change) {
  for (AcDbObjectId id : ids) {
    AcDbLayerTableRecord* record = nullptr;
    if (acdbOpenObject(record, id, AcDb::kForWrite) != Acad::eOk) continue;
    change(record);
    record->close();
  }
}

bool isCurrent(AcDbObjectId id) { return id == drawing()->clayer(); }

int askList(const std::string& prompt, std::string& list) { return getText(prompt, list); }

int listLayers() {
  std::string pattern;
  int status = getText("\nEnter layer name(s) to list <*>: ", pattern);
  if (status != RTNORM) return status;
  if (pattern.empty()) pattern = "*";
  say("\nLayer name          State    Color  Linetype\n");
  for (AcDbObjectId id : namedLayers(pattern)) {
    AcDbLayerTableRecord* record = nullptr;
    if (acdbOpenObject(record, id, AcDb::kForRead) != Acad::eOk) continue;
    std::string state = record->isOff() ? "Off" : "On";
    if (record->isFrozen()) state += " Frozen";
    if (record->isLocked()) state += " Locked";
    say(recordName(id) + "  " + state + "  " + std::to_string(record->color().colorIndex()) + "  " +
        recordName(record->linetypeObjectId()) + "\n");
    record->close();
  }
  return RTNORM;
}

int colorOption() {
  std::string typed;
  int color = 0;
  while (color == 0) {
    int status = getText("\nNew color [Truecolor/COlorbook] : ", typed);
    if (status != RTNORM) return status;
    if (typed.empty()) return RTNORM;
    color = colorIndexOf(typed);
    if (color == 0) say("\nInvalid color name or number.\n");
  }
  std::string list;
  int status = askList("\nEnter name list of layer(s) for color " + colorText(color) + " <" +
                           recordName(drawing()->clayer()) + ">: ",
                       list);
  if (status != RTNORM) return status;
  if (list.empty()) list = recordName(drawing()->clayer());
  AcCmColor value;
  value.setColorIndex(static_cast<Adesk::UInt16>(color));
  changeLayers(namedLayers(list), [&](AcDbLayerTableRecord* r) { r->setColor(value); });
  return RTNORM;
}

int linetypeOption() {
  std::string name;
  AcDbObjectId linetype;
  while (linetype.isNull()) {
    int status = getText("\nEnter a loaded linetype name or [?] <Continuous>: ", name);
    if (status != RTNORM) return status;
    if (name.empty()) name = "Continuous";
    linetype = linetypeId(name);
    if (linetype.isNull())
      say("\nLinetype \"" + name + "\" not found.  Use LINETYPE command to load it.\n");
  }
  std::string list;
  int status = askList("\nEnter name list of layer(s) for linetype \"" + recordName(linetype) +
                           "\" <" + recordName(drawing()->clayer()) + ">: ",
                       list);
  if (status != RTNORM) return status;
  if (list.empty()) list = recordName(drawing()->clayer());
  changeLayers(namedLayers(list),
               [&](AcDbLayerTableRecord* r) { r->setLinetypeObjectId(linetype); });
  return RTNORM;
}

int makeOption() {
  std::string name;
  int status = getText("\nEnter name for new layer (becomes the current layer) <" +
                           recordName(drawing()->clayer()) + ">: ",
                       name);
  if (status != RTNORM || name.empty()) return status;
  AcDbObjectId id = newLayer(name);
  if (id.isNull()) return RTNORM;
  changeLayers({id}, [](AcDbLayerTableRecord* r) {
    r->setIsOff(false);
    r->setIsFrozen(false);
  });
  drawing()->setClayer(id);
  return RTNORM;
}

int setOption() {
  std::string name;
  while (true) {
    int status = getText("\nEnter layer name to make current or <select object>: ", name);
    if (status != RTNORM || name.empty()) return status;
    AcDbObjectId id = layerId(name);
    if (id.isNull()) {
      say("\nCannot find layer \"" + name + "\".\n");
      continue;
    }
    AcDbLayerTableRecord* record = nullptr;
    bool frozen = false;
    if (acdbOpenObject(record, id, AcDb::kForRead) == Acad::eOk) {
      frozen = record->isFrozen();
      record->close();
    }
    if (frozen) {
      say("\nCannot set frozen layer \"" + recordName(id) + "\" current.\n");
      continue;
    }
    drawing()->setClayer(id);
    return RTNORM;
  }
}

int newOption() {
  std::string list;
  int status = askList("\nEnter name list for new layer(s): ", list);
  if (status != RTNORM) return status;
  for (const std::string& name : nameList(list)) newLayer(name);
  return RTNORM;
}

int offOption() {
  std::string list;
  int status = askList("\nEnter name list of layer(s) to turn off or <select objects>: ", list);
  if (status != RTNORM || list.empty()) return status;
  for (AcDbObjectId id : namedLayers(list)) {
    if (isCurrent(id)) {
      std::string answer;
      status =
          getKeyword("\nReally want layer " + recordName(id) + " (the CURRENT layer) off? <N> ",
                     "Yes No", answer);
      if (status == RTCAN) return status;
      if (answer != "Yes") continue;
    }
    changeLayers({id}, [](AcDbLayerTableRecord* r) { r->setIsOff(true); });
  }
  return RTNORM;
}

int freezeOption() {
  std::string list;
  int status = askList("\nEnter name list of layer(s) to freeze or <select objects>: ", list);
  if (status != RTNORM || list.empty()) return status;
  for (AcDbObjectId id : namedLayers(list)) {
    if (isCurrent(id)) {
      say("\nCannot freeze layer \"" + recordName(id) + "\".  It is the CURRENT layer.\n");
      continue;
    }
    changeLayers({id}, [](AcDbLayerTableRecord* r) { r->setIsFrozen(true); });
  }
  return RTNORM;
}

int simpleOption(const std::string& prompt,
                 const std::function<void(AcDbLayerTableRecord*)>& change) {
  std::string list;
  int status = askList(prompt, list);
  if (status != RTNORM || list.empty()) return status;
  changeLayers(namedLayers(list), change);
  return RTNORM;
}

int runOption(const std::string& option) {
  if (option == "?") return listLayers();
  if (option == "Make") return makeOption();
  if (option == "Set") return setOption();
  if (option == "New") return newOption();
  if (option == "ON")
    return simpleOption("\nEnter name list of layer(s) to turn on: ",
                        [](AcDbLayerTableRecord* r) { r->setIsOff(false); });
  if (option == "OFF") return offOption();
  if (option == "Color") return colorOption();
  if (option == "Ltype") return linetypeOption();
  if (option == "Freeze") return freezeOption();
  if (option == "Thaw")
    return simpleOption("\nEnter name list of layer(s) to thaw: ",
                        [](AcDbLayerTableRecord* r) { r->setIsFrozen(false); });
  if (option == "LOck")
    return simpleOption("\nEnter name list of layer(s) to lock or <select objects>: ",
                        [](AcDbLayerTableRecord* r) { r->setIsLocked(true); });
  if (option == "Unlock")
    return simpleOption("\nEnter name list of layer(s) to unlock or <select objects>: ",
                        [](AcDbLayerTableRecord* r) { r->setIsLocked(false); });
  if (option == "Plot") {
    std::string answer;
    int status =
        getKeyword("\nEnter a plotting preference [Plot/No plot] <Plot>: ", "Plot No", answer);
    if (status == RTCAN) return status;
    bool plot = answer != "No";
    return simpleOption("\nEnter layer name(s) for this plot preference <" +
                            recordName(drawing()->clayer()) + ">: ",
                        [plot](AcDbLayerTableRecord* r) { r->setIsPlottable(plot); });
  }
  say("\nThe " + option + " option is not available in this host.\n");
  return RTNORM;
}

}  // namespace

int layerCommand() {
  if (drawing() == nullptr) return RTERROR;
  say("\nCurrent layer:  \"" + recordName(drawing()->clayer()) + "\"");
  while (true) {
    std::string option;
    int status = getKeyword(kOptionPrompt, kOptionKeywords, option);
    if (status == RTNONE) return RTNORM;
    if (status != RTNORM) return status;
    status = runOption(option);
    if (status == RTCAN) return status;
  }
}

}  // namespace tabrik::acad::command
