#include "CopyDb.h"

#include <cstdio>

#include "ConnectString.h"
#include "DaoMessage.h"
#include "tabrik/DatabaseCopy.h"
#include "HostSession.h"
#include "afxdao.h"
#include "lisp/Runtime.h"
#include "tabrik/TextConversion.h"

namespace tabrik::app {

using dao::CopiedTable;
using dao::copyDatabaseBetween;
using dao::CopyRefused;
using dao::DatabaseCopyReport;

namespace {

using text::fromUtf8;
using text::toUtf8;

// What a name shows in messages: a connect string with its password masked.
std::string shown(const std::string& name) { return dao::server::maskConnectString(name); }

void printProgress(const CopiedTable& table) {
  if (table.linked)
    std::fprintf(stderr, "Copying table %s: a link\n", toUtf8(table.name).c_str());
  else
    std::fprintf(stderr, "Copying table %s: %ld records\n", toUtf8(table.name).c_str(),
                 table.records);
  std::fflush(stderr);
}

}  // namespace

int runCopyDb(const std::vector<std::string>& operands) {
  if (operands.size() != 2) {
    std::fprintf(stderr, "usage: tabrik copy-db SOURCE TARGET\n");
    return 2;
  }
  std::fprintf(stderr, "Copying %s into %s\n", shown(operands[0]).c_str(),
               shown(operands[1]).c_str());
  try {
    const DatabaseCopyReport report =
        copyDatabaseBetween(fromUtf8(operands[0]), fromUtf8(operands[1]), printProgress);
    std::printf("%zu tables, %ld relations, %ld queries\n", report.tables.size(), report.relations,
                report.queries);
    return 0;
  } catch (CDaoException* e) {
    std::fprintf(stderr, "tabrik: copy-db: %s\n", daoMessage(e).c_str());
  } catch (const CopyRefused& refused) {
    std::fprintf(stderr, "tabrik: copy-db: %s\n", shown(refused.what()).c_str());
  }
  return 1;
}

void addCopyDbFunction() {
  acad::HostSession::addLispInstaller([](lisp::Runtime& runtime) {
    runtime.defineBuiltin("host:copy-db", [](lisp::Runtime&, lisp::Args args) -> lisp::Value {
      lisp::checkArgCount(args, 2, 2);
      const std::string& source = lisp::stringArg(args[0]);
      const std::string& target = lisp::stringArg(args[1]);
      try {
        const DatabaseCopyReport report =
            copyDatabaseBetween(fromUtf8(source), fromUtf8(target), {});
        std::vector<lisp::Value> tables;
        for (const CopiedTable& t : report.tables)
          tables.push_back(lisp::Value::list(
              {lisp::Value::string(toUtf8(t.name)),
               t.linked ? lisp::Value::nil() : lisp::Value::integer(static_cast<int>(t.records))}));
        return lisp::Value::list(tables);
      } catch (CDaoException* e) {
        acad::HostSession::write("\n; copy-db: " + daoMessage(e) + "\n");
      } catch (const CopyRefused& refused) {
        acad::HostSession::write("\n; copy-db: " + shown(refused.what()) + "\n");
      }
      return lisp::Value::nil();
    });
  });
}

}  // namespace tabrik::app
