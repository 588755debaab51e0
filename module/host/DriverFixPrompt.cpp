// The database-driver prompt (see DriverFixPrompt.h): the download offer of the
// database-driver repair installer.
#include "host/DriverFixPrompt.h"

#include "host/DownloadOffer.h"

namespace tabrik::arx {
namespace {

constexpr const wchar_t* kDefaultDriverFixUrl =
    L"https://www.norvane.com/downloads/TabrikDatabaseDriverFix.exe";

}  // namespace

std::wstring driverFixUrl() {
  return configuredAddress("TABRIK_DRIVER_FIX_URL", kDefaultDriverFixUrl);
}

void showDriverFixPrompt() {
  offerDownload(
      driverFixUrl(),
      {L"Error loading database drivers.\nWould you like to download a fix to this error?",
       L"The download of the database driver fix has started.\n"
       L"When it has finished, close AutoCAD, run the downloaded repair installer "
       L"and then start AutoCAD again.",
       L"The database driver fix could not be downloaded.\nPlease contact Norvane "
       L"technical support."});
}

}  // namespace tabrik::arx
