// The placement store over the host's registry.
#include "ui/Placement.h"

#include <algorithm>

#include "winreg.h"

namespace tabrik::ui {

namespace {

const wchar_t* const kValues[] = {L"Left", L"Top", L"Right", L"Bottom"};

std::wstring keyFor(const std::wstring& dialogName) {
  return L"Software\\Tabrik\\Dialogs\\" + dialogName;
}

}  // namespace

RECT restorePlacement(const std::wstring& dialogName, const DLGTEMPLATE_DATA& dialog) {
  const int width = std::max(dialog.cx, 0) * 2;
  const int height = std::max(dialog.cy, 0) * 2;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  RECT placement{left, top, left + width, top + height};
  if (dialogName.empty()) return placement;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyFor(dialogName).c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return placement;
  LONG values[4] = {placement.left, placement.top, placement.right, placement.bottom};
  bool complete = true;
  for (int i = 0; i < 4; ++i) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key, kValues[i], nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD) {
      complete = false;
      break;
    }
    values[i] = static_cast<LONG>(value);
  }
  RegCloseKey(key);
  // A torn or hand-edited entry (right of left, below top) falls back to the default.
  if (complete && values[2] >= values[0] && values[3] >= values[1])
    placement = RECT{values[0], values[1], values[2], values[3]};
  return placement;
}

void savePlacement(const std::wstring& dialogName, const RECT& placement) {
  if (dialogName.empty()) return;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, keyFor(dialogName).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  const LONG values[4] = {placement.left, placement.top, placement.right, placement.bottom};
  for (int i = 0; i < 4; ++i) {
    DWORD value = static_cast<DWORD>(values[i]);
    RegSetValueExW(key, kValues[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof(value));
  }
  RegCloseKey(key);
}

}  // namespace tabrik::ui
