#include "standards/LabelOrderRows.h"

#include "standards/StandardsSql.h"

namespace tabrik::arx::standards {
namespace {

bool isNull(const VARIANT& value) { return value.vt == VT_NULL || value.vt == VT_EMPTY; }

CString textOf(const VARIANT& value) {
  if (isNull(value)) return CString();
  COleVariant copy(value);
  copy.ChangeType(VT_BSTR);
  CString text = copy.vt == VT_BSTR && copy.bstrVal != nullptr ? CString(copy.bstrVal) : CString();
  text.TrimRight(L' ');
  return text;
}

double numberOf(const VARIANT& value) {
  COleVariant copy(value);
  copy.ChangeType(VT_R8);
  return copy.vt == VT_R8 ? copy.dblVal : 0;
}

}  // namespace

LabelMode labelModeOf(const CString& mode) {
  if (mode.IsEmpty()) return LabelMode::Plain;
  return mode == L"SAME" ? LabelMode::SameWidth : LabelMode::Full;
}

bool loadLabelRows(CDBConnection& connection, const CString& group, std::vector<LabelRow>& rows) {
  DBQueryResult result;
  if (!connection.OpenQuery(sql::labelGroupRows(group), result)) return false;
  const std::size_t width = result.columns.size();
  if (width < 6) return false;
  for (std::size_t at = 0; at + width <= result.values.size(); at += width) {
    const COleVariant* cell = &result.values[at];
    LabelRow row;
    row.id = static_cast<long>(numberOf(cell[0]));
    row.key = textOf(cell[1]);
    row.label = textOf(cell[2]);
    const bool title = row.key == kScheduleTitle;
    if (!title && !isNull(cell[3])) row.width = sql::formatNumber(numberOf(cell[3]), 4);
    if (!title) row.justification = textOf(cell[4]);
    row.display = isNull(cell[5]) || numberOf(cell[5]) != 0;
    rows.push_back(row);
  }
  return true;
}

CString labelUpdate(const LabelRow& row, int number, LabelMode mode) {
  CString statement = sql::updateLabelGroupHead() + L" sLabel = " + sql::quote(row.label);
  if (mode != LabelMode::Plain) {
    statement += row.width.IsEmpty() ? CString(L", dWidth = NULL") : L", dWidth = " + row.width;
  }
  if (mode == LabelMode::Full) {
    statement += row.justification.IsEmpty()
                     ? CString(L", sJustification = 'Left'")
                     : L", sJustification = " + sql::quote(row.justification);
  }
  statement += row.display ? L", bDisplay = -1" : L", bDisplay = 0";
  CString order;
  order.Format(L", iSortOrder = %d", row.key == kScheduleTitle ? -1 : number);
  return statement + order + sql::whereLabelGroup(row.id);
}

}  // namespace tabrik::arx::standards
