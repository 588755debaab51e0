// The prompt shown when the database engine cannot start: it offers to download the
// database-driver repair installer from the maker.
#pragma once
#include <string>

namespace tabrik::arx {

// The repair installer's address: TABRIK_DRIVER_FIX_URL, else the maker's.
std::wstring driverFixUrl();
void showDriverFixPrompt();

}  // namespace tabrik::arx
