#include "standards/TextStyleRows.h"

#include "standards/StandardsSql.h"
#include "standards/TblTextStyle.h"

namespace tabrik::arx::standards {
namespace {

CString trimmed(CString text) {
  text.Trim();
  return text;
}

CString numberCell(const std::optional<double>& value) {
  return value ? sql::formatNumber(*value, 4) : CString();
}

}  // namespace

bool loadTextStyleRows(CDBConnection& connection, const std::function<bool(const CString&)>& show,
                       std::vector<TextStyleRow>& rows) {
  CTblTextStyle record(&connection);
  if (!record.SetIndex(L"sKey")) return false;
  for (bool more = record.MoveFirst(); more; more = record.MoveNext()) {
    const CString key = record.GetText(CTblTextStyle::kKey);
    if (!show(key)) continue;
    rows.push_back(TextStyleRow{key, record.Key(), record.GetText(CTblTextStyle::kStyleName),
                                numberCell(record.GetOptionalDouble(CTblTextStyle::kHeight)),
                                numberCell(record.GetOptionalDouble(CTblTextStyle::kScaleFactor))});
  }
  return !connection.HasError();
}

std::optional<RequiredValueMissing> findMissingDefault(const std::vector<TextStyleRow>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].key != L"Default" && rows[i].key != L"DEFAULT") continue;
    if (trimmed(rows[i].style).IsEmpty()) {
      return RequiredValueMissing{i, L"Text Style", L"DEFAULT \"Text Style\" must have a value."};
    }
    if (trimmed(rows[i].height).IsEmpty()) {
      return RequiredValueMissing{i, L"Height", L"DEFAULT \"Height\" must have a value."};
    }
  }
  return std::nullopt;
}

CString textStyleUpdate(const TextStyleRow& row) {
  const CString style = trimmed(row.style);
  const CString height = trimmed(row.height);
  const CString scale = trimmed(row.scale);
  CString statement = sql::updateTextStyleHead();
  statement +=
      style.IsEmpty() ? CString(L" sStyleName = NULL") : L" sStyleName = " + sql::quote(style);
  statement += height.IsEmpty() ? CString(L", dHeight = NULL") : L", dHeight = " + height;
  statement += scale.IsEmpty() ? CString(L", dScaleFactor = NULL") : L", dScaleFactor = " + scale;
  return statement + sql::whereTextStyle(row.id);
}

}  // namespace tabrik::arx::standards
