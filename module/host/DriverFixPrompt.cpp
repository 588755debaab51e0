// The database-driver prompt (see DriverFixPrompt.h): a Yes/No question owned by the
// active window; Yes opens the repair installer's address with the shell and tells the
// user what to do next.
#include "host/DriverFixPrompt.h"

#include <cstdlib>

#include <shellapi.h>
#include <winuser.h>

#include <acedads.h>
#include <acutads.h>

namespace tabrik::arx {
namespace {

constexpr const wchar_t* kCaption = L"Norvane Error";
constexpr const wchar_t* kDefaultDriverFixUrl =
    L"https://www.norvane.com/downloads/TabrikDatabaseDriverFix.exe";

std::wstring widen(const char* text) {
  std::wstring wide;
  std::mbstate_t state{};
  const char* source = text;
  const std::size_t length = std::mbsrtowcs(nullptr, &source, 0, &state);
  if (length == static_cast<std::size_t>(-1)) {
    // Not valid in the current locale: take the bytes as Latin-1, which keeps an
    // ASCII address intact.
    for (const char* p = text; *p != '\0'; ++p) {
      wide.push_back(static_cast<unsigned char>(*p));
    }
    return wide;
  }
  wide.resize(length);
  source = text;
  std::mbsrtowcs(wide.data(), &source, length, &state);
  return wide;
}

// A message box owned by the active window, which is made active again afterwards.
int messageBox(const wchar_t* text, UINT style) {
  HWND owner = GetActiveWindow();
  const int answer = MessageBoxW(owner, text, kCaption, style);
  SetActiveWindow(owner);
  return answer;
}

}  // namespace

std::wstring configuredAddress(const char* variable, const wchar_t* fallback) {
  const char* configured = std::getenv(variable);
  if (configured == nullptr || *configured == '\0') {
    return fallback;
  }
  return widen(configured);
}

std::wstring driverFixUrl() {
  return configuredAddress("TABRIK_DRIVER_FIX_URL", kDefaultDriverFixUrl);
}

void showDriverFixPrompt() {
  if (messageBox(
          L"Error loading database drivers.\nWould you like to download a fix to this error?",
          MB_YESNO | MB_ICONERROR) != IDYES) {
    return;
  }
  const std::wstring url = driverFixUrl();
  HINSTANCE result =
      ShellExecuteW(adsw_acadMainWnd(), L"OPEN", url.c_str(), /*lpParameters=*/nullptr,
                    /*lpDirectory=*/nullptr, SW_SHOWNOACTIVATE);
  if (reinterpret_cast<INT_PTR>(result) > 32) {
    acutPrintf(L"\nDownloading %ls", url.c_str());
    messageBox(
        L"The download of the database driver fix has started.\n"
        L"When it has finished, close AutoCAD, run the downloaded repair installer "
        L"and then start AutoCAD again.",
        MB_OK | MB_ICONERROR);
    return;
  }
  acutPrintf(L"\nError downloading %ls", url.c_str());
  acutPrintf(L"\nPlease contact Norvane technical support.");
  messageBox(
      L"The database driver fix could not be downloaded.\nPlease contact Norvane technical "
      L"support.",
      MB_OK | MB_ICONERROR);
}

}  // namespace tabrik::arx
