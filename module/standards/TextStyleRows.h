// What the text style dialog shows and saves, apart from the grid that shows it: the
// rows of tblTextStyle that the LISP application lets through, the check of the
// required default row, and the update statement of a row.
#pragma once
#include <functional>
#include <optional>
#include <vector>

#include "db/CDBConnection.h"

namespace tabrik::arx::standards {

struct TextStyleRow {
  CString key;
  long id = 0;
  CString style;
  CString height;  // shown with at most four decimals; "" for Null
  CString scale;
};

// The rows in the order of the "sKey" index, each record for which `show(key)` is
// true (the dialog asks "util-showTextStyle"). False when the table cannot be read;
// the rows read so far are kept.
bool loadTextStyleRows(CDBConnection& connection, const std::function<bool(const CString&)>& show,
                       std::vector<TextStyleRow>& rows);

// The row that stops OK: the first whose key is "Default" or "DEFAULT" (exactly)
// with an empty style, or else an empty height; with the message to show and the
// column ("Text Style" or "Height") to put the cursor on.
struct RequiredValueMissing {
  std::size_t row;
  const wchar_t* column;
  const wchar_t* message;
};
std::optional<RequiredValueMissing> findMissingDefault(const std::vector<TextStyleRow>& rows);

// "update tblTextStyle set sStyleName = ..., dHeight = ..., dScaleFactor = ... where
// ixTextStyle = id"; empty cells (after trimming) are written as NULL, numbers as typed.
CString textStyleUpdate(const TextStyleRow& row);

}  // namespace tabrik::arx::standards
