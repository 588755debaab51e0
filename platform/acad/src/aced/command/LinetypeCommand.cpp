// -LINETYPE: loading linetypes from a .lin file and setting the current one (CELTYPE).
// A .lin file holds, per linetype, a header "*NAME,description" and a pattern line
// "A,dash,gap,..." (dashes positive, gaps negative, dots 0); ";" starts a comment
// line. The usual linetype file names of programs (acad.lin, acadiso.lin) that the
// search path does not hold are answered by the host's own file, tabrik.lin beside
// the executable.
#include <climits>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "acdb.h"
#include "acedads.h"
#include "aced/command/CommandSupport.h"
#include "aced/command/CoreCommands.h"
#include "aced/host/HostVariables.h"
#include "dbsymtb.h"

namespace tabrik::acad::command {

namespace {

struct LinetypeDefinition {
  std::string name;
  std::string description;
  std::vector<double> dashes;
};

std::string trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<LinetypeDefinition> readLinFile(const std::string& path) {
  std::vector<LinetypeDefinition> definitions;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    line = trimmed(line);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '*') {
      size_t comma = line.find(',');
      definitions.push_back(
          {trimmed(line.substr(1, comma == std::string::npos ? std::string::npos : comma - 1)),
           comma == std::string::npos ? "" : trimmed(line.substr(comma + 1)),
           {}});
      continue;
    }
    if (definitions.empty() || !definitions.back().dashes.empty()) continue;
    // The pattern: alignment, then lengths; embedded text or shapes ([...]) are left out.
    for (const std::string& field : nameList(line)) {
      if (field == "A" || field == "a" || field[0] == '[') continue;
      char* end = nullptr;
      double length = std::strtod(field.c_str(), &end);
      if (*end == '\0') definitions.back().dashes.push_back(length);
    }
  }
  return definitions;
}

std::string hostLinFile() {
  char buffer[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return "";
  buffer[length] = '\0';
  return (std::filesystem::path(buffer).parent_path() / "tabrik.lin").string();
}

std::optional<std::string> findLinFile(const std::string& name) {
  if (std::optional<std::wstring> found = findHostFile(wide(name))) return fileSystemPath(*found);
  std::string base = upperCase(std::filesystem::path(name).filename().string());
  if (base == "ACAD.LIN" || base == "ACADISO.LIN" || base == "TABRIK.LIN") {
    std::string own = hostLinFile();
    std::error_code error;
    if (!own.empty() && std::filesystem::exists(own, error)) return own;
  }
  return std::nullopt;
}

void store(const LinetypeDefinition& definition, AcDbObjectId existing) {
  AcDbLinetypeTableRecord* record = nullptr;
  AcDbLinetypeTable* table = nullptr;
  if (!existing.isNull()) {
    if (acdbOpenObject(record, existing, AcDb::kForWrite) != Acad::eOk) return;
  } else {
    if (drawing()->getLinetypeTable(table, AcDb::kForWrite) != Acad::eOk) return;
    record = new AcDbLinetypeTableRecord;
    record->setName(wide(definition.name).c_str());
  }
  record->setComments(wide(definition.description).c_str());
  double total = 0;
  for (double dash : definition.dashes) total += dash < 0 ? -dash : dash;
  record->setPatternLength(total);
  record->setNumDashes(static_cast<int>(definition.dashes.size()));
  for (size_t i = 0; i < definition.dashes.size(); ++i)
    record->setDashLengthAt(static_cast<int>(i), definition.dashes[i]);
  if (table != nullptr) {
    AcDbObjectId id;
    if (table->add(id, record) != Acad::eOk)
      delete record;
    else
      record->close();
    table->close();
    return;
  }
  record->close();
}

int loadOption() {
  std::string names;
  int status = getText("\nEnter linetype(s) to load: ", names);
  if (status != RTNORM || names.empty()) return status;
  std::optional<std::string> file;
  std::string typed;
  while (!file) {
    status = getText("\nEnter name of linetype file to search <acad.lin>: ", typed, true);
    if (status != RTNORM) return status;
    if (typed.empty()) typed = "acad.lin";
    file = findLinFile(typed);
    if (!file) say("\nCan't find file \"" + typed + "\".");
  }
  std::vector<LinetypeDefinition> definitions = readLinFile(*file);
  for (const std::string& pattern : nameList(names)) {
    bool found = false;
    for (const LinetypeDefinition& definition : definitions) {
      if (!matchesName(pattern, definition.name)) continue;
      found = true;
      AcDbObjectId existing = linetypeId(definition.name);
      if (!existing.isNull()) {
        std::string answer;
        status = getKeyword(
            "\nLinetype \"" + definition.name + "\" is already loaded.  Reload it? <Y>: ", "Yes No",
            answer);
        if (status == RTCAN) return status;
        if (answer == "No") continue;
        store(definition, existing);
        say("\nLinetype \"" + definition.name + "\" reloaded.");
        continue;
      }
      store(definition, AcDbObjectId());
      say("\nLinetype \"" + definition.name + "\" loaded.");
    }
    if (!found) say("\nLinetype \"" + pattern + "\" not found in file " + typed + ".");
  }
  return RTNORM;
}

int setOption() {
  while (true) {
    std::string name;
    int status = getText(
        "\nSpecify linetype name or [?] <" + recordName(drawing()->celtype()) + ">: ", name);
    if (status != RTNORM || name.empty()) return status;
    AcDbObjectId id = linetypeId(name);
    if (id.isNull()) {
      say("\nLinetype \"" + name + "\" is not loaded.  Use the Load option to load it.");
      continue;
    }
    drawing()->setCeltype(id);
    return RTNORM;
  }
}

int listOption() {
  AcDbLinetypeTable* table = nullptr;
  if (drawing()->getLinetypeTable(table) != Acad::eOk) return RTNORM;
  AcDbLinetypeTableIterator* it = nullptr;
  table->newIterator(it);
  say("\nLinetypes defined in the drawing:");
  for (; !it->done(); it->step()) {
    AcDbObjectId id;
    it->getRecordId(id);
    say("\n" + recordName(id));
  }
  delete it;
  table->close();
  return RTNORM;
}

}  // namespace

int linetypeCommand() {
  if (drawing() == nullptr) return RTERROR;
  say("\nCurrent line type:  \"" + recordName(drawing()->celtype()) + "\"");
  while (true) {
    std::string option;
    int status = getKeyword("\nEnter an option [?/Create/Load/Set]: ", "? Create Load Set", option);
    if (status == RTNONE) return RTNORM;
    if (status != RTNORM) return status;
    if (option == "Load") status = loadOption();
    if (option == "Set") status = setOption();
    if (option == "?") status = listOption();
    if (option == "Create") say("\nThe Create option is not available in this host.");
    if (status == RTCAN) return status;
  }
}

}  // namespace tabrik::acad::command
