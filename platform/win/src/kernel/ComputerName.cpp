// GetComputerNameW (see sysinfoapi.h).
#include "sysinfoapi.h"

#include <unistd.h>

#include <cstdlib>
#include <cwctype>
#include <string>

#include "errhandlingapi.h"

namespace {

std::wstring netBiosName() {
  std::string name;
  if (const char* given = std::getenv("COMPUTERNAME"); given != nullptr && *given != '\0') {
    name = given;
  } else {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
      name = host;
    }
    name = name.substr(0, name.find('.'));
  }
  std::wstring wide;
  for (char c : name) {
    wide.push_back(static_cast<wchar_t>(std::towupper(static_cast<unsigned char>(c))));
  }
  if (wide.size() > MAX_COMPUTERNAME_LENGTH) {
    wide.resize(MAX_COMPUTERNAME_LENGTH);
  }
  return wide;
}

}  // namespace

BOOL GetComputerNameW(LPWSTR lpBuffer, DWORD* nSize) {
  if (nSize == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::wstring name = netBiosName();
  if (lpBuffer == nullptr || *nSize < name.size() + 1) {
    *nSize = static_cast<DWORD>(name.size() + 1);
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return FALSE;
  }
  name.copy(lpBuffer, name.size());
  lpBuffer[name.size()] = L'\0';
  *nSize = static_cast<DWORD>(name.size());
  return TRUE;
}
