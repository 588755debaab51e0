// host:dialogs records and the ("dump") state of a dialog.
#include "ui/DialogRecord.h"

#include <cstdlib>
#include <cwchar>

#include "HostTesting.h"
#include "acutads.h"
#include "adscodes.h"
#include "ui/DialogState.h"

namespace tabrik::ui {

ResbufList::ResbufList() { open(); }

ResbufList::~ResbufList() {
  if (m_head) acutRelRb(m_head);
}

resbuf* ResbufList::add(short type) {
  resbuf* item = acutNewRb(type);
  if (m_tail)
    m_tail->rbnext = item;
  else
    m_head = item;
  m_tail = item;
  return item;
}

ResbufList& ResbufList::text(const std::wstring& value) {
  resbuf* item = add(RTSTR);
  item->resval.rstring = static_cast<ACHAR*>(std::malloc((value.size() + 1) * sizeof(ACHAR)));
  if (item->resval.rstring) {
    value.copy(item->resval.rstring, value.size());
    item->resval.rstring[value.size()] = L'\0';
  }
  return *this;
}

ResbufList& ResbufList::integer(int value) {
  if (value >= -32768 && value <= 32767) {
    add(RTSHORT)->resval.rint = static_cast<short>(value);
  } else {
    add(RTLONG)->resval.rlong = value;
  }
  return *this;
}

ResbufList& ResbufList::boolean(bool value) {
  add(value ? RTT : RTNIL);
  return *this;
}

ResbufList& ResbufList::open() {
  add(RTLB);
  return *this;
}

ResbufList& ResbufList::close() {
  add(RTLE);
  return *this;
}

ResbufList& ResbufList::chain(resbuf* items) {
  if (items == nullptr) return *this;
  if (m_tail)
    m_tail->rbnext = items;
  else
    m_head = items;
  while (items->rbnext) items = items->rbnext;
  m_tail = items;
  return *this;
}

resbuf* ResbufList::take() {
  close();
  resbuf* head = m_head;
  m_head = m_tail = nullptr;
  return head;
}

namespace {

// The records of dialogs still open, innermost last: a nested dialog's record waits in
// its opener's list so that host:dialogs lists runs in the order they opened.
std::vector<std::vector<resbuf*>>& openRuns() {
  static std::vector<std::vector<resbuf*>> runs;
  return runs;
}

}  // namespace

void beginDialogRun() { openRuns().emplace_back(); }

void recordDialogRun(const std::wstring& name, const std::wstring& caption, int result,
                     std::vector<resbuf*> dumps) {
  ResbufList record;
  record.text(name).text(caption).integer(result);
  if (dumps.empty()) {
    record.boolean(false);
  } else {
    record.open();
    for (resbuf* dump : dumps) record.chain(dump);
    record.close();
  }
  std::vector<resbuf*> records{record.take()};
  if (!openRuns().empty()) {
    std::vector<resbuf*>& nested = openRuns().back();
    records.insert(records.end(), nested.begin(), nested.end());
    openRuns().pop_back();
  }
  if (!openRuns().empty()) {
    openRuns().back().insert(openRuns().back().end(), records.begin(), records.end());
    return;
  }
  for (resbuf* each : records) tabrik::acad::testing::recordDialog(each);
}

namespace {

std::wstring labelOf(const ControlState& control) {
  return control.label.empty() ? std::to_wstring(static_cast<int>(control.id())) : control.label;
}

}  // namespace

resbuf* dumpDialog(const DialogState& state) {
  ResbufList dump;
  for (const auto& owned : state.controls) {
    const ControlState& control = *owned;
    switch (control.kind) {
      case ControlKind::Edit:
        dump.open().text(L"edit").text(labelOf(control)).text(control.text).close();
        break;
      case ControlKind::CheckBox:
      case ControlKind::RadioButton:
        dump.open()
            .text(L"check")
            .text(labelOf(control))
            .boolean(control.check == BST_CHECKED)
            .close();
        break;
      case ControlKind::ComboBox:
        dump.open().text(L"combo").text(labelOf(control)).text(control.text).close();
        break;
      case ControlKind::ListBox: {
        dump.open().text(L"list").text(labelOf(control));
        if (control.selection >= 0)
          dump.integer(control.selection);
        else
          dump.boolean(false);
        for (const std::wstring& item : control.items) dump.text(item);
        dump.close();
        break;
      }
      case ControlKind::Static:
        if (control.textSetAtRunTime)
          dump.open()
              .text(L"static")
              .integer(static_cast<int>(control.id()))
              .text(control.text)
              .close();
        break;
      case ControlKind::Grid: {
        const GridModel& grid = *control.grid;
        dump.open().text(L"grid").text(L"grid" + std::to_wstring(control.gridNumber));
        dump.open();
        for (int column = 0; column < grid.columnCount(); ++column) dump.text(grid.text(0, column));
        dump.close();
        for (int row = 1; row < grid.rowCount(); ++row) {
          dump.open();
          for (int column = 0; column < grid.columnCount(); ++column)
            dump.text(grid.text(row, column));
          dump.close();
        }
        dump.close();
        break;
      }
      default:
        break;
    }
  }
  return dump.take();
}

}  // namespace tabrik::ui
