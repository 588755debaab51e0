// `tabrik`: runs LISP files, evaluates expressions, runs scenario files, or offers the
// interactive command line of the headless host.
#include <algorithm>
#include <clocale>
#include <cstdio>

#include "CommandLine.h"
#include "ConvertMdb.h"
#include "CopyDb.h"
#include "PlotCommand.h"
#include "tabrik/DaoHost.h"
#include "HostSession.h"
#include "acedads.h"
#include "Repl.h"
#include "ScenarioRunner.h"
#include "tabrik/DaoMaintenance.h"
#include "tabrik/DialogDriver.h"
#ifdef TABRIK_HAS_DXF
#include "DxfFile.h"
#endif

using tabrik::acad::HostSession;

namespace {

int exitCode(HostSession::Status status) { return static_cast<int>(status); }

HostSession::Status worse(HostSession::Status a, HostSession::Status b) {
  return static_cast<int>(a) >= static_cast<int>(b) ? a : b;
}

int runOrEval(const tabrik::app::CommandLine& line) {
  HostSession session(line.options);
  HostSession::Status status = session.start();
  if (status != HostSession::Status::kOk) {
    session.end();
    return exitCode(status);
  }
  for (const std::string& operand : line.operands) {
    HostSession::Status one = line.command == tabrik::app::Command::kRun
                                  ? session.runFile(operand)
                                  : session.evalText(operand);
    status = worse(status, one);
  }
  if (!line.plotPath.empty()) {
    std::string error;
    if (!tabrik::app::plotActiveDrawing(line.plotPath, line, error)) {
      std::fprintf(stderr, "tabrik: plot: %s\n", error.c_str());
      status = worse(status, HostSession::Status::kError);
    }
  }
  return exitCode(worse(status, session.end()));
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  // A long statement of the database engine stops when the user presses Escape.
  tabrik::dao::setCancelCheck([] { return acedUsrBrk() != 0; });
  // A database nobody is writing is one whole file: its log goes into it at idle time.
  HostSession::addIdleHandler([] { tabrik::dao::checkpointOpenDatabases(); });
#ifdef TABRIK_HAS_DXF
  tabrik::dxf::install();
#endif
  tabrik::app::addConvertMdbFunction();
  tabrik::app::addCopyDbFunction();
  tabrik::ui::installHost();
  tabrik::app::addPlotFunction();
  std::optional<tabrik::app::CommandLine> line = tabrik::app::parseCommandLine(argc, argv);
  if (!line) {
    tabrik::app::printUsage(/*toStderr=*/true);
    return 2;
  }
  switch (line->command) {
    case tabrik::app::Command::kHelp:
      tabrik::app::printUsage(/*toStderr=*/false);
      return 0;
    case tabrik::app::Command::kTest:
      return tabrik::app::runScenarioFiles(line->options, line->operands);
    case tabrik::app::Command::kConvertMdb:
      return tabrik::app::runConvertMdb(line->operands);
    case tabrik::app::Command::kCopyDb:
      return tabrik::app::runCopyDb(line->operands);
    case tabrik::app::Command::kPlot:
      return tabrik::app::runPlot(*line);
    case tabrik::app::Command::kRun:
    case tabrik::app::Command::kEval:
      return runOrEval(*line);
    case tabrik::app::Command::kInteractive:
      return tabrik::app::runInteractive(line->options);
  }
  return 2;
}
