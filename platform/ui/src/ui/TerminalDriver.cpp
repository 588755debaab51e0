// The terminal driver of the interactive host: a dialog is a screen on curses, laid
// out from its template (a dialog unit is a quarter of a character across and an
// eighth down, so templates land on the character grid), worked with the keyboard:
//
//   Tab / Shift-Tab   next / previous control      Esc     Cancel
//   typing, Backspace edit an edit or an editable combo box
//   Space             tick a check box, press a button, click a grid cell
//   Enter             press a button; elsewhere the default button; in a grid, edit the cell
//   Up / Down         pick an item of a list or combo box, a row of a grid
//   Left / Right      a column of a grid        s   sort the grid by that column
#include <ncurses.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "WinUserTesting.h"
#include "tabrik/DialogDriver.h"
#include "tabrik/TextConversion.h"
#include "ui/DialogState.h"

namespace tabrik::ui {

namespace {

std::string narrow(const std::wstring& text) { return tabrik::text::toUtf8(text); }

bool focusable(const ControlState& control) {
  if (!control.visible || !control.enabled) return false;
  switch (control.kind) {
    case ControlKind::Edit:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::PushButton:
    case ControlKind::ComboBox:
    case ControlKind::ListBox:
    case ControlKind::Grid:
      return true;
    default:
      return false;
  }
}

// One curses session for the outermost dialog; nested dialogs share it.
class Screen {
 public:
  static bool open() {
    if (s_depth++ > 0) return true;
    std::fflush(stdout);
    s_screen = newterm(nullptr, stdout, stdin);
    if (s_screen == nullptr) {
      --s_depth;
      return false;
    }
    set_term(s_screen);
    cbreak();
    noecho();
    keypad(stdscr, TRUE);
    set_escdelay(25);
    curs_set(0);
    // A message box while the screen is up is asked on the plain terminal.
    s_previous = win::testing::setMessageBoxHandler(
        [](const win::testing::MessageBoxRequest& request) {
          def_prog_mode();
          endwin();
          int answer = s_previous ? s_previous(request) : win::testing::messageBoxDefault(request.style);
          reset_prog_mode();
          refresh();
          return answer;
        });
    return true;
  }
  static void close() {
    if (--s_depth > 0) return;
    win::testing::setMessageBoxHandler(s_previous);
    s_previous = nullptr;
    endwin();
    delscreen(s_screen);
    s_screen = nullptr;
    std::fflush(stdout);
  }

 private:
  static inline int s_depth = 0;
  static inline SCREEN* s_screen = nullptr;
  static inline win::testing::MessageBoxHandler s_previous;
};

class TerminalRun {
 public:
  explicit TerminalRun(CDialog& dialog) : m_dialog(dialog) {}

  void run() {
    focusNext(+1);
    while (!ended()) {
      draw();
      int key = getch();
      if (key == ERR) {
        // End of input: the dialog is cancelled.
        m_dialog.EndDialog(IDCANCEL);
        return;
      }
      handle(key);
    }
  }

 private:
  DialogState& state() const { return *m_dialog.dialogState(); }
  bool ended() const { return m_dialog.dialogState() == nullptr || state().ended; }
  ControlState* focused() const {
    if (m_focus < 0 || m_focus >= static_cast<int>(state().controls.size())) return nullptr;
    ControlState* control = state().controls[m_focus].get();
    return focusable(*control) ? control : nullptr;
  }

  void focusNext(int step) {
    const int count = static_cast<int>(state().controls.size());
    for (int n = 1; n <= count; ++n) {
      int index = ((m_focus < 0 ? (step > 0 ? -1 : 0) : m_focus) + step * n + count * 2) % count;
      if (focusable(*state().controls[index])) {
        m_focus = index;
        return;
      }
    }
  }

  static int column(const ControlState& control) { return 2 + control.item.x / 4; }
  static int row(const ControlState& control) { return 2 + control.item.y / 8; }
  static int width(const ControlState& control) { return std::max(4, control.item.cx / 4); }
  static int height(const ControlState& control) { return std::max(1, control.item.cy / 8); }

  void put(int y, int x, const std::wstring& text, int limit, attr_t attributes = A_NORMAL) {
    std::wstring shown = text;
    for (wchar_t& c : shown)
      if (c == L'\n' || c == L'\r' || c == L'\t') c = L'|';
    if (limit >= 0 && static_cast<int>(shown.size()) > limit) shown = shown.substr(shown.size() - limit);
    attron(attributes);
    mvaddstr(y, x, narrow(shown).c_str());
    attroff(attributes);
  }

  void draw() {
    erase();
    const DLGTEMPLATE_DATA& tmpl = *state().tmpl;
    const int boxWidth = std::max(20, tmpl.cx / 4 + 4);
    const int boxHeight = std::max(4, tmpl.cy / 8 + 4);
    for (int x = 0; x < boxWidth; ++x) {
      mvaddch(0, x, '-');
      mvaddch(boxHeight - 1, x, '-');
    }
    put(0, 2, L" " + state().caption + L" ", -1, A_BOLD);
    for (const auto& owned : state().controls) {
      const ControlState& control = *owned;
      if (!control.visible) continue;
      const bool hasFocus = focused() == &control;
      const attr_t look = hasFocus ? A_REVERSE : (control.enabled ? A_NORMAL : A_DIM);
      const int y = row(control);
      const int x = column(control);
      switch (control.kind) {
        case ControlKind::Static:
        case ControlKind::GroupBox:
          put(y, x, withoutMnemonics(control.text), width(control));
          break;
        case ControlKind::Edit: {
          std::wstring text = control.text;
          const int room = width(control) - 2;
          if (static_cast<int>(text.size()) < room) text.resize(room, L' ');
          put(y, x, L"[" + text.substr(std::max<int>(0, static_cast<int>(text.size()) - room)) + L"]", -1, look);
          break;
        }
        case ControlKind::CheckBox:
          put(y, x, (control.check == BST_CHECKED ? L"[x] " : L"[ ] ") + control.label, -1, look);
          break;
        case ControlKind::RadioButton:
          put(y, x, (control.check == BST_CHECKED ? L"(*) " : L"( ) ") + control.label, -1, look);
          break;
        case ControlKind::PushButton:
          put(y, x, L"< " + control.label + L" >", -1, look);
          break;
        case ControlKind::ComboBox: {
          std::wstring text = control.text;
          const int room = width(control) - 4;
          if (static_cast<int>(text.size()) < room) text.resize(room, L' ');
          put(y, x, L"[" + text.substr(0, room) + L" v]", -1, look);
          break;
        }
        case ControlKind::ListBox: {
          const int lines = height(control);
          const int first = std::max(0, control.selection - lines + 1);
          for (int i = 0; i < lines; ++i) {
            const int item = first + i;
            std::wstring text = item < static_cast<int>(control.items.size()) ? control.items[item] : L"";
            text = (item == control.selection ? L"> " : L"  ") + text;
            text.resize(width(control), L' ');
            put(y + i, x, text, -1, item == control.selection && hasFocus ? A_REVERSE : (i == 0 && hasFocus && control.selection < 0 ? A_REVERSE : A_NORMAL));
          }
          break;
        }
        case ControlKind::Grid:
          drawGrid(control, hasFocus);
          break;
        default:
          break;
      }
    }
    put(boxHeight, 0, L"Tab/Shift-Tab: move  Space: tick/press  Enter: OK or edit cell  Esc: cancel", -1, A_DIM);
    refresh();
  }

  void drawGrid(const ControlState& control, bool hasFocus) {
    const GridModel& grid = *control.grid;
    int x = column(control);
    const int y = row(control);
    const int lines = std::max(2, height(control));
    const int first = std::max(1, grid.selectedRow() - (lines - 2));
    for (int c = 0; c < grid.columnCount(); ++c) {
      const GridColumn* heading = grid.column(c);
      if (heading->hidden) continue;
      int columnWidth = static_cast<int>(heading->heading.size()) + 2;
      for (int r = 1; r < grid.rowCount(); ++r)
        columnWidth = std::max(columnWidth, static_cast<int>(grid.text(r, c).size()) + 2);
      columnWidth = std::min(columnWidth, 24);
      put(y, x, heading->heading, columnWidth - 1, A_UNDERLINE);
      for (int i = 0; i < lines - 1; ++i) {
        const int r = first + i;
        if (r >= grid.rowCount()) break;
        std::wstring text = grid.text(r, c);
        switch (grid.kind(r, c)) {
          case GCK_CHECK:
            text = text == L"1" ? L"[x]" : L"[ ]";
            break;
          case GCK_BUTTON:
            text = L"<" + text + L">";
            break;
          default:
            break;
        }
        attr_t look = A_NORMAL;
        if (r == grid.selectedRow()) look = (hasFocus && c == m_gridColumn) ? A_REVERSE : A_BOLD;
        put(y + 1 + i, x, text.substr(0, columnWidth - 1), -1, look);
      }
      x += columnWidth;
    }
  }

  // The line at the bottom of the screen, for a grid cell's new text.
  std::optional<std::wstring> readLine(const std::wstring& prompt, std::wstring text) {
    const int y = std::max(2, state().tmpl->cy / 8 + 5);
    curs_set(1);
    while (true) {
      move(y, 0);
      clrtoeol();
      put(y, 0, prompt + text, -1);
      refresh();
      int key = getch();
      if (key == ERR || key == 27) {
        curs_set(0);
        return std::nullopt;
      }
      if (key == '\n' || key == '\r' || key == KEY_ENTER) break;
      if (key == KEY_BACKSPACE || key == 127 || key == 8) {
        if (!text.empty()) text.pop_back();
      } else if (key >= 32 && key < 256) {
        text += static_cast<wchar_t>(key);
      }
    }
    curs_set(0);
    return text;
  }

  void pressDefault() {
    for (const auto& control : state().controls) {
      if (control->kind == ControlKind::PushButton && (control->item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
          control->enabled && control->visible) {
        state().command(*control, BN_CLICKED);
        return;
      }
    }
    if (ControlState* ok = state().find(IDOK); ok && ok->enabled) state().command(*ok, BN_CLICKED);
  }

  void type(ControlState& control, int key) {
    if (control.kind == ControlKind::Edit && control.readOnly) return;
    if (control.kind == ControlKind::ComboBox && control.isDropList()) return;
    std::wstring text = control.text;
    if (key == KEY_BACKSPACE || key == 127 || key == 8) {
      if (text.empty()) return;
      text.pop_back();
    } else {
      if (control.limit > 0 && static_cast<int>(text.size()) >= control.limit) return;
      text += static_cast<wchar_t>(key);
    }
    control.text = text;
    if (control.kind == ControlKind::Edit) {
      state().command(control, EN_CHANGE);
    } else {
      control.selection = -1;
      state().command(control, CBN_EDITCHANGE);
    }
  }

  void step(ControlState& control, int delta) {
    if (control.items.empty()) return;
    const int count = static_cast<int>(control.items.size());
    const int next = std::clamp(control.selection < 0 ? (delta > 0 ? 0 : count - 1) : control.selection + delta, 0, count - 1);
    if (next == control.selection) return;
    control.selection = next;
    if (control.kind == ControlKind::ComboBox) {
      control.text = control.items[next];
      state().command(control, CBN_SELCHANGE);
    } else {
      state().command(control, LBN_SELCHANGE);
    }
  }

  void gridColumnStep(GridModel& grid, int delta) {
    int c = m_gridColumn;
    for (int n = 0; n < grid.columnCount(); ++n) {
      c += delta;
      if (c < 0 || c >= grid.columnCount()) return;
      if (!grid.column(c)->hidden) {
        m_gridColumn = c;
        return;
      }
    }
  }

  void handleGrid(ControlState& control, int key) {
    GridModel& grid = *control.grid;
    if (m_gridColumn < 0 || m_gridColumn >= grid.columnCount() || grid.column(m_gridColumn)->hidden)
      m_gridColumn = std::max(0, grid.firstVisibleColumn());
    const int current = grid.selectedRow();
    switch (key) {
      case KEY_UP:
        if (current > 1) grid.userSelectRow(current - 1);
        return;
      case KEY_DOWN:
        if (current + 1 < grid.rowCount()) grid.userSelectRow(current + 1);
        return;
      case KEY_LEFT:
        gridColumnStep(grid, -1);
        return;
      case KEY_RIGHT:
        gridColumnStep(grid, +1);
        return;
      case 's':
        grid.userSort(m_gridColumn, m_sortAscending);
        m_sortAscending = !m_sortAscending;
        return;
      default:
        break;
    }
    if (current < 1) return;
    const GridCellKind kind = grid.kind(current, m_gridColumn);
    if (key == ' ' || ((key == '\n' || key == '\r' || key == KEY_ENTER) && (kind == GCK_CHECK || kind == GCK_BUTTON))) {
      grid.userClick(current, m_gridColumn);
      return;
    }
    if (key == '\n' || key == '\r' || key == KEY_ENTER || key == KEY_F(2)) {
      if (grid.readOnly(current, m_gridColumn)) return;
      std::wstring prompt = grid.text(0, m_gridColumn) + L": ";
      if (kind == GCK_COMBO && grid.cell(current, m_gridColumn) && !grid.cell(current, m_gridColumn)->options.empty()) {
        std::wstring options;
        for (const std::wstring& option : grid.cell(current, m_gridColumn)->options)
          options += (options.empty() ? L"" : L"/") + option;
        prompt = grid.text(0, m_gridColumn) + L" (" + options + L"): ";
      }
      if (std::optional<std::wstring> text = readLine(prompt, grid.text(current, m_gridColumn)))
        grid.userEdit(current, m_gridColumn, *text);
    }
  }

  void handle(int key) {
    if (key == 27) {
      state().command(*cancelControl(), BN_CLICKED);
      return;
    }
    if (key == '\t') {
      focusNext(+1);
      return;
    }
    if (key == KEY_BTAB) {
      focusNext(-1);
      return;
    }
    ControlState* control = focused();
    if (control == nullptr) return;
    const bool enter = key == '\n' || key == '\r' || key == KEY_ENTER;
    switch (control->kind) {
      case ControlKind::PushButton:
        if (enter || key == ' ') state().command(*control, BN_CLICKED);
        return;
      case ControlKind::CheckBox:
      case ControlKind::RadioButton:
        if (key == ' ') {
          control->check = control->kind == ControlKind::RadioButton || control->check != BST_CHECKED ? BST_CHECKED : BST_UNCHECKED;
          state().command(*control, BN_CLICKED);
        } else if (enter) {
          pressDefault();
        }
        return;
      case ControlKind::Edit:
        if (enter) {
          if (control->item.style & ES_MULTILINE) type(*control, '\n');
          else pressDefault();
        } else if (key == KEY_BACKSPACE || key == 127 || key == 8 || (key >= 32 && key < 256)) {
          type(*control, key);
        }
        return;
      case ControlKind::ComboBox:
      case ControlKind::ListBox:
        if (key == KEY_UP) step(*control, -1);
        else if (key == KEY_DOWN) step(*control, +1);
        else if (enter) pressDefault();
        else if (control->kind == ControlKind::ComboBox && (key == KEY_BACKSPACE || key == 127 || key == 8 || (key >= 32 && key < 256)))
          type(*control, key);
        return;
      case ControlKind::Grid:
        handleGrid(*control, key);
        return;
      default:
        return;
    }
  }

  // Escape works as the Cancel button, which every dialog has an id for.
  ControlState* cancelControl() {
    if (ControlState* cancel = state().find(IDCANCEL)) return cancel;
    static ControlState none;
    none.item.id = IDCANCEL;
    return &none;
  }

  CDialog& m_dialog;
  int m_focus = -1;
  int m_gridColumn = 0;
  bool m_sortAscending = true;
};

class TerminalDriver : public DialogDriver {
 public:
  void run(CDialog& dialog) override {
    if (!Screen::open()) return;
    TerminalRun(dialog).run();
    Screen::close();
  }
};

}  // namespace

std::shared_ptr<DialogDriver> makeTerminalDriver() { return std::make_shared<TerminalDriver>(); }

}  // namespace tabrik::ui
