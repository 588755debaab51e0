// The host application's profile settings over the registry.
#include <string>

#include "afxwin.h"
#include "rxmfcapi.h"
#include "winreg.h"

namespace {

std::wstring sectionKey(const CWinApp& app, LPCTSTR section) {
  return std::wstring(L"Software\\") + app.m_pszRegistryKey + L"\\" + app.m_pszAppName + L"\\" +
         (section ? section : L"");
}

}  // namespace

CString CWinApp::GetProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR defaultValue) {
  CString fallback = defaultValue ? defaultValue : L"";
  if (section == nullptr || entry == nullptr) return fallback;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, sectionKey(*this, section).c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return fallback;
  DWORD type = 0;
  DWORD size = 0;
  CString value = fallback;
  if (RegQueryValueExW(key, entry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_SZ) {
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &bytes) == ERROR_SUCCESS)
      value = text.c_str();
  }
  RegCloseKey(key);
  return value;
}

BOOL CWinApp::WriteProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR value) {
  if (section == nullptr) return FALSE;
  const std::wstring path = sectionKey(*this, section);
  if (entry == nullptr) return RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return FALSE;
  LSTATUS status;
  if (value == nullptr) {
    status = RegDeleteValueW(key, entry);
    if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
  } else {
    std::wstring text = value;
    status = RegSetValueExW(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? TRUE : FALSE;
}

UINT CWinApp::GetProfileInt(LPCTSTR section, LPCTSTR entry, int defaultValue) {
  if (section == nullptr || entry == nullptr) return static_cast<UINT>(defaultValue);
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, sectionKey(*this, section).c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return static_cast<UINT>(defaultValue);
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof(value);
  UINT result = static_cast<UINT>(defaultValue);
  if (RegQueryValueExW(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
          ERROR_SUCCESS &&
      type == REG_DWORD)
    result = value;
  RegCloseKey(key);
  return result;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR section, LPCTSTR entry, int value) {
  if (section == nullptr || entry == nullptr) return FALSE;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, sectionKey(*this, section).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return FALSE;
  DWORD data = static_cast<DWORD>(value);
  LSTATUS status =
      RegSetValueExW(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? TRUE : FALSE;
}

CWinApp* AfxGetApp() {
  static CWinApp host(L"Tabrik", L"Host");
  return &host;
}

CWinApp* acedGetAcadWinApp() { return AfxGetApp(); }
