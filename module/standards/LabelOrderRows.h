// What the label order dialog shows and saves, apart from its grid: the rows of one
// label group, which columns the mode shows, and the update statement of each row.
#pragma once
#include <vector>

#include "db/CDBConnection.h"

namespace tabrik::arx::standards {

// The mode argument: empty shows neither width nor justification; "SAME" shows one
// width for all rows; any other text shows both (justification as a combo).
enum class LabelMode { Plain, SameWidth, Full };
LabelMode labelModeOf(const CString& mode);

// The key of the row that titles the schedule: no width, no justification, sort order -1.
inline constexpr const wchar_t* kScheduleTitle = L"Schedule Title";

struct LabelRow {
  long id = 0;
  CString key;
  CString label;
  CString width;  // at most four decimals; "" for Null and for the title row
  CString justification;
  bool display = true;
};

// The group's rows in sort order. False when the query fails (the connection keeps the
// error).
bool loadLabelRows(CDBConnection& connection, const CString& group, std::vector<LabelRow>& rows);

// The update of the row at position `number` (from 1) of the grid.
CString labelUpdate(const LabelRow& row, int number, LabelMode mode);

}  // namespace tabrik::arx::standards
