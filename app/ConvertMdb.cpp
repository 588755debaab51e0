#include "ConvertMdb.h"

#include <cstdio>

#include "DaoMessage.h"
#include "HostSession.h"
#include "afxdao.h"
#include "lisp/Runtime.h"
#include "tabrik/AccessConversion.h"
#include "tabrik/TextConversion.h"

namespace tabrik::app {

namespace {

using text::fromUtf8;
using text::toUtf8;

void printReport(const dao::AccessConversionReport& report) {
  for (const auto& table : report.tables)
    for (const auto& note : table.notes)
      std::printf("%s: %s\n", toUtf8(table.name).c_str(), toUtf8(note).c_str());
  std::printf("%zu tables, %ld relations, %ld queries\n", report.tables.size(), report.relations,
              report.queries);
  for (const auto& note : report.notes) std::printf("left out: %s\n", toUtf8(note).c_str());
}

}  // namespace

int runConvertMdb(const std::vector<std::string>& operands) {
  if (operands.size() != 2) {
    std::fprintf(stderr, "usage: tabrik convert-mdb IN.mdb OUT\n");
    return 2;
  }
  std::printf("Converting %s into %s\n", operands[0].c_str(), operands[1].c_str());
  std::fflush(stdout);
  try {
    const auto report = dao::convertAccessFile(fromUtf8(operands[0]), fromUtf8(operands[1]),
                                               [](const std::wstring& line) {
                                                 std::printf("%s\n", toUtf8(line).c_str());
                                                 std::fflush(stdout);
                                               });
    printReport(report);
    return 0;
  } catch (CDaoException* e) {
    std::fprintf(stderr, "tabrik: convert-mdb: %s\n", daoMessage(e).c_str());
    return 1;
  }
}

void addConvertMdbFunction() {
  acad::HostSession::addLispInstaller([](lisp::Runtime& runtime) {
    runtime.defineBuiltin("host:convert-mdb", [](lisp::Runtime&, lisp::Args args) -> lisp::Value {
      lisp::checkArgCount(args, 2, 2);
      const std::string& in = lisp::stringArg(args[0]);
      const std::string& out = lisp::stringArg(args[1]);
      try {
        const auto report = dao::convertAccessFile(fromUtf8(in), fromUtf8(out));
        std::vector<lisp::Value> tables;
        for (const auto& t : report.tables)
          tables.push_back(
              lisp::Value::list({lisp::Value::string(toUtf8(t.name)),
                                 lisp::Value::integer(static_cast<int>(t.records)),
                                 lisp::Value::integer(static_cast<int>(t.recordsLeftOut))}));
        return lisp::Value::list(tables);
      } catch (CDaoException* e) {
        acad::HostSession::write("\n; convert-mdb: " + daoMessage(e) + "\n");
        return lisp::Value::nil();
      }
    });
  });
}

}  // namespace tabrik::app
