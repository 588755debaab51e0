// The tb_ services that need no database: folders and files, a directory listing,
// copy-if-newer, beeps and a message box with named buttons. Paths go to the
// operating system as given.
#include <cstdint>
#include <string>
#include <vector>

#include <acedads.h>
#include <fileapi.h>
#include <winbase.h>
#include <winuser.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ListBuilder.h"

namespace tabrik::arx {
namespace {

// The simple beep of MessageBeep.
constexpr UINT kSimpleBeep = 0xFFFFFFFFU;

// One path argument; `missing` is the result code when it is missing or not a string
// (kResultOk for functions that answer nil then).
template <typename Operation>
int onePath(int missing, Operation&& operation) {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring path;
  if (!readString(cursor, path)) {
    return missing;
  }
  if (operation(path.c_str())) {
    acedRetT();
  }
  return kResultOk;
}

template <typename Operation>
int twoPaths(int missing, Operation&& operation) {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring source;
  std::wstring destination;
  if (!readString(cursor, source) || !readString(cursor, destination)) {
    return missing;
  }
  if (operation(source.c_str(), destination.c_str())) {
    acedRetT();
  }
  return kResultOk;
}

// The last-write time of an open file in whole seconds.
ULONGLONG lastWriteSeconds(HANDLE file, bool& ok) {
  FILETIME written{};
  ok = GetFileTime(file, nullptr, nullptr, &written) != FALSE;
  ULARGE_INTEGER ticks;
  ticks.LowPart = written.dwLowDateTime;
  ticks.HighPart = written.dwHighDateTime;
  return ticks.QuadPart / 10000000ULL;
}

bool copyIfNewer(const wchar_t* source, const wchar_t* destination) {
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE from = CreateFileW(source, GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
  HANDLE to = CreateFileW(destination, GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
  bool copied = false;
  if (from != INVALID_HANDLE_VALUE && to != INVALID_HANDLE_VALUE) {
    bool sourceOk = false;
    bool destinationOk = false;
    const ULONGLONG sourceTime = lastWriteSeconds(from, sourceOk);
    const ULONGLONG destinationTime = lastWriteSeconds(to, destinationOk);
    if (sourceOk && destinationOk && sourceTime > destinationTime) {
      copied = CopyFileW(source, destination, FALSE) != FALSE;
    }
  }
  if (from != INVALID_HANDLE_VALUE) {
    CloseHandle(from);
  }
  if (to != INVALID_HANDLE_VALUE) {
    CloseHandle(to);
  }
  return copied;
}

struct NamedValue {
  const wchar_t* name;
  UINT value;
};

constexpr NamedValue kSounds[] = {{L"?", MB_ICONQUESTION},
                                  {L"*", MB_ICONASTERISK},
                                  {L"HAND", MB_ICONHAND},
                                  {L"!", MB_ICONEXCLAMATION},
                                  {L"OK", MB_OK}};

constexpr NamedValue kButtonStyles[] = {{L"OK", MB_OK},
                                        {L"OKCANCEL", MB_OKCANCEL},
                                        {L"ABORT", MB_ABORTRETRYIGNORE},
                                        {L"YESNOCANCEL", MB_YESNOCANCEL},
                                        {L"YESNO", MB_YESNO},
                                        {L"RETRYCANCEL", MB_RETRYCANCEL}};

constexpr NamedValue kStyleAdditions[] = {{L"STOP", MB_ICONSTOP},     {L"?", MB_ICONQUESTION},
                                          {L"!", MB_ICONEXCLAMATION}, {L"i", MB_ICONINFORMATION},
                                          {L"DEF1", MB_DEFBUTTON1},   {L"DEF2", MB_DEFBUTTON2},
                                          {L"DEF3", MB_DEFBUTTON3}};

constexpr NamedValue kPressed[] = {{L"OK", IDOK},       {L"CANCEL", IDCANCEL}, {L"ABORT", IDABORT},
                                   {L"RETRY", IDRETRY}, {L"IGNORE", IDIGNORE}, {L"YES", IDYES},
                                   {L"NO", IDNO}};

// Applies one option keyword to the style: a button keyword sets the whole style, an
// icon or default-button keyword adds to it, anything else leaves it.
UINT applyOption(UINT style, const std::wstring& option) {
  for (const NamedValue& buttons : kButtonStyles) {
    if (option == buttons.name) {
      return buttons.value;
    }
  }
  for (const NamedValue& addition : kStyleAdditions) {
    if (option == addition.name) {
      return style + addition.value;
    }
  }
  return style;
}

}  // namespace

namespace fn {

int tb_mkdir() {
  return onePath(kWrongType, [](const wchar_t* path) { return CreateDirectoryW(path, nullptr); });
}

int tb_rmdir() {
  return onePath(kWrongType, [](const wchar_t* path) { return RemoveDirectoryW(path); });
}

int tb_fdelete() {
  return onePath(kResultOk, [](const wchar_t* path) { return DeleteFileW(path); });
}

int tb_fcopy() {
  return twoPaths(kResultOk, [](const wchar_t* source, const wchar_t* destination) {
    return CopyFileW(source, destination, FALSE);
  });
}

int tb_fcopyIfChanged() { return twoPaths(kResultOk, copyIfNewer); }

int tb_fmove() {
  return twoPaths(kWrongType, [](const wchar_t* source, const wchar_t* destination) {
    return MoveFileW(source, destination);
  });
}

int tb_fdir() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring pattern;
  if (!readString(cursor, pattern)) {
    return kResultOk;
  }
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return kResultOk;
  }
  ListBuilder names;
  names.start();
  do {
    names.addString(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  names.finish();
  return kResultOk;
}

int tb_beep() {
  MessageBeep(kSimpleBeep);
  acedRetT();
  return kResultOk;
}

int tb_message_beep() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring keyword;
  if (!readString(cursor, keyword)) {
    return kResultOk;
  }
  UINT sound = kSimpleBeep;
  for (const NamedValue& named : kSounds) {
    if (keyword == named.name) {
      sound = named.value;
    }
  }
  MessageBeep(sound);
  acedRetT();
  return kResultOk;
}

int tb_message_box() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring caption;
  std::wstring text;
  if (!readString(cursor, caption) || !readString(cursor, text)) {
    return kWrongType;
  }
  // The options come inside one list or as the arguments that follow; either way
  // reading stops at the first that is not a string.
  readListStart(cursor);
  UINT style = MB_OK;
  std::wstring option;
  while (readString(cursor, option)) {
    style = applyOption(style, option);
  }
  HWND owner = GetActiveWindow();
  const int pressed = MessageBoxW(owner, text.c_str(), caption.c_str(), style);
  SetActiveWindow(owner);
  for (const NamedValue& button : kPressed) {
    if (pressed == static_cast<int>(button.value)) {
      acedRetStr(button.name);
    }
  }
  return kResultOk;
}

}  // namespace fn
}  // namespace tabrik::arx
