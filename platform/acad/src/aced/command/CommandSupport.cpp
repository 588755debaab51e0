// Shared helpers of the built-in command bodies.
#include "aced/command/CommandSupport.h"

#include <cctype>

#include "acdb.h"
#include "acdb/acut/Console.h"
#include "acdb/acut/WideText.h"
#include "acedads.h"
#include "dbsymtb.h"

namespace tabrik::acad::command {

namespace {

constexpr size_t kTextLimit = 2048;

template <class Table>
AcDbObjectId recordId(Table* table, const std::string& name) {
  AcDbObjectId id;
  if (table == nullptr) return id;
  if (table->getAt(wide(name).c_str(), id) != Acad::eOk) id.setNull();
  table->close();
  return id;
}

}  // namespace

void say(const std::string& text) { writeConsole(std::string_view(text)); }

int getKeyword(const std::string& prompt, const std::string& keywords, std::string& keyword,
               int bits) {
  acedInitGet(bits, wide(keywords).c_str());
  ACHAR answer[kTextLimit];
  int status = acedGetKword(wide(prompt).c_str(), answer, kTextLimit);
  if (status == RTNORM || status == RTKWORD) {
    keyword = narrow(answer);
    return RTNORM;
  }
  return status;
}

int getText(const std::string& prompt, std::string& text, bool allowSpaces) {
  ACHAR answer[kTextLimit];
  int status = acedGetString(allowSpaces ? 1 : 0, wide(prompt).c_str(), answer, kTextLimit);
  if (status != RTNORM && status != RTINPUTTRUNCATED) return status == RTNONE ? RTNORM : status;
  text = narrow(answer);
  return RTNORM;
}

AcDbDatabase* drawing() { return acdbHostApplicationServices()->workingDatabase(); }

std::string upperCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::wstring wide(const std::string& text) { return fromUtf8(text); }

std::string narrow(const std::wstring& text) { return toUtf8(text); }

std::vector<std::string> nameList(const std::string& text) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    std::string name = text.substr(start, comma - start);
    size_t first = name.find_first_not_of(' ');
    size_t last = name.find_last_not_of(' ');
    if (first != std::string::npos) names.push_back(name.substr(first, last - first + 1));
    start = comma + 1;
  }
  return names;
}

bool matchesName(const std::string& pattern, const std::string& name) {
  // Iterative match with one back-tracking point for the last star.
  size_t p = 0, n = 0, star = std::string::npos, mark = 0;
  auto same = [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) ==
           std::toupper(static_cast<unsigned char>(b));
  };
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' ||
                (pattern[p] == '#' && std::isdigit(static_cast<unsigned char>(name[n]))) ||
                same(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

namespace {
const char* const kColorNames[] = {"red", "yellow", "green", "cyan", "blue", "magenta", "white"};
}

int colorIndexOf(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (int i = 0; i < 7; ++i) {
    if (lower == kColorNames[i]) return i + 1;
  }
  if (lower.empty() || lower.size() > 3) return 0;
  for (char c : lower) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
  }
  int index = std::stoi(lower);
  return index >= 1 && index <= 255 ? index : 0;
}

std::string colorText(int index) {
  if (index >= 1 && index <= 7) return std::to_string(index) + " (" + kColorNames[index - 1] + ")";
  return std::to_string(index);
}

AcDbObjectId layerId(const std::string& name) {
  AcDbLayerTable* table = nullptr;
  if (drawing() == nullptr || drawing()->getLayerTable(table) != Acad::eOk) return AcDbObjectId();
  return recordId(table, name);
}

AcDbObjectId linetypeId(const std::string& name) {
  AcDbLinetypeTable* table = nullptr;
  if (drawing() == nullptr || drawing()->getLinetypeTable(table) != Acad::eOk)
    return AcDbObjectId();
  return recordId(table, name);
}

AcDbObjectId textStyleId(const std::string& name) {
  AcDbTextStyleTable* table = nullptr;
  if (drawing() == nullptr || drawing()->getTextStyleTable(table) != Acad::eOk)
    return AcDbObjectId();
  return recordId(table, name);
}

std::string recordName(AcDbObjectId id) {
  AcDbSymbolTableRecord* record = nullptr;
  if (id.isNull() || acdbOpenObject(record, id, AcDb::kForRead) != Acad::eOk) return "";
  const ACHAR* name = nullptr;
  std::string text;
  if (record->getName(name) == Acad::eOk && name != nullptr) text = narrow(name);
  record->close();
  return text;
}

}  // namespace tabrik::acad::command
