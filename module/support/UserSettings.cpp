// The user's settings in the registry (see UserSettings.h).
#include "support/UserSettings.h"

#include <vector>

#include <winreg.h>

namespace tabrik::arx {
namespace {

std::wstring keyPath(const std::wstring& subkey) {
  return L"Software\\Norvane Software\\" + subkey;
}

}  // namespace

std::wstring readUserSetting(const std::wstring& subkey, const std::wstring& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath(subkey).c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return {};
  }
  DWORD type = 0;
  DWORD size = 0;
  std::wstring value;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_SZ && size > 0) {
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()),
                         &bytes) == ERROR_SUCCESS) {
      value = buffer.data();
    }
  }
  RegCloseKey(key);
  return value;
}

bool writeUserSetting(const std::wstring& subkey, const std::wstring& name,
                      const std::wstring& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath(subkey).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const bool written =
      RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(key);
  return written;
}

}  // namespace tabrik::arx
