// The grid model: structure, cell values, and the user's edits with their
// notifications.
#include "ui/GridModel.h"

#include <algorithm>
#include <utility>
#include <cerrno>
#include <cwchar>
#include <cwctype>

namespace tabrik::ui {

namespace {

bool equalNoCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  return true;
}

int compareNoCase(const std::wstring& a, const std::wstring& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    wint_t x = std::towlower(a[i]);
    wint_t y = std::towlower(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The whole text as a number, if it is one.
bool asNumber(const std::wstring& text, double& value) {
  if (text.empty()) return false;
  wchar_t* end = nullptr;
  errno = 0;
  value = std::wcstod(text.c_str(), &end);
  return end != nullptr && *end == L'\0' && errno == 0;
}

// Numbers before texts; numbers by value, texts ignoring case.
int compareCells(const std::wstring& a, const std::wstring& b) {
  double x = 0;
  double y = 0;
  bool xNumber = asNumber(a, x);
  bool yNumber = asNumber(b, y);
  if (xNumber && yNumber) return x < y ? -1 : (x > y ? 1 : 0);
  if (xNumber != yNumber) return xNumber ? -1 : 1;
  return compareNoCase(a, b);
}

}  // namespace

int GridModel::insertColumn(std::wstring heading, GridCellKind kind, int width) {
  m_columns.push_back(GridColumn{std::move(heading), kind, std::max(width, 0), false, false});
  for (GridRow& row : m_rows) row.cells.emplace_back();
  return columnCount() - 1;
}

const GridColumn* GridModel::column(int index) const {
  return index >= 0 && index < columnCount() ? &m_columns[index] : nullptr;
}

GridColumn* GridModel::column(int index) {
  return index >= 0 && index < columnCount() ? &m_columns[index] : nullptr;
}

int GridModel::findColumn(const std::wstring& heading, bool visibleOnly) const {
  for (int i = 0; i < columnCount(); ++i) {
    if (visibleOnly && m_columns[i].hidden) continue;
    if (equalNoCase(m_columns[i].heading, heading)) return i;
  }
  return -1;
}

int GridModel::insertRow(std::wstring firstCell, int before) {
  GridRow row;
  row.cells.resize(m_columns.size());
  if (!row.cells.empty()) row.cells[0].text = std::move(firstCell);
  int count = static_cast<int>(m_rows.size());
  int index = (before >= 1 && before <= count) ? before - 1 : count;
  m_rows.insert(m_rows.begin() + index, std::move(row));
  if (m_selected >= index + 1) ++m_selected;
  return index + 1;
}

bool GridModel::deleteRow(int number) {
  if (number < 1 || number >= rowCount()) return false;
  m_rows.erase(m_rows.begin() + (number - 1));
  if (m_selected == number)
    m_selected = 0;
  else if (m_selected > number)
    --m_selected;
  return true;
}

void GridModel::clearRows() {
  m_rows.clear();
  m_selected = 0;
}

GridRow* GridModel::row(int number) {
  return number >= 1 && number < rowCount() ? &m_rows[number - 1] : nullptr;
}

const GridRow* GridModel::row(int number) const {
  return number >= 1 && number < rowCount() ? &m_rows[number - 1] : nullptr;
}

GridCell* GridModel::cell(int number, int columnIndex) {
  GridRow* data = row(number);
  if (data == nullptr || columnIndex < 0 || columnIndex >= columnCount()) return nullptr;
  return &data->cells[columnIndex];
}

const GridCell* GridModel::cell(int number, int columnIndex) const {
  const GridRow* data = row(number);
  if (data == nullptr || columnIndex < 0 || columnIndex >= columnCount()) return nullptr;
  return &data->cells[columnIndex];
}

std::wstring GridModel::text(int number, int columnIndex) const {
  if (number == 0) {
    const GridColumn* heading = column(columnIndex);
    return heading ? heading->heading : L"";
  }
  const GridCell* found = cell(number, columnIndex);
  return found ? found->text : L"";
}

bool GridModel::setText(int number, int columnIndex, std::wstring value) {
  if (number == 0) {
    GridColumn* heading = column(columnIndex);
    if (heading == nullptr) return false;
    heading->heading = std::move(value);
    return true;
  }
  GridCell* found = cell(number, columnIndex);
  if (found == nullptr) return false;
  found->text = std::move(value);
  return true;
}

GridCellKind GridModel::kind(int number, int columnIndex) const {
  const GridCell* found = cell(number, columnIndex);
  if (found && found->kind) return *found->kind;
  const GridColumn* owner = column(columnIndex);
  return owner ? owner->kind : GCK_TEXT;
}

bool GridModel::readOnly(int number, int columnIndex) const {
  const GridCell* found = cell(number, columnIndex);
  const GridColumn* owner = column(columnIndex);
  return found == nullptr || found->readOnly || (owner && owner->readOnly);
}

void GridModel::setSelectedRow(int number) {
  m_selected = (number >= 1 && number < rowCount()) ? number : 0;
}

void GridModel::sort(int columnIndex, bool ascending) {
  if (column(columnIndex) == nullptr) return;
  const bool selected = row(m_selected) != nullptr;
  std::vector<size_t> order(m_rows.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    int compared =
        compareCells(m_rows[a].cells[columnIndex].text, m_rows[b].cells[columnIndex].text);
    return ascending ? compared < 0 : compared > 0;
  });
  std::vector<GridRow> sorted;
  sorted.reserve(m_rows.size());
  int newSelected = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    if (selected && order[i] == static_cast<size_t>(m_selected - 1))
      newSelected = static_cast<int>(i) + 1;
    sorted.push_back(std::move(m_rows[order[i]]));
  }
  m_rows = std::move(sorted);
  m_selected = newSelected;
}

int GridModel::firstVisibleColumn() const {
  for (int i = 0; i < columnCount(); ++i)
    if (!m_columns[i].hidden) return i;
  return -1;
}

int GridModel::findRow(const std::wstring& firstCell) const {
  int first = firstVisibleColumn();
  if (first < 0) return 0;
  for (int number = 1; number < rowCount(); ++number)
    if (equalNoCase(m_rows[number - 1].cells[first].text, firstCell)) return number;
  return 0;
}

GridRefusal GridModel::commit(int number, int columnIndex, std::wstring value) {
  GridCell* target = cell(number, columnIndex);
  if (notify(GCN_BEGINEDIT, number, columnIndex) != 0) return GridRefusal::Vetoed;
  // The handler may have removed the row.
  target = cell(number, columnIndex);
  if (target == nullptr) return GridRefusal::NoSuchCell;
  std::wstring old = std::exchange(target->text, std::move(value));
  if (notify(GCN_ENDEDIT, number, columnIndex) != 0) {
    if (GridCell* again = cell(number, columnIndex)) again->text = std::move(old);
    return GridRefusal::Vetoed;
  }
  return GridRefusal::None;
}

GridRefusal GridModel::userEdit(int number, int columnIndex, const std::wstring& value) {
  const GridCell* target = cell(number, columnIndex);
  if (target == nullptr || column(columnIndex)->hidden) return GridRefusal::NoSuchCell;
  if (readOnly(number, columnIndex)) return GridRefusal::ReadOnly;
  switch (kind(number, columnIndex)) {
    case GCK_TEXT:
      return commit(number, columnIndex, value);
    case GCK_COMBO: {
      // A combo cell takes one of its options (its own text, as typed, when it has none).
      if (target->options.empty()) return commit(number, columnIndex, value);
      for (const std::wstring& option : target->options)
        if (equalNoCase(option, value)) return commit(number, columnIndex, option);
      return GridRefusal::NotAnOption;
    }
    case GCK_CHECK:
    case GCK_BUTTON:
    default:
      return GridRefusal::WrongKind;
  }
}

GridRefusal GridModel::userSetCheck(int number, int columnIndex, bool checked) {
  const GridCell* target = cell(number, columnIndex);
  if (target == nullptr || column(columnIndex)->hidden) return GridRefusal::NoSuchCell;
  if (kind(number, columnIndex) != GCK_CHECK) return GridRefusal::WrongKind;
  if (readOnly(number, columnIndex)) return GridRefusal::ReadOnly;
  return commit(number, columnIndex, checkText(checked));
}

GridRefusal GridModel::userClick(int number, int columnIndex) {
  const GridCell* target = cell(number, columnIndex);
  if (target == nullptr || column(columnIndex)->hidden) return GridRefusal::NoSuchCell;
  switch (kind(number, columnIndex)) {
    case GCK_BUTTON:
      if (readOnly(number, columnIndex)) return GridRefusal::ReadOnly;
      notify(GCN_BUTTONCLICK, number, columnIndex);
      return GridRefusal::None;
    case GCK_CHECK:
      return userSetCheck(number, columnIndex, target->text != L"1");
    default:
      // A click on any other cell selects its row.
      return userSelectRow(number);
  }
}

GridRefusal GridModel::userSelectRow(int number) {
  if (number < 1 || number >= rowCount()) return GridRefusal::NoSuchCell;
  if (m_selected == number) return GridRefusal::None;
  m_selected = number;
  notify(GCN_SELCHANGED, number, 0);
  return GridRefusal::None;
}

GridRefusal GridModel::userSort(int columnIndex, bool ascending) {
  const GridColumn* target = column(columnIndex);
  if (target == nullptr || target->hidden) return GridRefusal::NoSuchCell;
  if (!sortable) return GridRefusal::ReadOnly;
  sort(columnIndex, ascending);
  notify(GCN_SORTED, 0, columnIndex);
  return GridRefusal::None;
}

}  // namespace tabrik::ui
