// The maker's fix-download offer that the module's failure prompts share: a Yes/No
// question owned by the active window (caption "Norvane Error"); Yes opens the
// installer's address with the shell and says what to do next, or that the download
// could not start.
#pragma once
#include <string>

namespace tabrik::arx {

// An address from the environment variable, else the fallback (also when empty).
std::wstring configuredAddress(const char* variable, const wchar_t* fallback);

struct DownloadOfferTexts {
  const wchar_t* question;  // asked with Yes and No
  const wchar_t* started;   // after the shell opened the address
  const wchar_t* failed;    // after it could not
};

void offerDownload(const std::wstring& address, const DownloadOfferTexts& texts);

}  // namespace tabrik::arx
