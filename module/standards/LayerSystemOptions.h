// The options of one layer system that the three discipline dialogs edit, as the
// dialogs show them: texts as typed, hatch angles in degrees. Loading reads the
// tblLayerSystem row by id; saving edits the same row and writes the columns of the
// discipline only.
#pragma once
#include <array>

#include "standards/TblLayerSystem.h"

namespace tabrik::arx::standards {

enum class Discipline { Electrical, HVAC, Plumbing };

// The module's value of pi, also for degree and radian conversion.
inline constexpr double kPi = 3.14159265;

struct HatchOptions {
  bool on = false;
  CString type;  // "Predefined" or "Custom"
  CString pattern;
  CString angle;  // degrees, at most two decimals
  CString scale;  // at most two decimals
};

struct LayerSystemOptions {
  CString description;
  bool solid = false;
  CString prefix;
  CString suffix;
  std::array<HatchOptions, 4> hatch;  // supply, return, exhaust, outside
  bool hatchFlexDucts = false;
  CString hatchOverhang;  // at most four decimals
};

// The air systems' labels in the hatch grid, in column-group order.
inline constexpr const wchar_t* kAirSystemLabels[4] = {L"Supply", L"Return", L"Exhaust",
                                                       L"Outside"};

// False when no row has that id (or the table cannot be read).
bool loadLayerSystemOptions(CTblLayerSystem& record, long id, LayerSystemOptions& options);
// Finds the row by id, switches to edit and saves the discipline's columns. False,
// writing nothing, when the row is gone or the save fails.
bool saveLayerSystemOptions(CTblLayerSystem& record, long id, const LayerSystemOptions& options,
                            Discipline discipline);

// A typed number as the dialogs read it: its leading number, 0 for none.
double numberFromText(const CString& text);

}  // namespace tabrik::arx::standards
