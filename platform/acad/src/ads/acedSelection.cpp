// Entity picks and selection sets of the ads interface. Picks take points from the
// input queue; during acedSSGet each point picks, "C" followed by two points selects
// by crossing window, "W" by window, and Enter ends.
#include <string>

#include "acedads.h"
#include "ads/WideText.h"
#include "doc/DocManager.h"
#include "host/Console.h"
#include "host/HostState.h"
#include "input/UserInput.h"
#include "select/Selection.h"

using namespace tabrik::acad;

namespace {

AcDbDatabase* workingDatabase() { return acdbHostApplicationServices()->workingDatabase(); }

void addUnique(std::vector<AcDbObjectId>& ids, AcDbObjectId id) {
  for (const AcDbObjectId& present : ids) {
    if (present == id) return;
  }
  ids.push_back(id);
}

std::optional<std::array<double, 3>> corner(const char* prompt) {
  InputQuery query;
  query.want = InputWant::kCorner;
  query.prompt = prompt;
  InputAnswer answer = requestUserInput(query);
  if (answer.status != RTNORM) return std::nullopt;
  return std::array<double, 3>{answer.point[0], answer.point[1], answer.point[2]};
}

// The interactive selection: RTNORM with the ids, RTCAN on Escape.
int selectInteractively(std::vector<AcDbObjectId>& ids, bool single) {
  writeConsole(std::string_view("\nSelect objects: "));
  while (true) {
    InputQuery query;
    query.want = InputWant::kPoint;
    query.keywords = "Crossing Window";
    InputAnswer answer = requestUserInput(query);
    if (answer.status == RTCAN) return RTCAN;
    if (answer.status == RTNONE) return RTNORM;
    if (answer.status == RTKWORD) {
      auto first = corner("\nFirst corner: ");
      auto second = first ? corner("\nOther corner: ") : std::nullopt;
      if (!second) return RTCAN;
      for (AcDbObjectId id : windowSelect(workingDatabase(), first->data(), second->data(), answer.text == "Crossing")) {
        addUnique(ids, id);
      }
    } else if (auto picked = pickEntity(workingDatabase(), answer.point)) {
      addUnique(ids, *picked);
    } else {
      hostState().errnoValue = 7;
    }
    if (single && !ids.empty()) return RTNORM;
  }
}

std::string modeOf(const ACHAR* mode) {
  std::string text = mode ? toUtf8(mode) : std::string();
  if (!text.empty() && text[0] == '_') text.erase(0, 1);
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

int acedEntSel(const ACHAR* prompt, ads_name entity, ads_point point) {
  InputQuery query;
  query.want = InputWant::kPoint;
  query.prompt = prompt ? toUtf8(prompt) : std::string("\nSelect object: ");
  InputAnswer answer = requestUserInput(query);
  if (answer.status != RTNORM) return answer.status;
  std::optional<AcDbObjectId> picked = pickEntity(workingDatabase(), answer.point);
  if (!picked || entity == nullptr || !entityName(*picked, entity)) {
    hostState().errnoValue = 7;
    return RTERROR;
  }
  if (point != nullptr) {
    for (int i = 0; i < 3; ++i) point[i] = answer.point[i];
  }
  return RTNORM;
}

int acedSSGet(const ACHAR* mode, const void* arg1, const void* arg2, const resbuf* filter, ads_name selection) {
  if (selection == nullptr) return RTERROR;
  std::string reason;
  if (!filterIsSupported(filter, reason)) {
    hostDiagnostic(reason);
    return RTERROR;
  }
  std::string kind = modeOf(mode);
  std::vector<AcDbObjectId> ids;
  const auto* p1 = static_cast<const ads_real*>(arg1);
  const auto* p2 = static_cast<const ads_real*>(arg2);
  if (kind.empty() || kind == ":S") {
    int status = selectInteractively(ids, kind == ":S");
    if (status != RTNORM) return status;
  } else if (kind == "X") {
    ids = allEntities(workingDatabase());
  } else if ((kind == "C" || kind == "W") && p1 != nullptr && p2 != nullptr) {
    ids = windowSelect(workingDatabase(), p1, p2, kind == "C");
  } else if ((kind == "CP" || kind == "WP") && arg1 != nullptr) {
    // The polygon's bounding window stands for the polygon.
    const auto* points = static_cast<const resbuf*>(arg1);
    double low[3] = {1e300, 1e300, 0};
    double high[3] = {-1e300, -1e300, 0};
    for (const resbuf* rb = points; rb != nullptr; rb = rb->rbnext) {
      if (rb->restype != RTPOINT && rb->restype != RT3DPOINT) continue;
      for (int i = 0; i < 2; ++i) {
        low[i] = std::min(low[i], rb->resval.rpoint[i]);
        high[i] = std::max(high[i], rb->resval.rpoint[i]);
      }
    }
    if (low[0] > high[0]) return RTERROR;
    ids = windowSelect(workingDatabase(), low, high, kind == "CP");
  } else if (kind == "L") {
    std::vector<AcDbObjectId> all = allEntities(workingDatabase());
    if (!all.empty()) ids.push_back(all.back());
  } else {
    hostDiagnostic("acedSSGet: selection mode \"" + kind + "\" is not available in this host");
    return RTERROR;
  }
  std::vector<AcDbObjectId> kept;
  for (AcDbObjectId id : ids) {
    if (matchesFilter(id, filter)) kept.push_back(id);
  }
  if (kept.empty()) return RTERROR;
  newSelectionSet(std::move(kept), selection);
  return RTNORM;
}

int acedSSFree(const ads_name selection) { return freeSelectionSet(selection) ? RTNORM : RTERROR; }

int acedSSLength(const ads_name selection, std::int32_t* length) {
  std::vector<AcDbObjectId>* ids = selectionSet(selection);
  if (ids == nullptr || length == nullptr) return RTERROR;
  *length = static_cast<std::int32_t>(ids->size());
  return RTNORM;
}

int acedSSName(const ads_name selection, std::int32_t index, ads_name entity) {
  std::vector<AcDbObjectId>* ids = selectionSet(selection);
  if (ids == nullptr || entity == nullptr || index < 0 || static_cast<size_t>(index) >= ids->size()) return RTERROR;
  return entityName((*ids)[index], entity) ? RTNORM : RTERROR;
}

int acedSSAdd(const ads_name entity, const ads_name selection, ads_name result) {
  if (result == nullptr) return RTERROR;
  std::optional<AcDbObjectId> id;
  if (entity != nullptr) {
    id = entityId(entity);
    if (!id) return RTERROR;
  }
  if (selection == nullptr) {
    std::vector<AcDbObjectId> ids;
    if (id) ids.push_back(*id);
    newSelectionSet(std::move(ids), result);
    return RTNORM;
  }
  std::vector<AcDbObjectId>* ids = selectionSet(selection);
  if (ids == nullptr) return RTERROR;
  if (id) addUnique(*ids, *id);
  result[0] = selection[0];
  result[1] = selection[1];
  return RTNORM;
}
