// tb_getVersion, and the last-error text that the failure report of the database layer
// sets: tb_lastError and tb_resetLastError.
#include <acedads.h>

#include "db/ConnectionList.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"

namespace tabrik::arx::fn {

int tb_getVersion() {
  acedRetInt(-1);
  return kResultOk;
}

int tb_lastError() {
  acedRetStr(db::lastErrorText().c_str());
  return kResultOk;
}

int tb_resetLastError() {
  db::setLastErrorText(std::wstring());
  acedRetStr(L"");
  return kResultOk;
}

}  // namespace tabrik::arx::fn
