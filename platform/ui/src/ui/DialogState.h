// The runtime's side of an open dialog and its controls: the models that drivers
// read and act on, and the notifications that reach the dialog's message map.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "adsdef.h"
#include "afxwin.h"
#include "gridcontrol.h"
#include "resourcedata.h"
#include "ui/GridModel.h"

namespace tabrik::ui {

enum class ControlKind {
  Static,
  GroupBox,
  Edit,
  PushButton,
  CheckBox,
  RadioButton,
  ComboBox,
  ListBox,
  Grid,
  Other
};

ControlKind controlKind(const DLGITEM_DATA& item);

struct ControlState {
  DialogState* dialog = nullptr;
  DLGITEM_DATA item;
  ControlKind kind = ControlKind::Other;
  std::wstring text;
  // A static whose text the dialog set while it ran (dumped as ("static" ID TEXT)).
  bool textSetAtRunTime = false;
  bool enabled = true;
  bool visible = true;
  bool readOnly = false;
  int check = BST_UNCHECKED;
  int limit = 0;
  std::vector<std::wstring> items;
  std::vector<DWORD_PTR> itemData;
  int selection = -1;
  // The text of the static before an edit, combo or list box ("&" marks removed);
  // a button's or check box's own text.
  std::wstring label;
  std::unique_ptr<GridModel> grid;
  int gridNumber = 0;  // 1, 2, ... in template order
  // The window GetDlgItem hands out: the member attached by DDX_Control, else one of
  // the runtime's own.
  CWnd* window = nullptr;
  std::unique_ptr<CWnd> ownWindow;

  UINT id() const { return item.id; }
  bool isDropList() const { return (item.style & 0x3) == CBS_DROPDOWNLIST; }
};

struct DialogState {
  CDialog* dialog = nullptr;
  const DLGTEMPLATE_DATA* tmpl = nullptr;
  std::wstring caption;
  std::vector<std::unique_ptr<ControlState>> controls;
  bool ended = false;
  int result = 0;
  RECT placement{0, 0, 0, 0};
  // The states recorded by ("dump"), each an RTLB ... RTLE chain (owned).
  std::vector<resbuf*> dumps;

  ~DialogState();
  ControlState* find(UINT id) const;
  // The notifications a user's action sends, as WM_COMMAND / WM_NOTIFY.
  void command(ControlState& control, UINT code);
  LRESULT notify(ControlState& control, UINT code, int row, int column);
};

class DialogDriver;
// Makes the controls of the dialog's template.
void buildControls(DialogState& state);
// The host's interactive driver (null: none).
std::shared_ptr<DialogDriver> interactiveDriver();

// "&Name" -> "Name" ("&&" keeps one "&").
std::wstring withoutMnemonics(const std::wstring& text);

// The state of the dialog as a dump entry list (RTLB ... RTLE), for host:dialogs.
resbuf* dumpDialog(const DialogState& state);

}  // namespace tabrik::ui
