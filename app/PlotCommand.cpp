#include "PlotCommand.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <optional>

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

// A whole number, or nothing.
std::optional<int> wholeNumber(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != 0 || value < -1000000 || value > 1000000) return std::nullopt;
  return static_cast<int>(value);
}

// "X1,Y1,X2,Y2" into a window.
bool parseWindow(const std::string& text, plot::PlotOptions& options, std::string& error) {
  double v[4];
  const char* at = text.c_str();
  for (int i = 0; i < 4; ++i) {
    char* end = nullptr;
    v[i] = std::strtod(at, &end);
    const char expected = i < 3 ? ',' : '\0';
    if (end == at || *end != expected) {
      error = "the window must be X1,Y1,X2,Y2, not " + text;
      return false;
    }
    at = end + (i < 3 ? 1 : 0);
  }
  options.window = true;
  options.minX = v[0], options.minY = v[1], options.maxX = v[2], options.maxY = v[3];
  return true;
}

bool optionsFrom(const CommandLine& line, plot::PlotOptions& options, std::string& error) {
  options.width = line.plotWidth;
  options.layout = line.plotLayout;
  if (!line.plotPaper.empty() && !plot::parsePaper(line.plotPaper, options.paper, error))
    return false;
  if (!line.plotScale.empty() && !plot::parseScale(line.plotScale, options.paperScale, error))
    return false;
  if (!line.plotView.empty() && !plot::parseView(line.plotView, options.view, error)) return false;
  if (!line.plotWindow.empty() && !parseWindow(line.plotWindow, options, error)) return false;
  if (!line.plotDpi.empty()) {
    const auto dpi = wholeNumber(line.plotDpi);
    if (!dpi) {
      error = "the resolution must be a whole number, not " + line.plotDpi;
      return false;
    }
    options.dpi = *dpi;
  }
  return true;
}

// A string or a number as text (a scale may be given either way).
std::string textOf(const lisp::Value& value) {
  if (value.isString()) return value.asString();
  if (value.isNumber()) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", value.asNumber());
    return buffer;
  }
  return std::string();
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// An association list of settings: (("paper" . "A4") ("scale" . "1:50") ("view" . "sw")
// ("layout" . T) ("dpi" . 300)); keys in any letter case.
bool isSettings(const lisp::Value& value) {
  return value.isCons() && value.car().isCons() && value.car().car().isString();
}

bool settingsFrom(const lisp::Value& list, plot::PlotOptions& options, std::string& error) {
  for (const lisp::Value* cell = &list; cell->isCons(); cell = &cell->cdr()) {
    const lisp::Value& pair = cell->car();
    if (!pair.isCons() || !pair.car().isString()) {
      error = "each setting must be a (name . value) pair";
      return false;
    }
    const std::string key = lower(pair.car().asString());
    const lisp::Value& value = pair.cdr();
    const std::string text = textOf(value);
    if (key == "paper") {
      if (!plot::parsePaper(text, options.paper, error)) return false;
    } else if (key == "scale") {
      if (!plot::parseScale(text, options.paperScale, error)) return false;
    } else if (key == "view") {
      if (!plot::parseView(text, options.view, error)) return false;
    } else if (key == "layout") {
      options.layout = value.isTrue();
    } else if (key == "dpi" || key == "width") {
      if (!value.isInt()) {
        error = "the " + key + " must be a whole number";
        return false;
      }
      (key == "dpi" ? options.dpi : options.width) = value.asInt();
    } else {
      error = "unknown setting " + pair.car().asString() +
              " (paper, scale, view, layout, dpi or width)";
      return false;
    }
  }
  return true;
}

}  // namespace

bool plotActiveDrawing(const std::string& output, const CommandLine& line, std::string& error) {
  plot::PlotOptions options;
  options.output = output;
  if (!optionsFrom(line, options, error)) return false;
  return plotWith(options, error);
}

int runPlot(const CommandLine& line) {
  if (line.operands.size() != 2) {
    std::fprintf(stderr, "usage: tabrik plot [OPTIONS] DRAWING.dxf OUT.png|svg|pdf\n");
    return 2;
  }
  // Settings are checked before the drawing is read: a mistake costs nothing.
  plot::PlotOptions checked;
  std::string error;
  if (!optionsFrom(line, checked, error)) {
    std::fprintf(stderr, "tabrik: plot: %s\n", error.c_str());
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
  const bool plotted = plotActiveDrawing(line.operands[1], line, error);
  session.end();
  if (!plotted) {
    std::fprintf(stderr, "tabrik: plot: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

void addPlotFunction() {
  acad::HostSession::addLispInstaller([](lisp::Runtime& runtime) {
    // (host:plot "OUT" [WIDTH] [CORNER1 CORNER2] [SETTINGS]): SETTINGS, an association
    // list, may also stand in WIDTH's place.
    runtime.defineBuiltin("host:plot", [](lisp::Runtime&, lisp::Args args) -> lisp::Value {
      lisp::checkArgCount(args, 1, 5);
      plot::PlotOptions options;
      options.output = lisp::stringArg(args[0]);
      std::size_t count = args.size();
      const lisp::Value* settings = nullptr;
      if (count > 1 && isSettings(args[count - 1])) settings = &args[--count];
      if (count > 1 && !args[1].isNil()) options.width = lisp::intArg(args[1]);
      if (count == 3) lisp::checkArgCount(args, args.size() + 1, 5);  // a window needs both corners
      if (count > 4) lisp::checkArgCount(args, 1, args.size() - 1);
      if (count == 4) {
        const auto first = lisp::pointArg(args[2]);
        const auto second = lisp::pointArg(args[3]);
        options.window = true;
        options.minX = first[0], options.minY = first[1];
        options.maxX = second[0], options.maxY = second[1];
      }
      std::string error;
      if ((settings == nullptr || settingsFrom(*settings, options, error)) &&
          plotWith(options, error))
        return lisp::Value::t();
      acad::HostSession::write("\n; plot: " + error + "\n");
      return lisp::Value::nil();
    });
  });
}

}  // namespace tabrik::app
