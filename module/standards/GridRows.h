// Small operations on a dialog grid's data rows that the standards dialogs share.
#pragma once
#include <gridcontrol.h>

namespace tabrik::arx::standards {

// Exchanges two data rows whole: every cell's text, check state and read-only flag,
// and the rows' data. The selection is left alone.
void swapGridRows(CGridControl& grid, int first, int second);

// Moves the selected row one place up (`step` -1) or down (+1) within
// [firstMovable, last data row], keeping it selected; false when it cannot move.
bool moveSelectedRow(CGridControl& grid, int step, int firstMovable);

}  // namespace tabrik::arx::standards
