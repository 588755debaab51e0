// The `tabrik` command line: a command (run, eval, test, or none for the interactive
// host), its options and its operands.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "HostSession.h"

namespace tabrik::app {

enum class Command { kInteractive, kRun, kEval, kTest, kConvertMdb, kCopyDb, kPlot, kHelp };

struct CommandLine {
  Command command = Command::kInteractive;
  acad::SessionOptions options;
  std::vector<std::string> operands;
  std::string plotPath;  // --plot: after the run, a picture of the active drawing
  int plotWidth = 1600;
  // --plot-paper, --plot-scale, --plot-view, --plot-window, --plot-dpi as given (the
  // plot command checks them), and --plot-layout.
  std::string plotPaper, plotScale, plotView, plotWindow, plotDpi;
  bool plotLayout = false;
};

// Nothing (after a message on standard error) for a usage error.
std::optional<CommandLine> parseCommandLine(int argc, char** argv);
void printUsage(bool toStderr);

}  // namespace tabrik::app
