// Pictures of drawings from the command line and from scripts: `tabrik plot`,
// `--plot` after a run, and (host:plot "OUT" [WIDTH] [CORNER1 CORNER2] [OPTIONS]).
#pragma once
#include <string>

#include "CommandLine.h"

namespace tabrik::app {

// Plots the active drawing with the command line's plot options; false with the
// reason in `error`.
bool plotActiveDrawing(const std::string& output, const CommandLine& line, std::string& error);

// `tabrik plot DRAWING OUT`: 0 when the picture was written, 1 (after a message) when
// not, 2 for a usage error.
int runPlot(const CommandLine& line);

void addPlotFunction();

}  // namespace tabrik::app
