// The system, shell and window functions: screen size, computer name, temporary
// folder, file attributes, network paths, shell folders and verbs, HTML Help, the
// registry's subkeys, the status bar's progress meter, the main window (enabled state,
// title) and its watchdog timer, draw order, compressed GUIDs.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <acdocman.h>
#include <acedads.h>
#include <dbmain.h>
#include <dbsymtb.h>
#include <fileapi.h>
#include <htmlhelp.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <sorttab.h>
#include <sysinfoapi.h>
#include <winreg.h>
#include <winuser.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/CompressedGuid.h"
#include "host/JigTimers.h"
#include "host/LispFunctions.h"
#include "host/ListBuilder.h"
#include "host/ResultValues.h"

namespace tabrik::arx {
namespace {

struct Named {
  const wchar_t* name;
  std::intptr_t value;
};

constexpr Named kShellFolders[] = {
    {L"ADMINTOOLS", CSIDL_ADMINTOOLS},
    {L"COMMON_ADMINTOOLS", CSIDL_COMMON_ADMINTOOLS},
    {L"APPDATA", CSIDL_APPDATA},
    {L"COMMON_APPDATA", CSIDL_COMMON_APPDATA},
    {L"COMMON_DOCUMENTS", CSIDL_COMMON_DOCUMENTS},
    {L"COOKIES", CSIDL_COOKIES},
    {L"DESKTOP", CSIDL_DESKTOPDIRECTORY},
    {L"FLAG_CREATE", CSIDL_FLAG_CREATE},
    {L"HISTORY", CSIDL_HISTORY},
    {L"INTERNET_CACHE", CSIDL_INTERNET_CACHE},
    {L"LOCAL_APPDATA", CSIDL_LOCAL_APPDATA},
    {L"MYPICTURES", CSIDL_MYPICTURES},
    {L"PERSONAL", CSIDL_PERSONAL},
    {L"PROGRAM_FILES", CSIDL_PROGRAM_FILES},
    {L"PROGRAM_FILES_COMMON", CSIDL_PROGRAM_FILES_COMMON},
    {L"SYSTEM", CSIDL_SYSTEM},
    {L"WINDOWS", CSIDL_WINDOWS},
};

constexpr Named kShowModes[] = {
    {L"HIDE", SW_HIDE},
    {L"MAXIMIZE", SW_MAXIMIZE},
    {L"MINIMIZE", SW_MINIMIZE},
    {L"RESTORE", SW_RESTORE},
    {L"SHOW", SW_SHOW},
    {L"SHOWDEFAULT", SW_SHOWDEFAULT},
    {L"SHOWMAXIMIZED", SW_SHOWMAXIMIZED},
    {L"SHOWMINIMIZED", SW_SHOWMINIMIZED},
    {L"SHOWMINNOACTIVE", SW_SHOWMINNOACTIVE},
    {L"SHOWNA", SW_SHOWNA},
    {L"SHOWNOACTIVATE", SW_SHOWNOACTIVATE},
    {L"SHOWNORMAL", SW_SHOWNORMAL},
};

struct RootKey {
  const wchar_t* name;
  HKEY key;
};

const RootKey kRootKeys[] = {
    {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {L"HKEY_USERS", HKEY_USERS},
    {L"HKEY_PERFORMANCE_TEXT", HKEY_PERFORMANCE_TEXT},
    {L"HKEY_PERFORMANCE_NLSTEXT", HKEY_PERFORMANCE_NLSTEXT},
    {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    {L"HKEY_DYN_DATA", HKEY_DYN_DATA},
};

// Looks a name up in a table (exact, case-sensitive); false when it is not there.
template <size_t N>
bool lookUp(const Named (&table)[N], const std::wstring& name, std::intptr_t& value) {
  for (const Named& entry : table) {
    if (name == entry.name) {
      value = entry.value;
      return true;
    }
  }
  return false;
}

// A body that reads one string and answers with what `answer` sets; `missing` is the
// result code when the argument is missing or not a string.
template <typename Answer>
int withString(int missing, Answer&& answer) {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring text;
  if (!readString(cursor, text)) {
    return missing;
  }
  answer(text);
  return kResultOk;
}

void retBool(bool value) {
  if (value) {
    acedRetT();
  } else {
    acedRetNil();
  }
}

// --- the watchdog timers: id -> period in milliseconds

std::map<UINT_PTR, UINT>& jigTimers() {
  static std::map<UINT_PTR, UINT> timers;
  return timers;
}

constexpr UINT kFixedDelay = 10000;

void stopJigTimer(UINT_PTR id) {
  KillTimer(nullptr, id);
  jigTimers().erase(id);
}

// A short period waits for the drawing to be idle; a long one is a fixed delay.
void jigTimerTick(HWND, UINT, UINT_PTR id, DWORD) {
  auto found = jigTimers().find(id);
  if (found == jigTimers().end()) {
    KillTimer(nullptr, id);
    return;
  }
  if (found->second < kFixedDelay) {
    AcApDocument* document = acDocManager != nullptr ? acDocManager->curDocument() : nullptr;
    if (document != nullptr && !document->isQuiescent()) {
      return;
    }
  }
  EnableWindow(adsw_acadMainWnd(), TRUE);
  stopJigTimer(id);
}

// Reads the optional list of file paths: its strings at the top level, in order,
// empty ones and anything else (numbers, nested lists) skipped.
std::vector<std::wstring> readPathList(ArgCursor& cursor) {
  std::vector<std::wstring> paths;
  if (!readListStart(cursor)) {
    return paths;
  }
  int depth = 1;
  while (cursor != nullptr && depth > 0) {
    std::wstring path;
    if (depth == 1 && readString(cursor, path)) {
      if (!path.empty()) {
        paths.push_back(path);
      }
      continue;
    }
    if (cursor->restype == RTLB) {
      ++depth;
    } else if (cursor->restype == RTLE) {
      --depth;
    }
    skipArgument(cursor);
  }
  return paths;
}

}  // namespace

void killJigTimers() {
  for (const auto& [id, period] : jigTimers()) {
    KillTimer(nullptr, id);
  }
  jigTimers().clear();
}

namespace fn {

int GetSystemMetrics_SM_CXSCREEN() {
  retInteger(GetSystemMetrics(SM_CXSCREEN));
  return kResultOk;
}

int GetSystemMetrics_SM_CYSCREEN() {
  retInteger(GetSystemMetrics(SM_CYSCREEN));
  return kResultOk;
}

int GetComputerName() {
  wchar_t name[16] = {};
  DWORD size = 16;
  if (GetComputerNameW(name, &size)) {
    acedRetStr(name);
  } else {
    acedRetNil();
  }
  return kResultOk;
}

int GetTempPath() {
  wchar_t folder[260] = {};
  const DWORD length = GetTempPathW(260, folder);
  if (length == 0 || length >= 260) {
    acedRetNil();
  } else {
    acedRetStr(folder);
  }
  return kResultOk;
}

int IsFileReadOnly() {
  return withString(kWrongType, [](const std::wstring& path) {
    // A missing file's INVALID_FILE_ATTRIBUTES has every bit set, the read-only one too.
    retBool((GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY) != 0);
  });
}

int PathIsNetworkPath() {
  return withString(kWrongType, [](const std::wstring& path) {
    retBool(PathIsNetworkPathW(path.c_str()) != FALSE);
  });
}

int nv_nv_showHelp() {
  return withString(kWrongType, [](const std::wstring& file) {
    HtmlHelpW(nullptr, file.c_str(), HH_DISPLAY_TOC, 0);
    acedRetT();
  });
}

int nv_nv_SHGetFolderPath() {
  return withString(kWrongType, [](const std::wstring& name) {
    std::intptr_t folder = 0;
    wchar_t path[MAX_PATH] = {};
    if (lookUp(kShellFolders, name, folder) &&
        SUCCEEDED(SHGetFolderPathW(nullptr, static_cast<int>(folder), nullptr, SHGFP_TYPE_CURRENT,
                                   path))) {
      acedRetStr(path);
    }
  });
}

int nv_nv_SHOpenFolderAndSelect() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring folder;
  if (!readString(cursor, folder)) {
    return kWrongType;
  }
  const std::vector<std::wstring> files = readPathList(cursor);
  if (files.empty()) {
    ShellExecuteW(nullptr, L"explore", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return kResultOk;
  }
  PIDLIST_ABSOLUTE folderItem = ILCreateFromPathW(folder.c_str());
  std::vector<PIDLIST_ABSOLUTE> items;
  for (const std::wstring& file : files) {
    items.push_back(ILCreateFromPathW(file.c_str()));
  }
  std::vector<PCUITEMID_CHILD> children(items.begin(), items.end());
  SHOpenFolderAndSelectItems(folderItem, static_cast<UINT>(children.size()), children.data(), 0);
  for (PIDLIST_ABSOLUTE item : items) {
    ILFree(item);
  }
  ILFree(folderItem);
  return kResultOk;
}

int nv_nv_shellExecute() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring operation;
  std::wstring file;
  std::wstring show;
  if (!readString(cursor, operation) || !readString(cursor, file) || !readString(cursor, show)) {
    return kResultOk;
  }
  // A show name outside the table shows the window normally.
  std::intptr_t mode = SW_SHOWNORMAL;
  lookUp(kShowModes, show, mode);
  HINSTANCE result = ShellExecuteW(adsw_acadMainWnd(), operation.c_str(), file.c_str(), nullptr,
                                   nullptr, static_cast<int>(mode));
  retBool(reinterpret_cast<std::intptr_t>(result) > 32);
  return kResultOk;
}

int RegEnumKey() {
  return withString(kResultOk, [](const std::wstring& path) {
    std::vector<std::wstring> pieces;
    std::wstring piece;
    for (wchar_t c : path + L"\\") {
      if (c != L'\\') {
        piece.push_back(c);
      } else if (!piece.empty()) {
        pieces.push_back(piece);
        piece.clear();
      }
    }
    if (pieces.empty()) {
      return;
    }
    HKEY root = nullptr;
    for (const RootKey& candidate : kRootKeys) {
      if (pieces[0] == candidate.name) {
        root = candidate.key;
      }
    }
    if (root == nullptr) {
      return;
    }
    std::wstring subKey;
    for (size_t i = 1; i < pieces.size(); ++i) {
      subKey += (i > 1 ? L"\\" : L"") + pieces[i];
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return;
    }
    ListBuilder names;
    bool any = false;
    for (DWORD index = 0;; ++index) {
      wchar_t name[256] = {};
      DWORD length = 256;
      const LSTATUS status =
          RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_NO_MORE_ITEMS) {
        break;
      }
      if (status != ERROR_SUCCESS) {
        // A name that cannot be read is skipped; a key deleted meanwhile ends the walk.
        if (status == ERROR_KEY_DELETED || status == ERROR_INVALID_HANDLE) {
          break;
        }
        continue;
      }
      if (!any) {
        names.start();
        any = true;
      }
      names.addString(name);
    }
    RegCloseKey(key);
    if (any) {
      names.finish();
    }
  });
}

int CreateCompressedGuidString() {
  GUID guid{};
  acedRetNil();
  if (CoCreateGuid(&guid) != S_OK) {
    return kResultOk;
  }
  bool zero = guid.Data1 == 0 && guid.Data2 == 0 && guid.Data3 == 0;
  for (BYTE b : guid.Data4) {
    zero = zero && b == 0;
  }
  if (!zero) {
    acedRetStr(compressGuid(guid).c_str());
  }
  return kResultOk;
}

int acedSetStatusBarProgressMeter() {
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring label;
  std::int32_t minimum = 0;
  std::int32_t maximum = 0;
  if (!readString(cursor, label) || !readInteger(cursor, minimum) ||
      !readInteger(cursor, maximum)) {
    return kWrongType;
  }
  retInteger(::acedSetStatusBarProgressMeter(label.c_str(), minimum, maximum));
  return kResultOk;
}

int acedSetStatusBarProgressMeterPos() {
  ArgList args;
  ArgCursor cursor = args.first();
  std::int32_t position = 0;
  if (!readInteger(cursor, position)) {
    return kWrongType;
  }
  retInteger(::acedSetStatusBarProgressMeterPos(position));
  return kResultOk;
}

int acedRestoreStatusBar() {
  ::acedRestoreStatusBar();
  acedRetNil();
  return kResultOk;
}

int nv_nv_enableAutoCADWindow() {
  EnableWindow(adsw_acadMainWnd(), TRUE);
  acedRetNil();
  return kResultOk;
}

int nv_nv_disableAutoCADWindow() {
  EnableWindow(adsw_acadMainWnd(), FALSE);
  acedRetNil();
  return kResultOk;
}

int nv_nv_getAcadWindowText() {
  HWND window = adsw_acadMainWnd();
  std::wstring title(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  const int length = GetWindowTextW(window, title.data(), static_cast<int>(title.size()));
  title.resize(static_cast<size_t>(length));
  acedRetStr(title.c_str());
  return kResultOk;
}

int nv_nv_setAcadWindowText() {
  return withString(kResultOk, [](const std::wstring& title) {
    SetWindowTextW(adsw_acadMainWnd(), title.c_str());
  });
}

int nv_nv_createJigTimer() {
  ArgList args;
  ArgCursor cursor = args.first();
  std::int32_t period = 0;
  if (!readInteger(cursor, period)) {
    return kWrongType;
  }
  const UINT milliseconds = period < 0 ? 0 : static_cast<UINT>(period);
  const UINT_PTR id = SetTimer(nullptr, 0, milliseconds, jigTimerTick);
  if (id != 0) {
    jigTimers()[id] = milliseconds;
  }
  retInteger(static_cast<std::int64_t>(id));
  return kResultOk;
}

int nv_nv_killJigTimer() {
  ArgList args;
  ArgCursor cursor = args.first();
  std::int32_t id = 0;
  if (!readInteger(cursor, id)) {
    return kWrongType;
  }
  if (id != 0) {
    stopJigTimer(static_cast<UINT_PTR>(static_cast<std::uint32_t>(id)));
  }
  acedRetNil();
  return kResultOk;
}

int nv_nv_sendToBack() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  AcDbObjectId entityId;
  if (!readObjectId(cursor, entityId)) {
    return kWrongType;
  }
  AcDbEntity* entity = nullptr;
  if (acdbOpenObject(entity, entityId, AcDb::kForRead) != Acad::eOk || entity == nullptr) {
    return kResultOk;
  }
  const AcDbObjectId ownerId = entity->ownerId();
  AcDbBlockTableRecord* owner = nullptr;
  if (ownerId.isNull() || acdbOpenObject(owner, ownerId, AcDb::kForRead) != Acad::eOk ||
      owner == nullptr) {
    entity->close();
    return kResultOk;
  }
  AcDbSortentsTable* table = nullptr;
  const Acad::ErrorStatus found = owner->getSortentsTable(table, AcDb::kForWrite, false);
  owner->close();
  if (found != Acad::eOk || table == nullptr) {
    entity->close();
    return kResultOk;
  }
  AcDbObjectIdArray ids;
  ids.append(entityId);
  const bool moved = table->moveToBottom(ids) == Acad::eOk;
  table->close();
  entity->close();
  retBool(moved);
  return kResultOk;
}

}  // namespace fn
}  // namespace tabrik::arx
