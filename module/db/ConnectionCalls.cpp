#include "db/ConnectionCalls.h"

#include <string>

#include <acedads.h>

#include "db/DatabaseCall.h"

namespace tabrik::arx::db {

int answerNameQuestion(NameQuestion question) {
  DatabaseCall call;
  std::wstring name;
  if (!call.readStrings(name)) {
    return kWrongType;
  }
  bool answer = false;
  return call.run(
      [&](CDBConnection& connection) { return (connection.*question)(name.c_str(), answer); },
      [&] {
        if (answer) {
          acedRetT();
        }
      });
}

int runTwoNameOperation(TwoNameOperation operation) {
  DatabaseCall call;
  std::wstring first;
  std::wstring second;
  if (!call.readStrings(first, second)) {
    return kWrongType;
  }
  return call.run(
      [&](CDBConnection& connection) {
        return (connection.*operation)(first.c_str(), second.c_str());
      },
      [] { acedRetT(); });
}

}  // namespace tabrik::arx::db
