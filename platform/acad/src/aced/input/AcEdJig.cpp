// The host's drag loop of dbjig.h over the input queue: cursor motions ("~x,y") are
// sampled and redrawn, everything else ends the drag. The jig's own geometry and its
// results belong to the jig; this file owns the loop, the acquire calls and the record
// of drags that tests read through tabrik/JigTrace.h.
#include "dbjig.h"

#include <array>
#include <cmath>
#include <cstdarg>
#include <cwchar>
#include <deque>

#include "adscodes.h"
#include "acdb/acut/WideFormat.h"
#include "acdb/acut/WideText.h"
#include "dbmain.h"
#include "dbsymtb.h"
#include "acdb/acut/Console.h"
#include "aced/host/HostState.h"
#include "aced/input/UserInput.h"
#include "tabrik/JigTrace.h"

using namespace tabrik::acad;

namespace {

constexpr size_t kKeptDrags = 256;

std::deque<JigDrag>& drags() {
  static auto* kept = new std::deque<JigDrag>();
  return *kept;
}

void say(const char* message) { writeConsole(std::string_view(message)); }

// One input as the drag sees it.
struct JigInput {
  enum Kind { kCancel, kEnter, kMotion, kPick, kText } kind = kCancel;
  std::array<double, 3> point{0, 0, 0};
  std::string text;
};

std::optional<double> parseNumber(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  size_t last = text.find_last_not_of(' ');
  std::string t = text.substr(first, last - first + 1);
  char* end = nullptr;
  double value = std::strtod(t.c_str(), &end);
  if (end == t.c_str() || *end != '\0' || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::array<double, 3> arrayOf(const AcGePoint3d& p) { return {p.x, p.y, p.z}; }

// ORTHOMODE as the host holds it.
bool orthoModeOn() { return hostState().orthoMode; }

// The cursor held to the horizontal or vertical through the base, whichever is
// nearer: the axis of the larger offset keeps it, the other takes the base's.
std::array<double, 3> orthoPoint(const std::array<double, 3>& point,
                                 const std::array<double, 3>& base) {
  std::array<double, 3> held = point;
  if (std::fabs(point[0] - base[0]) >= std::fabs(point[1] - base[1])) {
    held[1] = base[1];
  } else {
    held[0] = base[0];
  }
  held[2] = base[2];
  return held;
}

// "@dx,dy[,dz]" (or "@" alone): an offset from the origin it is given.
std::optional<std::array<double, 3>> relativePoint(const std::string& text,
                                                   const std::array<double, 3>& from) {
  if (text.empty() || text[0] != '@') return std::nullopt;
  std::string rest = text.substr(1);
  if (rest.find_first_not_of(' ') == std::string::npos) return from;
  std::optional<std::array<double, 3>> offset = parsePoint(rest);
  if (!offset) return std::nullopt;
  return std::array<double, 3>{from[0] + (*offset)[0], from[1] + (*offset)[1],
                               from[2] + (*offset)[2]};
}

}  // namespace

struct AcEdJig::Impl {
  std::wstring prompt;
  std::wstring keywords;
  CursorType cursor = kNoSpecialCursor;
  UserInputControls controls = UserInputControls(0);

  // State of one sample: set by the acquire call, read by drag().
  bool dragging = false;
  bool tookInput = false;
  bool final = false;
  DragStatus acquired = kNormal;
  JigDrag record;
  // The last point sampled: the origin of angles and distances without a base point
  // and the direction of a typed distance.
  std::optional<std::array<double, 3>> lastPoint;

  bool has(UserInputControls bit) const { return (controls & bit) != 0; }

  JigInput next(JigSample::Acquire acquire, const AcGePoint3d* base) {
    // Inside a command the command's own input (its arguments, a script) answers.
    InputQuery query;
    query.want = acquire == JigSample::kString ? InputWant::kString : InputWant::kPoint;
    query.prompt = toUtf8(prompt);
    query.allowSpaces = acquire == JigSample::kString;
    while (true) {
      std::optional<std::string> token = takeInputToken(query);
      if (token && *token == kRepromptToken) continue;  // a transparent command ran
      tookInput = true;
      if (dragging) {
        JigSample sample;
        sample.acquire = acquire;
        if (base != nullptr) sample.base = *base;
        sample.cursor = cursor;
        sample.controls = controls;
        sample.input = token.value_or("*cancel*");
        record.samples.push_back(sample);
      }
      JigInput input;
      if (!token || *token == "*cancel*") return input;
      std::string text = *token;
      if (!text.empty() && text.back() == '\r') text.pop_back();
      if (!text.empty() && text[0] == '~') {
        std::optional<std::array<double, 3>> point = parsePoint(text.substr(1));
        if (!point) continue;  // a motion that names no point moves nothing
        input.kind = JigInput::kMotion;
        input.point = *point;
        return input;
      }
      input.text = text;
      if (text.find_first_not_of(" \t") == std::string::npos) {
        input.kind = JigInput::kEnter;
        return input;
      }
      if (std::optional<std::array<double, 3>> point = parsePoint(text)) {
        input.kind = JigInput::kPick;
        input.point = *point;
        return input;
      }
      input.kind = JigInput::kText;
      return input;
    }
  }

  // A cursor position as the drag sees it: with a base point, ortho mode on and the
  // jig governed by it, held to the horizontal or vertical through the base.
  std::array<double, 3> governed(const std::array<double, 3>& point,
                                 const AcGePoint3d* base) const {
    if (base == nullptr || !has(kGovernedByOrthoMode) || !orthoModeOn()) return point;
    return orthoPoint(point, arrayOf(*base));
  }

  DragStatus end(DragStatus status) {
    final = true;
    acquired = status;
    return status;
  }

  // What ends an acquire whatever it asks for: Escape, Enter, a keyword, other text.
  // Nothing when the input is the acquire's own to read.
  std::optional<DragStatus> common(const JigInput& input, bool& retry) {
    retry = false;
    switch (input.kind) {
      case JigInput::kCancel:
        return end(kCancel);
      case JigInput::kEnter:
        if (has(kNullResponseAccepted)) return end(kNull);
        retry = true;  // the host ignores Enter where no null answer is accepted
        return std::nullopt;
      case JigInput::kText:
        if (std::optional<size_t> index = matchKeywordIndex(toUtf8(keywords), input.text)) {
          setLastKeywordInput(*matchKeyword(toUtf8(keywords), input.text));
          return end(*index < 9 ? static_cast<DragStatus>(kKW1 + *index) : kOther);
        }
        return std::nullopt;
      default:
        return std::nullopt;
    }
  }

  DragStatus other(const JigInput& input, const char* message, bool& retry) {
    if (has(kAcceptOtherInputString)) {
      setLastKeywordInput(input.text);
      return end(kOther);
    }
    say(message);
    retry = true;
    return kNoChange;
  }

  bool acceptable(double value) const {
    if (has(kNoZeroResponseAccepted) && value == 0) {
      say("\nValue must be nonzero.\n");
      return false;
    }
    if (has(kNoNegativeResponseAccepted) && value < 0) {
      say("\nValue must be positive.\n");
      return false;
    }
    return true;
  }

  DragStatus point(AcGePoint3d& result, const AcGePoint3d* base) {
    while (true) {
      JigInput input = next(JigSample::kPoint, base);
      bool retry = false;
      if (std::optional<DragStatus> status = common(input, retry)) return *status;
      if (retry) continue;
      if (input.kind == JigInput::kMotion || input.kind == JigInput::kPick) {
        std::array<double, 3> at = governed(input.point, base);
        result.set(at[0], at[1], at[2]);
        lastPoint = at;
        return input.kind == JigInput::kPick ? end(kNormal) : kNormal;
      }
      // Typed relative to the base point (the last point without one): never held by
      // ortho, as typed coordinates are not.
      std::array<double, 3> origin =
          base ? arrayOf(*base) : lastPoint.value_or(std::array<double, 3>{0, 0, 0});
      if (std::optional<std::array<double, 3>> at = relativePoint(input.text, origin)) {
        result.set((*at)[0], (*at)[1], (*at)[2]);
        lastPoint = *at;
        return end(kNormal);
      }
      // A distance typed from the base point runs toward the cursor.
      std::optional<double> distance = parseNumber(input.text);
      if (distance && base != nullptr && lastPoint && !has(kDisableDirectDistanceInput)) {
        std::array<double, 3> from = arrayOf(*base);
        double length = distanceBetween(from, *lastPoint, /*planar=*/false);
        if (length > 0) {
          double k = *distance / length;
          result.set(from[0] + ((*lastPoint)[0] - from[0]) * k,
                     from[1] + ((*lastPoint)[1] - from[1]) * k,
                     from[2] + ((*lastPoint)[2] - from[2]) * k);
          lastPoint = arrayOf(result);
          return end(kNormal);
        }
      }
      DragStatus status = other(input, "\nInvalid point.\n", retry);
      if (!retry) return status;
    }
  }

  DragStatus angle(double& result, const AcGePoint3d* base) {
    while (true) {
      JigInput input = next(JigSample::kAngle, base);
      bool retry = false;
      if (std::optional<DragStatus> status = common(input, retry)) return *status;
      if (retry) continue;
      if (input.kind == JigInput::kMotion || input.kind == JigInput::kPick) {
        std::array<double, 3> from =
            base ? arrayOf(*base) : lastPoint.value_or(std::array<double, 3>{0, 0, 0});
        result = planarAngle(from, governed(input.point, base));
        return input.kind == JigInput::kPick ? end(kNormal) : kNormal;
      }
      if (std::optional<double> degrees = parseNumber(input.text)) {
        result = *degrees * M_PI / 180.0;
        return end(kNormal);
      }
      DragStatus status = other(input, "\nRequires valid numeric angle or second point.\n", retry);
      if (!retry) return status;
    }
  }

  DragStatus distance(double& result, const AcGePoint3d* base) {
    while (true) {
      JigInput input = next(JigSample::kDistance, base);
      bool retry = false;
      if (std::optional<DragStatus> status = common(input, retry)) return *status;
      if (retry) continue;
      if (input.kind == JigInput::kMotion || input.kind == JigInput::kPick) {
        std::array<double, 3> from =
            base ? arrayOf(*base) : lastPoint.value_or(std::array<double, 3>{0, 0, 0});
        double value = distanceBetween(from, input.point, /*planar=*/!has(kAccept3dCoordinates));
        if (input.kind == JigInput::kMotion) {
          result = value;
          return kNormal;
        }
        if (!acceptable(value)) continue;
        result = value;
        return end(kNormal);
      }
      if (std::optional<double> value = parseNumber(input.text)) {
        if (!acceptable(*value)) continue;
        result = *value;
        return end(kNormal);
      }
      DragStatus status = other(input, "\nRequires numeric distance or two points.\n", retry);
      if (!retry) return status;
    }
  }

  DragStatus string(ACHAR (&result)[2049]) {
    while (true) {
      JigInput input = next(JigSample::kString, nullptr);
      if (input.kind == JigInput::kCancel) return end(kCancel);
      if (input.kind == JigInput::kMotion) continue;
      if (input.kind == JigInput::kEnter && has(kNullResponseAccepted)) return end(kNull);
      if (input.kind == JigInput::kText) {
        bool retry = false;
        if (std::optional<DragStatus> status = common(input, retry)) return *status;
      }
      std::wstring text = fromUtf8(input.kind == JigInput::kEnter ? std::string() : input.text);
      if (text.size() > 2048) text.resize(2048);
      std::wmemcpy(result, text.c_str(), text.size() + 1);
      return end(kNormal);
    }
  }
};

AcEdJig::AcEdJig() : m_impl(new Impl) {}

AcEdJig::~AcEdJig() { delete m_impl; }

AcEdJig::DragStatus AcEdJig::sampler() { return kNoChange; }

Adesk::Boolean AcEdJig::update() { return Adesk::kTrue; }

AcDbEntity* AcEdJig::entity() const { return nullptr; }

AcEdJig::DragStatus AcEdJig::drag() {
  Impl& m = *m_impl;
  HostState& state = hostState();
  // The terminal shows the prompt itself when it is asked.
  if (threadTokenSource() != nullptr || !state.isInteractive() || state.hasQueuedInput())
    writeConsole(std::wstring_view(m.prompt));
  m.record = JigDrag();
  m.record.prompt = m.prompt;
  m.record.keywords = m.keywords;
  m.dragging = true;
  DragStatus result = kCancel;
  while (true) {
    m.tookInput = false;
    m.final = false;
    DragStatus status = sampler();
    if (!m.tookInput) {
      // Defensive: a sampler that takes no input would wait for the cursor forever.
      result = (status == kNormal || status == kNoChange) ? kCancel : status;
      break;
    }
    if (!m.record.samples.empty()) m.record.samples.back().status = status;
    if (status == kNormal) {
      ++m.record.updates;
      update();
      if (AcDbEntity* shown = entity()) {
        GiRecorder recorder;
        recorder.setDragging(true);
        shown->worldDraw(&recorder);
        m.record.lastDrawing = recorder.primitives();
      }
    }
    if (m.final) {
      // A final pick the sampler found unchanged still ends the drag as picked.
      result = status == kNoChange ? m.acquired : status;
      break;
    }
    if (status != kNormal && status != kNoChange) {
      result = status;
      break;
    }
  }
  m.dragging = false;
  m.record.status = result;
  std::deque<JigDrag>& kept = drags();
  kept.push_back(std::move(m.record));
  if (kept.size() > kKeptDrags) kept.pop_front();
  m.record = JigDrag();
  return result;
}

AcDbObjectId AcEdJig::append() {
  AcDbEntity* shown = entity();
  AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
  if (shown == nullptr || database == nullptr) return AcDbObjectId::kNull;
  AcDbBlockTableRecord* space = nullptr;
  if (acdbOpenObject(space, database->modelSpaceId(), AcDb::kForWrite) != Acad::eOk)
    return AcDbObjectId::kNull;
  AcDbObjectId id;
  Acad::ErrorStatus es = space->appendAcDbEntity(id, shown);
  space->close();
  if (es != Acad::eOk) return AcDbObjectId::kNull;
  shown->close();
  return id;
}

const ACHAR* AcEdJig::keywordList() { return m_impl->keywords.c_str(); }

void AcEdJig::setKeywordList(const ACHAR* keywords) {
  m_impl->keywords = keywords ? keywords : L"";
}

const ACHAR* AcEdJig::dispPrompt() { return m_impl->prompt.c_str(); }

void AcEdJig::setDispPrompt(const ACHAR* prompt, ...) {
  if (prompt == nullptr) {
    m_impl->prompt.clear();
    return;
  }
  va_list args;
  va_start(args, prompt);
  m_impl->prompt = formatWide(prompt, args);
  va_end(args);
}

AcEdJig::DragStatus AcEdJig::acquireString(ACHAR (&text)[2049]) { return m_impl->string(text); }

AcEdJig::DragStatus AcEdJig::acquireAngle(double& angle) { return m_impl->angle(angle, nullptr); }

AcEdJig::DragStatus AcEdJig::acquireAngle(double& angle, const AcGePoint3d& basePoint) {
  return m_impl->angle(angle, &basePoint);
}

AcEdJig::DragStatus AcEdJig::acquireDist(double& distance) {
  return m_impl->distance(distance, nullptr);
}

AcEdJig::DragStatus AcEdJig::acquireDist(double& distance, const AcGePoint3d& basePoint) {
  return m_impl->distance(distance, &basePoint);
}

AcEdJig::DragStatus AcEdJig::acquirePoint(AcGePoint3d& point) {
  return m_impl->point(point, nullptr);
}

AcEdJig::DragStatus AcEdJig::acquirePoint(AcGePoint3d& point, const AcGePoint3d& basePoint) {
  return m_impl->point(point, &basePoint);
}

AcEdJig::CursorType AcEdJig::specialCursorType() { return m_impl->cursor; }

void AcEdJig::setSpecialCursorType(CursorType type) { m_impl->cursor = type; }

AcEdJig::UserInputControls AcEdJig::userInputControls() { return m_impl->controls; }

void AcEdJig::setUserInputControls(UserInputControls controls) { m_impl->controls = controls; }

namespace tabrik::acad {

std::vector<JigDrag> takeJigDrags() {
  std::deque<JigDrag>& kept = drags();
  std::vector<JigDrag> taken(std::make_move_iterator(kept.begin()),
                             std::make_move_iterator(kept.end()));
  kept.clear();
  return taken;
}

}  // namespace tabrik::acad
