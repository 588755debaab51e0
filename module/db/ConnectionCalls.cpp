#include "db/ConnectionCalls.h"

#include <string>

#include <acedads.h>

#include "db/ConnectionList.h"
#include "db/FailureReport.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"

namespace tabrik::arx::db {

int answerNameQuestion(NameQuestion question) {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring name;
  if (!readString(cursor, name)) {
    return kWrongType;
  }
  CDBConnection* connection = currentConnection();
  if (connection == nullptr) {
    return kResultOk;
  }
  bool answer = false;
  if (!(connection->*question)(name.c_str(), answer)) {
    reportFailure();
    return kResultOk;
  }
  if (answer) {
    acedRetT();
  }
  return kResultOk;
}

int runTwoNameOperation(TwoNameOperation operation) {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring first;
  std::wstring second;
  if (!readString(cursor, first) || !readString(cursor, second)) {
    return kWrongType;
  }
  CDBConnection* connection = currentConnection();
  if (connection == nullptr) {
    return kResultOk;
  }
  if (!(connection->*operation)(first.c_str(), second.c_str())) {
    reportFailure();
    return kResultOk;
  }
  acedRetT();
  return kResultOk;
}

}  // namespace tabrik::arx::db
