// Parsing of the `tabrik` command line.
#include "CommandLine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tabrik::app {

namespace {

const char kUsage[] =
    "usage: tabrik run [OPTIONS] FILE.lsp...   run LISP files, then end\n"
    "       tabrik eval [OPTIONS] EXPR...      evaluate expressions, print each value\n"
    "       tabrik test [OPTIONS] FILE.lsp...  run LISP scenario files and check their "
    "expectations\n"
    "       tabrik convert-mdb IN.mdb OUT      convert an Access file (.mdb, .accdb) into a\n"
    "                                          database of the engine's own format\n"
    "       tabrik copy-db SOURCE TARGET       copy a database (file, Access file, connect\n"
    "                                          string or pointer file) into an empty one\n"
    "       tabrik plot DRAWING.dxf OUT        plot a drawing to OUT (.png, .svg or .pdf)\n"
    "       tabrik [OPTIONS]                   interactive: the \"Command: \" prompt\n"
    "options:\n"
    "  --drawing PATH      open the DXF file as a drawing (repeatable; the last is active)\n"
    "  --save PATH         at the end, save the active drawing as DXF to PATH\n"
    "  --plot PATH         at the end, plot the active drawing to PATH\n"
    "                      (.png, .svg or .pdf; the --plot-* settings below apply)\n"
    "  --plot-width N      the picture's width in pixels or points (default 1600)\n"
    "  --plot-paper SIZE   a sheet instead: A4, A3, A2, A1, A0, letter, legal, tabloid\n"
    "  --plot-scale S      paper to drawing units, as 1:50 (drawing units in mm)\n"
    "  --plot-dpi N        a PNG sheet's pixels to the inch (default 150)\n"
    "  --plot-view V       top (default), or the isometric sw, se, ne, nw (faces shaded)\n"
    "  --plot-window X1,Y1,X2,Y2  plot this window instead of the extents\n"
    "  --plot-layout       plot paper space and its viewports instead of model space\n"
    "  --save-exploded PATH  at the end, save a copy of the active drawing as DXF to\n"
    "                      PATH with custom entities exploded into plain entities\n"
    "  --save-step PATH    at the end, save the active drawing's duct solids as a STEP\n"
    "                      file to PATH\n"
    "  --input FILE        queue each line of FILE as one user input\n"
    "  --search-path DIRS  folders separated by ';' (ACADPREFIX and the file search)\n"
    "  --registry PATH     the registry file\n"
    "  --module PATH       load the module from PATH\n"
    "  --no-module         start without the module\n"
    "  --quiet             no progress output on standard error\n";

}  // namespace

void printUsage(bool toStderr) { std::fputs(kUsage, toStderr ? stderr : stdout); }

std::optional<CommandLine> parseCommandLine(int argc, char** argv) {
  CommandLine line;
  int i = 1;
  bool optionsEnded = false;
  for (; i < argc; ++i) {
    std::string arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      line.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (size_t equals = arg.find('='); equals != std::string::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    }
    if (name == "--no-module" || name == "--quiet" || name == "--help" || name == "--plot-layout") {
      if (value) {
        std::fprintf(stderr, "tabrik: option %s takes no value\n", name.c_str());
        return std::nullopt;
      }
      if (name == "--no-module") line.options.noModule = true;
      if (name == "--quiet") line.options.quiet = true;
      if (name == "--help") line.command = Command::kHelp;
      if (name == "--plot-layout") line.plotLayout = true;
      continue;
    }
    const char* known[] = {"--drawing",   "--save",        "--save-exploded", "--save-step",
                           "--input",     "--search-path", "--registry",      "--module",
                           "--plot",      "--plot-width",  "--plot-paper",    "--plot-scale",
                           "--plot-view", "--plot-window", "--plot-dpi"};
    bool isKnown = false;
    for (const char* option : known) isKnown = isKnown || name == option;
    if (!isKnown) {
      std::fprintf(stderr, "tabrik: unknown option %s\n", name.c_str());
      return std::nullopt;
    }
    if (!value) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "tabrik: option %s needs a value\n", name.c_str());
        return std::nullopt;
      }
      value = argv[++i];
    }
    if (name == "--drawing") line.options.drawings.push_back(*value);
    if (name == "--plot") line.plotPath = *value;
    if (name == "--plot-width") line.plotWidth = std::atoi(value->c_str());
    if (name == "--plot-paper") line.plotPaper = *value;
    if (name == "--plot-scale") line.plotScale = *value;
    if (name == "--plot-view") line.plotView = *value;
    if (name == "--plot-window") line.plotWindow = *value;
    if (name == "--plot-dpi") line.plotDpi = *value;
    if (name == "--save") line.options.savePath = *value;
    if (name == "--save-exploded") line.options.saveExplodedPath = *value;
    if (name == "--save-step") line.options.saveStepPath = *value;
    if (name == "--input") line.options.inputFile = *value;
    if (name == "--search-path") line.options.searchPath = *value;
    if (name == "--registry") line.options.registryPath = *value;
    if (name == "--module") line.options.modulePath = *value;
  }
  // The command is the first operand (options may come before it).
  if (line.command == Command::kInteractive && !line.operands.empty()) {
    const std::string& first = line.operands.front();
    if (first == "run") line.command = Command::kRun;
    if (first == "eval") line.command = Command::kEval;
    if (first == "test") line.command = Command::kTest;
    if (first == "plot") line.command = Command::kPlot;
    if (first == "convert-mdb") line.command = Command::kConvertMdb;
    if (first == "copy-db") line.command = Command::kCopyDb;
    if (first == "help" || first == "-h") line.command = Command::kHelp;
    if (line.command != Command::kInteractive) line.operands.erase(line.operands.begin());
  }
  if (line.command == Command::kHelp) return line;
  bool needsOperands = line.command == Command::kRun || line.command == Command::kEval ||
                       line.command == Command::kTest;
  if (needsOperands && line.operands.empty()) {
    std::fprintf(stderr, "tabrik: nothing to %s\n",
                 line.command == Command::kRun    ? "run"
                 : line.command == Command::kEval ? "evaluate"
                                                  : "test");
    return std::nullopt;
  }
  if (line.command == Command::kInteractive && !line.operands.empty()) {
    std::fprintf(stderr, "tabrik: unknown command %s\n", line.operands.front().c_str());
    return std::nullopt;
  }
  return line;
}

}  // namespace tabrik::app
