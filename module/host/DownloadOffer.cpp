// The shared fix-download offer (see DownloadOffer.h).
#include "host/DownloadOffer.h"

#include <cstdlib>
#include <cwchar>

#include <shellapi.h>
#include <winuser.h>

#include <acedads.h>
#include <acutads.h>

namespace tabrik::arx {
namespace {

constexpr const wchar_t* kCaption = L"Norvane Error";

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

void offerDownload(const std::wstring& address, const DownloadOfferTexts& texts) {
  if (messageBox(texts.question, MB_YESNO | MB_ICONERROR) != IDYES) return;
  HINSTANCE result =
      ShellExecuteW(adsw_acadMainWnd(), L"OPEN", address.c_str(),
                    /*lpParameters=*/nullptr, /*lpDirectory=*/nullptr, SW_SHOWNOACTIVATE);
  if (reinterpret_cast<INT_PTR>(result) > 32) {
    acutPrintf(L"\nDownloading %ls", address.c_str());
    messageBox(texts.started, MB_OK | MB_ICONERROR);
    return;
  }
  acutPrintf(L"\nError downloading %ls", address.c_str());
  acutPrintf(L"\nPlease contact Norvane technical support.");
  messageBox(texts.failed, MB_OK | MB_ICONERROR);
}

}  // namespace tabrik::arx
