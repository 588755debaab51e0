// The host variables of HostVariables.h and the file search of acedFindFile.
#include "aced/host/HostVariables.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>

#include "acdb/acut/WideText.h"
#include "aced/doc/DocManager.h"
#include "aced/host/HostState.h"
#include "acutads.h"
#include "dbsymtb.h"
#include "tabrik/DrawingFiling.h"
#include "tabrik/SystemVariables.h"

namespace tabrik::acad {

namespace {

void setString(resbuf* value, const std::wstring& text) {
  value->restype = RTSTR;
  value->resval.rstring = acutNewString(text.c_str());
}

void setReal(resbuf* value, double real) {
  value->restype = RTREAL;
  value->resval.rreal = real;
}

bool isNumber(const resbuf& value) {
  return value.restype == RTREAL || value.restype == RTSHORT || value.restype == RTLONG;
}

double numberOf(const resbuf& value) {
  if (value.restype == RTREAL) return value.resval.rreal;
  if (value.restype == RTSHORT) return value.resval.rint;
  return value.resval.rlong;
}

std::wstring folderOf(const std::wstring& fileName) {
  size_t slash = fileName.find_last_of(L"/\\");
  return slash == std::wstring::npos ? std::wstring() : fileName.substr(0, slash + 1);
}

std::tm localNow(long* millis) {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  *millis = static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  return local;
}

// CDATE: the local calendar date and time as YYYYMMDD.HHMMSSmsec.
double calendarDate() {
  long millis = 0;
  std::tm local = localNow(&millis);
  double day = (local.tm_year + 1900) * 10000.0 + (local.tm_mon + 1) * 100.0 + local.tm_mday;
  double time = local.tm_hour * 10000.0 + local.tm_min * 100.0 + local.tm_sec + millis / 1000.0;
  return day + time / 1000000.0;
}

// DATE and the TD* variables: the Julian day of the local time, with the time of
// day as its fraction (2440587.5 is the Julian date of 1970-01-01 00:00 UTC).
double julianDate(bool universal) {
  long millis = 0;
  std::tm local = localNow(&millis);
  std::time_t seconds = std::time(nullptr);
  double offset = universal ? 0.0 : static_cast<double>(local.tm_gmtoff);
  return (static_cast<double>(seconds) + offset + millis / 1000.0) / 86400.0 + 2440587.5;
}

// MILLISECS: milliseconds since the session (the process) started.
const auto kSessionStart = std::chrono::steady_clock::now();

long sessionMilliseconds() {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now() - kSessionStart)
                               .count());
}

bool isFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

std::wstring environmentFolder(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  std::string folder = value != nullptr && *value != '\0' ? value : fallback;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return fromUtf8(folder);
}

VariableValue integerValue(long integer) {
  VariableValue value;
  value.type = VariableType::Int;
  value.integer = integer;
  return value;
}

VariableValue realValue(double real) {
  VariableValue value;
  value.type = VariableType::Real;
  value.real = real;
  return value;
}

VariableValue textValue(std::wstring text) {
  VariableValue value;
  value.type = VariableType::Str;
  value.text = std::move(text);
  return value;
}

void toResbuf(const VariableValue& value, resbuf* out) {
  switch (value.type) {
    case VariableType::Int:
      if (value.integer >= -32768 && value.integer <= 32767) {
        out->restype = RTSHORT;
        out->resval.rint = static_cast<short>(value.integer);
      } else {
        out->restype = RTLONG;
        out->resval.rlong = static_cast<int>(value.integer);
      }
      return;
    case VariableType::Real:
      setReal(out, value.real);
      return;
    case VariableType::Str:
      setString(out, value.text);
      return;
    case VariableType::Pt2:
    case VariableType::Pt3:
      out->restype = value.type == VariableType::Pt2 ? RTPOINT : RT3DPOINT;
      for (int i = 0; i < 3; ++i) out->resval.rpoint[i] = value.point[i];
      return;
  }
}

// The value a resbuf gives a variable of that type; nothing for the wrong type.
std::optional<VariableValue> fromResbuf(VariableType type, const resbuf& in) {
  VariableValue value;
  value.type = type;
  switch (type) {
    case VariableType::Int:
      if (in.restype == RTSHORT)
        value.integer = in.resval.rint;
      else if (in.restype == RTLONG)
        value.integer = in.resval.rlong;
      else
        return std::nullopt;
      return value;
    case VariableType::Real:
      if (!isNumber(in) || !std::isfinite(numberOf(in))) return std::nullopt;
      value.real = numberOf(in);
      return value;
    case VariableType::Str:
      if (in.restype != RTSTR || in.resval.rstring == nullptr) return std::nullopt;
      value.text = in.resval.rstring;
      return value;
    case VariableType::Pt2:
    case VariableType::Pt3:
      if (in.restype != RTPOINT && in.restype != RT3DPOINT) return std::nullopt;
      for (int i = 0; i < 3; ++i) value.point[i] = in.resval.rpoint[i];
      if (type == VariableType::Pt2 || in.restype == RTPOINT) value.point[2] = 0;
      for (double coordinate : value.point)
        if (!std::isfinite(coordinate)) return std::nullopt;
      return value;
  }
  return std::nullopt;
}

bool inRange(const SystemVariable& variable, const VariableValue& value) {
  double number = value.type == VariableType::Int ? static_cast<double>(value.integer) : value.real;
  if (value.type != VariableType::Int && value.type != VariableType::Real) return true;
  if (!std::isnan(variable.low) && number < variable.low) return false;
  if (!std::isnan(variable.high) && number > variable.high) return false;
  // Integer variables without a documented range are the host's shorts.
  if (value.type == VariableType::Int && std::isnan(variable.low) && std::isnan(variable.high))
    return number >= -32768 && number <= 32767;
  return true;
}

std::wstring recordName(AcDbObjectId id, const wchar_t* fallback) {
  auto* record = AcDbSymbolTableRecord::cast(peekObject(id));
  return record != nullptr ? record->name() : fallback;
}

// The record of that name in a table of the drawing (letter case ignored), or null.
AcDbObjectId findRecord(AcDbObjectId tableId, const std::wstring& name) {
  auto* table = AcDbSymbolTable::cast(peekObject(tableId));
  AcDbObjectId id;
  if (table == nullptr || name.empty() || table->getAt(name.c_str(), id) != Acad::eOk)
    return AcDbObjectId();
  return id;
}

std::wstring colorText(const AcCmColor& color) {
  if (color.isByLayer()) return L"BYLAYER";
  if (color.isByBlock()) return L"BYBLOCK";
  return std::to_wstring(color.colorIndex());
}

// The layouts a drawing of this host has: model space and the template's two.
std::optional<std::wstring> layoutName(const std::wstring& name) {
  for (const wchar_t* layout : {L"Model", L"Layout1", L"Layout2"})
    if (upperCase(name) == upperCase(layout)) return std::wstring(layout);
  return std::nullopt;
}

// The value of a variable the host computes (a null default in the table).
VariableValue computedValue(const SystemVariable& variable, Document* document) {
  std::string_view name = variable.name;
  AcDbDatabase* database = document != nullptr ? document->database() : nullptr;
  if (name == "CDATE") return realValue(calendarDate());
  if (name == "DATE") return realValue(julianDate(false));
  if (name == "MILLISECS") return integerValue(sessionMilliseconds());
  if (name == "DWGNAME") return textValue(document != nullptr ? document->docTitle() : L"");
  if (name == "DWGPREFIX") {
    std::wstring folder = document != nullptr ? folderOf(document->fileName()) : L"";
    if (folder.empty()) folder = fromUtf8(std::filesystem::current_path().string()) + L"/";
    return textValue(folder);
  }
  if (name == "LOGINNAME") {
    const char* user = std::getenv("USER");
    return textValue(fromUtf8(user != nullptr ? user : ""));
  }
  if (name == "TEMPPREFIX") return textValue(environmentFolder("TMPDIR", "/tmp"));
  if (name.starts_with("TD")) {
    // Creation and update times are fixed the first time they are asked for; the
    // timers run from then.
    bool universal = name == "TDUCREATE" || name == "TDUUPDATE";
    const SystemVariable* stamp = findSystemVariable(universal ? "TDUCREATE" : "TDCREATE");
    VariableValue created = drawingVariable(database, *stamp);
    if (created.real == 0) {
      created = realValue(julianDate(universal));
      setDrawingVariable(database, *stamp, created);
    }
    if (name == "TDINDWG" || name == "TDUSRTIMER")
      return realValue(julianDate(false) - created.real);
    return created;
  }
  if (variable.type == VariableType::Str) return textValue(environmentFolder("HOME", "/"));
  VariableValue value;
  value.type = variable.type;
  return value;
}

// The variables a database keeps in members of its own.
std::optional<VariableValue> databaseValue(std::string_view name, AcDbDatabase* database) {
  if (name == "CLAYER") return textValue(recordName(database->clayer(), L"0"));
  if (name == "CELTYPE") return textValue(recordName(database->celtype(), L"ByLayer"));
  if (name == "TEXTSTYLE") return textValue(recordName(database->textstyle(), L"Standard"));
  if (name == "CECOLOR") return textValue(colorText(database->cecolor()));
  if (name == "CELWEIGHT") return integerValue(database->celweight());
  if (name == "CELTSCALE") return realValue(database->celtscale());
  if (name == "TEXTSIZE") return realValue(database->textsize());
  if (name == "DIMSCALE") return realValue(database->dimscale());
  if (name == "LTSCALE") return realValue(database->ltscale());
  if (name == "INSUNITS") return integerValue(database->insunits());
  if (name == "MEASUREMENT") return integerValue(database->measurement() ? 1 : 0);
  if (name == "INSBASE") {
    VariableValue value;
    value.type = VariableType::Pt3;
    AcGePoint3d base = database->insbase();
    value.point[0] = base.x;
    value.point[1] = base.y;
    value.point[2] = base.z;
    return value;
  }
  return std::nullopt;
}

// Sets a variable the database keeps in a member; nothing when it keeps none of that
// name, else whether the database took the value.
std::optional<bool> setDatabaseValue(std::string_view name, AcDbDatabase* database,
                                     const VariableValue& value) {
  DatabaseRoots roots = databaseRoots(database);
  auto ok = [](Acad::ErrorStatus status) { return status == Acad::eOk; };
  if (name == "CLAYER") return ok(database->setClayer(findRecord(roots.layerTable, value.text)));
  if (name == "CELTYPE")
    return ok(database->setCeltype(findRecord(roots.linetypeTable, value.text)));
  if (name == "TEXTSTYLE")
    return ok(database->setTextstyle(findRecord(roots.textStyleTable, value.text)));
  if (name == "CECOLOR") {
    std::wstring text = upperCase(value.text);
    AcCmColor color;
    if (text == L"BYLAYER") {
      color.setByLayer();
    } else if (text == L"BYBLOCK") {
      color.setByBlock();
    } else {
      size_t used = 0;
      int index = 0;
      try {
        index = std::stoi(text, &used);
      } catch (...) {
        return false;
      }
      if (used != text.size() || index < 1 || index > 255) return false;
      color.setColorIndex(static_cast<Adesk::UInt16>(index));
    }
    return ok(database->setCecolor(color));
  }
  if (name == "CELWEIGHT")
    return ok(database->setCelweight(static_cast<AcDb::LineWeight>(value.integer)));
  if (name == "CELTSCALE") return ok(database->setCeltscale(value.real));
  if (name == "TEXTSIZE") return ok(database->setTextsize(value.real));
  if (name == "DIMSCALE") return value.real > 0 && ok(database->setDimscale(value.real));
  if (name == "LTSCALE") return ok(database->setLtscale(value.real));
  if (name == "INSUNITS") return ok(database->setInsunits(static_cast<int>(value.integer)));
  if (name == "MEASUREMENT") return ok(database->setMeasurement(value.integer != 0));
  if (name == "INSBASE")
    return ok(database->setInsbase(AcGePoint3d(value.point[0], value.point[1], value.point[2])));
  return std::nullopt;
}

// Variables that name a record or layout take only names that exist, stored as the
// drawing spells them; CTAB and TILEMODE follow each other.
bool setNamedDrawingValue(const SystemVariable& variable, AcDbDatabase* database,
                          VariableValue value) {
  std::string_view name = variable.name;
  if (name == "DIMSTYLE") {
    AcDbObjectId id = findRecord(databaseRoots(database).dimStyleTable, value.text);
    if (id.isNull()) return false;
    value.text = recordName(id, L"Standard");
  } else if (name == "CTAB") {
    std::optional<std::wstring> layout = layoutName(value.text);
    if (!layout) return false;
    value.text = *layout;
    setDrawingVariable(database, *findSystemVariable("TILEMODE"),
                       integerValue(*layout == L"Model" ? 1 : 0));
  } else if (name == "TILEMODE") {
    setDrawingVariable(database, *findSystemVariable("CTAB"),
                       textValue(value.integer != 0 ? L"Model" : L"Layout1"));
  }
  setDrawingVariable(database, variable, value);
  return true;
}

}  // namespace

std::string fileSystemPath(const std::wstring& path) {
  std::string text = toUtf8(path);
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  return text;
}

bool getHostVariable(const std::wstring& name, resbuf* value) {
  std::wstring upper = upperCase(name);
  Document* document = docManager().current();
  HostState& state = hostState();
  const SystemVariable* variable = findSystemVariable(toUtf8(upper));
  if (variable == nullptr) {
    if (document != nullptr && document->lisp() != nullptr)
      return document->lisp()->getVariable(upper, value);
    return false;
  }
  std::string_view key = variable->name;
  if (key == "ACADPREFIX") {
    setString(value, state.acadPrefix());
    return true;
  }
  if (key == "ERRNO") {
    toResbuf(integerValue(state.errnoValue), value);
    return true;
  }
  if (key == "PICKBOX") {
    setReal(value, state.pickBox);
    return true;
  }
  // Kept where the jigs read it, for every drawing of the session.
  if (key == "ORTHOMODE") {
    toResbuf(integerValue(state.orthoMode ? 1 : 0), value);
    return true;
  }
  AcDbDatabase* database = document != nullptr ? document->database() : nullptr;
  if (variable->defaultText == nullptr) {
    toResbuf(computedValue(*variable, document), value);
    return true;
  }
  if (variable->home == VariableHome::Drawing) {
    if (database != nullptr) {
      if (auto kept = databaseValue(key, database)) {
        toResbuf(*kept, value);
        return true;
      }
    }
    toResbuf(drawingVariable(database, *variable), value);
    return true;
  }
  auto found = state.variables.find(variable->name);
  toResbuf(found != state.variables.end() ? found->second : *defaultValue(*variable), value);
  return true;
}

int setHostVariable(const std::wstring& name, const resbuf& value) {
  std::wstring upper = upperCase(name);
  HostState& state = hostState();
  Document* document = docManager().current();
  const SystemVariable* variable = findSystemVariable(toUtf8(upper));
  if (variable == nullptr || variable->readOnly) return RTERROR;
  std::string_view key = variable->name;
  if (key == "ACADPREFIX") {
    if (value.restype != RTSTR || value.resval.rstring == nullptr) return RTREJ;
    state.setAcadPrefix(value.resval.rstring);
    return RTNORM;
  }
  std::optional<VariableValue> given = fromResbuf(variable->type, value);
  if (!given || !inRange(*variable, *given)) return RTREJ;
  if (key == "ERRNO") {
    state.errnoValue = static_cast<int>(given->integer);
    return RTNORM;
  }
  if (key == "PICKBOX") {
    state.pickBox = given->real;
    return RTNORM;
  }
  if (key == "ORTHOMODE") {
    state.orthoMode = given->integer == 1;
    return RTNORM;
  }
  if (variable->home != VariableHome::Drawing) {
    state.variables[variable->name] = *given;
    return RTNORM;
  }
  if (document == nullptr) return RTERROR;
  AcDbDatabase* database = document->database();
  if (auto taken = setDatabaseValue(key, database, *given)) return *taken ? RTNORM : RTREJ;
  return setNamedDrawingValue(*variable, database, *given) ? RTNORM : RTREJ;
}

std::optional<std::wstring> findHostFile(const std::wstring& name) {
  if (name.empty()) return std::nullopt;
  if (isFile(fileSystemPath(name))) return name;
  bool hasFolder =
      name.find_first_of(L"/\\") != std::wstring::npos || (name.size() > 1 && name[1] == L':');
  if (!hasFolder || (name[0] != L'/' && name[0] != L'\\')) {
    std::vector<std::wstring> folders;
    if (Document* document = docManager().current()) {
      std::wstring folder = folderOf(document->fileName());
      if (!folder.empty()) folders.push_back(folder);
    }
    for (const std::string& folder : hostState().searchFolders())
      folders.push_back(fromUtf8(folder) + L"/");
    for (const std::wstring& folder : folders) {
      std::wstring candidate = folder + name;
      if (isFile(fileSystemPath(candidate))) return candidate;
    }
  }
  return std::nullopt;
}

}  // namespace tabrik::acad
