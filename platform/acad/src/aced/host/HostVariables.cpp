// The host variables of HostVariables.h and the file search of acedFindFile.
#include "aced/host/HostVariables.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>

#include "acutads.h"
#include "acdb/acut/WideText.h"
#include "aced/doc/DocManager.h"
#include "aced/host/HostState.h"

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

double currentDate() {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  double day = (local.tm_year + 1900) * 10000.0 + (local.tm_mon + 1) * 100.0 + local.tm_mday;
  double time = local.tm_hour * 10000.0 + local.tm_min * 100.0 + local.tm_sec + millis / 1000.0;
  return day + time / 1000000.0;
}

bool isFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
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
  if (upper == L"ACADPREFIX") {
    setString(value, state.acadPrefix());
    return true;
  }
  if (upper == L"ERRNO") {
    value->restype = RTSHORT;
    value->resval.rint = static_cast<short>(state.errnoValue);
    return true;
  }
  if (upper == L"PICKBOX") {
    setReal(value, state.pickBox);
    return true;
  }
  if (upper == L"ORTHOMODE") {
    value->restype = RTSHORT;
    value->resval.rint = state.orthoMode ? 1 : 0;
    return true;
  }
  if (upper == L"CDATE") {
    setReal(value, currentDate());
    return true;
  }
  if (document != nullptr) {
    if (upper == L"DIMSCALE") {
      setReal(value, document->database()->dimscale());
      return true;
    }
    if (upper == L"DWGNAME") {
      setString(value, document->docTitle());
      return true;
    }
    if (upper == L"DWGPREFIX") {
      std::wstring folder = folderOf(document->fileName());
      if (folder.empty()) folder = fromUtf8(std::filesystem::current_path().string()) + L"/";
      setString(value, folder);
      return true;
    }
    if (document->lisp() != nullptr) return document->lisp()->getVariable(upper, value);
  }
  return false;
}

int setHostVariable(const std::wstring& name, const resbuf& value) {
  std::wstring upper = upperCase(name);
  HostState& state = hostState();
  Document* document = docManager().current();
  if (upper == L"ACADPREFIX") {
    if (value.restype != RTSTR || value.resval.rstring == nullptr) return RTREJ;
    state.setAcadPrefix(value.resval.rstring);
    return RTNORM;
  }
  if (upper == L"ERRNO") {
    if (value.restype != RTSHORT && value.restype != RTLONG) return RTREJ;
    state.errnoValue = value.restype == RTSHORT ? value.resval.rint : value.resval.rlong;
    return RTNORM;
  }
  if (upper == L"PICKBOX") {
    if (!isNumber(value) || numberOf(value) < 0) return RTREJ;
    state.pickBox = numberOf(value);
    return RTNORM;
  }
  if (upper == L"ORTHOMODE") {
    if (value.restype != RTSHORT && value.restype != RTLONG) return RTREJ;
    const long mode = value.restype == RTSHORT ? value.resval.rint : value.resval.rlong;
    if (mode != 0 && mode != 1) return RTREJ;
    state.orthoMode = mode == 1;
    return RTNORM;
  }
  if (upper == L"DIMSCALE" && document != nullptr) {
    if (!isNumber(value) || !(numberOf(value) > 0) || !std::isfinite(numberOf(value))) return RTREJ;
    return document->database()->setDimscale(numberOf(value)) == Acad::eOk ? RTNORM : RTREJ;
  }
  return RTERROR;
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
