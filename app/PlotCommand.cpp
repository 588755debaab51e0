#include "PlotCommand.h"

#include <cstdio>

#include "HostSession.h"
#include "dbmain.h"
#include "lisp/Runtime.h"
#include "tabrik/Plotter.h"

namespace tabrik::app {

namespace {

bool plotWith(const plot::PlotOptions& options, std::string& error) {
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  return plot::plotDrawing(db, options, error);
}

}  // namespace

bool plotActiveDrawing(const std::string& output, int width, std::string& error) {
  plot::PlotOptions options;
  options.output = output;
  options.width = width;
  return plotWith(options, error);
}

int runPlot(const CommandLine& line) {
  if (line.operands.size() != 2) {
    std::fprintf(stderr, "usage: tabrik plot [OPTIONS] DRAWING.dxf OUT.png|svg|pdf\n");
    return 2;
  }
  acad::SessionOptions options = line.options;
  options.drawings = {line.operands[0]};
  options.quiet = true;
  acad::HostSession session(options);
  if (session.start() != acad::HostSession::Status::kOk) {
    session.end();
    return 2;
  }
  std::string error;
  const bool plotted = plotActiveDrawing(line.operands[1], line.plotWidth, error);
  session.end();
  if (!plotted) {
    std::fprintf(stderr, "tabrik: plot: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

void addPlotFunction() {
  acad::HostSession::addLispInstaller([](lisp::Runtime& runtime) {
    runtime.defineBuiltin("host:plot", [](lisp::Runtime&, lisp::Args args) -> lisp::Value {
      lisp::checkArgCount(args, 1, 4);
      plot::PlotOptions options;
      options.output = lisp::stringArg(args[0]);
      if (args.size() > 1 && !args[1].isNil()) options.width = lisp::intArg(args[1]);
      if (args.size() == 3) lisp::checkArgCount(args, 4, 4);  // a window needs both corners
      if (args.size() == 4) {
        const auto first = lisp::pointArg(args[2]);
        const auto second = lisp::pointArg(args[3]);
        options.window = true;
        options.minX = first[0], options.minY = first[1];
        options.maxX = second[0], options.maxY = second[1];
      }
      std::string error;
      if (plotWith(options, error)) return lisp::Value::t();
      acad::HostSession::write("\n; plot: " + error + "\n");
      return lisp::Value::nil();
    });
  });
}

}  // namespace tabrik::app
