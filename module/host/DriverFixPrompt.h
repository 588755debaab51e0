// The prompt shown when the database engine cannot start: it offers to download the
// database-driver repair installer from the maker.
#pragma once
#include <string>

namespace tabrik::arx {

// An address from the environment variable, else the fallback (also when empty).
std::wstring configuredAddress(const char* variable, const wchar_t* fallback);

// The repair installer's address: TABRIK_DRIVER_FIX_URL, else the maker's.
std::wstring driverFixUrl();
void showDriverFixPrompt();

}  // namespace tabrik::arx
