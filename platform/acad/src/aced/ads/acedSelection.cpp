// Entity picks and selection sets of the ads interface. Picks take points from the
// input queue. acedSSGet's mode string is a base mode with colon options:
//
// | mode     | arg1                     | arg2             | selects                         |
// |----------|--------------------------|------------------|---------------------------------|
// | (none)   | -                        | -                | interactively (below)           |
// | C, W     | first corner (ads_point) | other corner     | crossing / inside the window    |
// | CP, WP   | polygon (point resbufs)  | -                | crossing / inside the polygon   |
// | F        | fence (point resbufs)    | -                | what the fence line crosses     |
// | X        | -                        | -                | everything (with the filter)    |
// | L, P, I  | -                        | -                | last entity, previous set, the  |
// |          |                          |                  | implied (pickfirst) set         |
// | :S       | single: one pick or window ends the selection                               |
// | :E       | a pick takes everything within the pick box, not only the nearest           |
// | :$       | const ACHAR* const[2]: the select and the remove prompt                     |
// | :K       | the keyword list (arg2 with :$, else arg1); a keyword typed calls the       |
// |          | keyword callback, or ends the selection when none is set                    |
//
// Interactively each point picks, Enter ends, Escape cancels, and the host's keywords
// Window, Crossing, WPolygon, CPolygon, Fence, ALL, Last, Previous, Remove and Add do
// what their names say. An underscore before a mode or keyword is ignored. A selection
// that ends empty is RTERROR, never an empty set; one that ends with entities becomes
// the previous selection.
#include <algorithm>
#include <string>

#include "acedads.h"
#include "acdb/acut/WideText.h"
#include "aced/bridge/EntityFilter.h"
#include "aced/doc/DocManager.h"
#include "acdb/acut/Console.h"
#include "aced/host/HostState.h"
#include "aced/input/UserInput.h"
#include "aced/select/Selection.h"

using namespace tabrik::acad;

namespace {

using Point = std::array<double, 3>;

const char* const kHostKeywords =
    "Window Crossing WPolygon CPolygon Fence Add ALL Last Previous Remove";

resbuf* (*g_keywordCallback)(const ACHAR*) = nullptr;

AcDbDatabase* workingDatabase() { return acdbHostApplicationServices()->workingDatabase(); }

void addUnique(std::vector<AcDbObjectId>& ids, AcDbObjectId id) {
  if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
}

void removeId(std::vector<AcDbObjectId>& ids, AcDbObjectId id) { std::erase(ids, id); }

std::optional<Point> askPoint(const char* prompt, bool nullEnds) {
  InputQuery query;
  query.want = InputWant::kCorner;
  query.prompt = prompt;
  InputAnswer answer = requestUserInput(query);
  if (answer.status == RTNONE && nullEnds) return std::nullopt;
  if (answer.status != RTNORM) return std::nullopt;
  return Point{answer.point[0], answer.point[1], answer.point[2]};
}

// Corners of a polygon or points of a fence, until Enter; nothing on Escape.
std::optional<std::vector<Point>> askPoints(const char* first, const char* next) {
  std::vector<Point> points;
  while (true) {
    InputQuery query;
    query.want = InputWant::kPoint;
    query.prompt = points.empty() ? first : next;
    InputAnswer answer = requestUserInput(query);
    if (answer.status == RTCAN) return std::nullopt;
    if (answer.status != RTNORM) return points;
    points.push_back(Point{answer.point[0], answer.point[1], answer.point[2]});
  }
}

// The entities an object token names (an erased or unknown one names none).
std::vector<AcDbObjectId> objectsOf(const std::string& token) {
  bool isSet = false;
  ads_name name;
  if (!parseObjectToken(token, isSet, name)) return {};
  if (isSet) {
    std::vector<AcDbObjectId>* members = selectionSet(name);
    return members ? *members : std::vector<AcDbObjectId>{};
  }
  std::optional<AcDbObjectId> id = entityId(name);
  if (!id) return {};
  return {*id};
}

std::vector<Point> pointsOf(const void* arg) {
  std::vector<Point> points;
  for (const resbuf* rb = static_cast<const resbuf*>(arg); rb != nullptr; rb = rb->rbnext) {
    if (rb->restype != RTPOINT && rb->restype != RT3DPOINT) continue;
    points.push_back(Point{rb->resval.rpoint[X], rb->resval.rpoint[Y],
                           rb->restype == RTPOINT ? 0.0 : rb->resval.rpoint[Z]});
  }
  return points;
}

struct Mode {
  std::string base;  // C, W, CP, WP, F, X, L, P, I or empty
  bool single = false;
  bool everything = false;
  bool prompts = false;
  bool keywords = false;
};

Mode parseMode(const ACHAR* text) {
  Mode mode;
  std::string raw = text ? toUtf8(text) : std::string();
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(raw[i])));
    if (c == '_' || c == ' ') continue;
    if (c == ':' && i + 1 < raw.size()) {
      char option = static_cast<char>(std::toupper(static_cast<unsigned char>(raw[++i])));
      mode.single |= option == 'S';
      mode.everything |= option == 'E';
      mode.prompts |= option == '$';
      mode.keywords |= option == 'K';
      continue;
    }
    mode.base.push_back(c);
  }
  return mode;
}

class InteractiveSelection {
 public:
  InteractiveSelection(const Mode& mode, std::string selectPrompt, std::string removePrompt,
                       std::string keywords)
      : m_mode(mode),
        m_selectPrompt(std::move(selectPrompt)),
        m_removePrompt(std::move(removePrompt)),
        m_keywords(std::move(keywords)) {}

  // RTNORM when the selection ended (Enter, or after one choice with :S), RTCAN on
  // Escape; ids holds what was chosen.
  int run(std::vector<AcDbObjectId>& ids) {
    writeConsole(m_selectPrompt);
    while (true) {
      InputQuery query;
      query.want = InputWant::kPoint;
      query.initgetBits = RSG_OTHER;  // keywords are matched here, the module's first
      query.shownPrompt = m_removing ? m_removePrompt : m_selectPrompt;
      query.acceptsObjects = true;
      InputAnswer answer = requestUserInput(query);
      if (answer.status == RTCAN) return RTCAN;
      if (answer.status == RTNONE) return RTNORM;
      if (answer.status == RTENAME || answer.status == RTPICKS) {
        choose(ids, objectsOf(answer.text));
      } else if (answer.status == RTNORM) {
        pick(ids, answer.point);
      } else if (std::optional<std::string> keyword = moduleKeyword(answer.text)) {
        setLastKeywordInput(*keyword);
        if (g_keywordCallback == nullptr) return RTNORM;
        int status = callBack(ids, *keyword);
        if (status != RTNORM) return status;
      } else if (std::optional<std::string> keyword = matchKeyword(kHostKeywords, answer.text)) {
        if (hostKeyword(ids, *keyword) == RTCAN) return RTCAN;
      } else {
        writeConsole(std::string_view(
            "\n*Invalid selection*\nExpects a point or "
            "Window/Last/Crossing/ALL/Fence/WPolygon/CPolygon/Add/Remove/Previous\n"));
        continue;
      }
      if (m_mode.single && !ids.empty()) return RTNORM;
    }
  }

 private:
  std::optional<std::string> moduleKeyword(const std::string& text) const {
    if (!m_mode.keywords || m_keywords.empty()) return std::nullopt;
    return matchKeyword(m_keywords, text);
  }

  void choose(std::vector<AcDbObjectId>& ids, const std::vector<AcDbObjectId>& chosen) {
    for (AcDbObjectId id : chosen) {
      if (m_removing) {
        removeId(ids, id);
      } else {
        addUnique(ids, id);
      }
    }
  }

  void pick(std::vector<AcDbObjectId>& ids, const double point[3]) {
    if (m_mode.everything) {
      std::vector<AcDbObjectId> near = pickAll(workingDatabase(), point);
      if (near.empty()) hostState().errnoValue = 7;
      choose(ids, near);
      return;
    }
    std::optional<AcDbObjectId> picked = pickEntity(workingDatabase(), point);
    if (!picked) {
      hostState().errnoValue = 7;
      return;
    }
    choose(ids, {*picked});
  }

  int hostKeyword(std::vector<AcDbObjectId>& ids, const std::string& keyword) {
    AcDbDatabase* database = workingDatabase();
    if (keyword == "Window" || keyword == "Crossing") {
      std::optional<Point> first = askPoint("\nSpecify first corner: ", false);
      std::optional<Point> second =
          first ? askPoint("\nSpecify opposite corner: ", false) : std::nullopt;
      if (!second) return RTCAN;
      choose(ids, windowSelect(database, first->data(), second->data(), keyword == "Crossing"));
    } else if (keyword == "WPolygon" || keyword == "CPolygon" || keyword == "Fence") {
      bool fence = keyword == "Fence";
      auto points = askPoints(fence ? "\nSpecify first fence point: " : "\nFirst polygon point: ",
                              fence ? "\nSpecify next fence point or [Undo]: "
                                    : "\nSpecify endpoint of line or [Undo]: ");
      if (!points) return RTCAN;
      choose(ids, fence ? fenceSelect(database, *points)
                        : polygonSelect(database, *points, keyword == "CPolygon"));
    } else if (keyword == "ALL") {
      choose(ids, allEntities(database));
    } else if (keyword == "Last") {
      std::vector<AcDbObjectId> all = allEntities(database);
      if (!all.empty()) choose(ids, {all.back()});
    } else if (keyword == "Previous") {
      choose(ids, previousSelection());
    } else if (keyword == "Remove") {
      m_removing = true;
      writeConsole(m_removePrompt);
    } else if (keyword == "Add") {
      m_removing = false;
      writeConsole(m_selectPrompt);
    }
    return RTNORM;
  }

  // The module's keyword callback answers with what to do: entities or a set to add,
  // a new prompt, or cancel.
  int callBack(std::vector<AcDbObjectId>& ids, const std::string& keyword) {
    resbuf* answer = g_keywordCallback(fromUtf8(keyword).c_str());
    int status = RTNORM;
    for (const resbuf* rb = answer; rb != nullptr; rb = rb->rbnext) {
      if (rb->restype == RTPICKS) {
        if (std::vector<AcDbObjectId>* members = selectionSet(rb->resval.rlname))
          choose(ids, *members);
      } else if (rb->restype == RTENAME) {
        if (std::optional<AcDbObjectId> id = entityId(rb->resval.rlname)) choose(ids, {*id});
      } else if (rb->restype == RTSTR && rb->resval.rstring != nullptr) {
        writeConsole(std::wstring_view(rb->resval.rstring));
      } else if (rb->restype == RTCAN) {
        status = RTCAN;
      }
    }
    acutRelRb(answer);
    return status;
  }

  Mode m_mode;
  std::string m_selectPrompt;
  std::string m_removePrompt;
  std::string m_keywords;
  bool m_removing = false;
};

std::string promptText(const ACHAR* prompt, const char* fallback) {
  if (prompt == nullptr) return fallback;
  return toUtf8(prompt);
}

// The ids the mode chooses: RTNORM, RTCAN on Escape, RTERROR for a mode or arguments
// the host does not take.
int chooseByMode(const Mode& mode, const void* arg1, const void* arg2,
                 std::vector<AcDbObjectId>& ids) {
  AcDbDatabase* database = workingDatabase();
  const std::string& base = mode.base;
  if (base.empty()) {
    std::string selectPrompt = "\nSelect objects: ";
    std::string removePrompt = "\nRemove objects: ";
    const void* keywordArg = arg1;
    if (mode.prompts) {
      const auto* pair = static_cast<const ACHAR* const*>(arg1);
      if (pair != nullptr) {
        selectPrompt = promptText(pair[0], "\nSelect objects: ");
        removePrompt = promptText(pair[1], "\nRemove objects: ");
      }
      keywordArg = arg2;
    }
    std::string keywords;
    if (mode.keywords && keywordArg != nullptr)
      keywords = toUtf8(static_cast<const ACHAR*>(keywordArg));
    InteractiveSelection selection(mode, selectPrompt, removePrompt, keywords);
    return selection.run(ids);
  }
  if (base == "X") {
    // The whole drawing, whatever space is current.
    ids = drawingEntities(database);
  } else if (base == "A" || base == "ALL") {
    ids = allEntities(database);
  } else if (base == "C" || base == "W") {
    if (arg1 == nullptr || arg2 == nullptr) return RTERROR;
    ids = windowSelect(database, static_cast<const ads_real*>(arg1),
                       static_cast<const ads_real*>(arg2), base == "C");
  } else if (base == "CP" || base == "WP") {
    std::vector<Point> polygon = pointsOf(arg1);
    if (polygon.size() < 3) return RTERROR;
    ids = polygonSelect(database, polygon, base == "CP");
  } else if (base == "F") {
    std::vector<Point> fence = pointsOf(arg1);
    if (fence.size() < 2) return RTERROR;
    ids = fenceSelect(database, fence);
  } else if (base == "L") {
    std::vector<AcDbObjectId> all = allEntities(database);
    if (!all.empty()) ids.push_back(all.back());
  } else if (base == "P") {
    ids = previousSelection();
  } else if (base == "I") {
    ids = impliedSelection();
  } else {
    hostDiagnostic("acedSSGet: selection mode \"" + base + "\" is not available in this host");
    return RTERROR;
  }
  return RTNORM;
}

}  // namespace

int acedEntSel(const ACHAR* prompt, ads_name entity, ads_point point) {
  InputQuery query;
  query.want = InputWant::kPoint;
  query.prompt = prompt ? toUtf8(prompt) : std::string("\nSelect object: ");
  query.acceptsObjects = true;
  takePendingInitGet(query.initgetBits, query.keywords);
  InputAnswer answer = requestUserInput(query);
  if (answer.status == RTKWORD || answer.status == RTCAN) return answer.status;
  if (answer.status == RTENAME || answer.status == RTPICKS) {
    // A name given for the pick (a command's argument): the entity itself, or the
    // first of a set's.
    std::vector<AcDbObjectId> named = objectsOf(answer.text);
    if (named.empty() || entity == nullptr || !entityName(named.front(), entity)) {
      hostState().errnoValue = 7;
      return RTERROR;
    }
    if (point != nullptr) point[0] = point[1] = point[2] = 0.0;
    return RTNORM;
  }
  if (answer.status == RTNONE) {
    // Enter picks nothing: the host tells it from a miss by ERRNO 52.
    hostState().errnoValue = 52;
    return RTERROR;
  }
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

int acedSSGet(const ACHAR* mode, const void* arg1, const void* arg2, const resbuf* filter,
              ads_name selection) {
  if (selection == nullptr) return RTERROR;
  std::string reason;
  if (!filterIsWellFormed(filter, reason)) {
    hostDiagnostic(reason);
    return RTERROR;
  }
  std::vector<AcDbObjectId> ids;
  int status = chooseByMode(parseMode(mode), arg1, arg2, ids);
  if (status != RTNORM) return status;
  std::vector<AcDbObjectId> kept;
  for (AcDbObjectId id : ids) {
    if (entityPassesFilter(id, filter)) kept.push_back(id);
  }
  if (kept.empty()) return RTERROR;
  setPreviousSelection(kept);
  newSelectionSet(std::move(kept), selection);
  return RTNORM;
}

int acedSSSetKwordCallbackPtr(resbuf* (*callback)(const ACHAR*)) {
  g_keywordCallback = callback;
  return RTNORM;
}

int acedSSGetKwordCallbackPtr(resbuf* (**callback)(const ACHAR*)) {
  if (callback == nullptr) return RTERROR;
  *callback = g_keywordCallback;
  return RTNORM;
}

int acedSSSetFirst(const ads_name pickfirst, const ads_name) {
  if (pickfirst == nullptr) {
    setImpliedSelection({});
    return RTNORM;
  }
  std::vector<AcDbObjectId>* ids = selectionSet(pickfirst);
  if (ids == nullptr) return RTERROR;
  setImpliedSelection(*ids);
  return RTNORM;
}

int acedSSGetFirst(resbuf** gripped, resbuf** pickfirst) {
  if (gripped != nullptr) *gripped = nullptr;
  if (pickfirst == nullptr) return RTNORM;
  *pickfirst = nullptr;
  std::vector<AcDbObjectId> ids = impliedSelection();
  if (ids.empty()) return RTNORM;
  resbuf* rb = acutNewRb(RTPICKS);
  newSelectionSet(std::move(ids), rb->resval.rlname);
  *pickfirst = rb;
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
  if (ids == nullptr || entity == nullptr || index < 0 || static_cast<size_t>(index) >= ids->size())
    return RTERROR;
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

int acedSSDel(const ads_name entity, const ads_name selection) {
  std::vector<AcDbObjectId>* ids = selectionSet(selection);
  std::optional<AcDbObjectId> id = entity ? entityId(entity) : std::nullopt;
  if (ids == nullptr || !id) return RTERROR;
  auto found = std::find(ids->begin(), ids->end(), *id);
  if (found == ids->end()) return RTERROR;
  ids->erase(found);
  return RTNORM;
}

int acedSSMemb(const ads_name entity, const ads_name selection) {
  std::vector<AcDbObjectId>* ids = selectionSet(selection);
  std::optional<AcDbObjectId> id = entity ? entityId(entity) : std::nullopt;
  if (ids == nullptr || !id) return RTERROR;
  return std::find(ids->begin(), ids->end(), *id) == ids->end() ? RTERROR : RTNORM;
}
