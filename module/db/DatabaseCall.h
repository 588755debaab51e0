// The steps that every tb_ body working on the current connection shares, so that a
// body holds only its own:
//
//   db::DatabaseCall call;                  // result preset to nil, argument list taken
//   if (!call.readStrings(table, field)) {  // or any reader of ArgReaders.h on cursor()
//     return kWrongType;
//   }
//   return call.run([&](CDBConnection& connection) { return connection.Operation(...); },
//                   [&] { acedRetT(); });   // the answer, set only when the step succeeded
//
// run() answers nil quietly when the drawing has no current connection, and runs the
// failure report (nil, DAO's message printed, the text tb_lastError returns) when the
// step answers false.
#pragma once
#include <acedads.h>

#include "db/CDBConnection.h"
#include "db/ConnectionList.h"
#include "db/FailureReport.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"

namespace tabrik::arx::db {

class DatabaseCall {
 public:
  DatabaseCall() : m_cursor(m_args.first()) { acedRetNil(); }
  DatabaseCall(const DatabaseCall&) = delete;
  DatabaseCall& operator=(const DatabaseCall&) = delete;

  // The argument not read yet; nullptr past the last.
  ArgCursor& cursor() { return m_cursor; }
  bool atEnd() const { return m_cursor == nullptr; }

  // Reads string arguments in order; false at the first that is missing or not a string.
  template <typename... Strings>
  bool readStrings(Strings&... values) {
    return (readString(m_cursor, values) && ...);
  }

  template <typename Step, typename Answer>
  int run(Step&& step, Answer&& answer) {
    CDBConnection* connection = currentConnection();
    if (connection == nullptr) {
      return kResultOk;
    }
    if (!step(*connection)) {
      reportFailure();
      return kResultOk;
    }
    answer();
    return kResultOk;
  }

  // A step whose success leaves the preset nil.
  template <typename Step>
  int run(Step&& step) {
    return run(std::forward<Step>(step), [] {});
  }

 private:
  ArgList m_args;
  ArgCursor m_cursor;
};

}  // namespace tabrik::arx::db
