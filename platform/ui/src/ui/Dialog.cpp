// CDialog's modal run: the template from the current resources, controls made from
// it, the placement kept per dialog name, the driver, and the record for host:dialogs.
#include <algorithm>
#include <cwctype>
#include <utility>

#include "HostTesting.h"
#include "WinUserTesting.h"
#include "acutads.h"
#include "adscodes.h"
#include "tabrik/DialogDriver.h"
#include "ui/DialogRecord.h"
#include "ui/DialogState.h"
#include "ui/Placement.h"
#include "winreg.h"

namespace tabrik::ui {

namespace {

std::shared_ptr<DialogDriver>& driverSlot() {
  static std::shared_ptr<DialogDriver> driver;
  return driver;
}

bool equalsNoCase(const std::wstring& a, const wchar_t* b) {
  std::wstring other = b;
  if (a.size() != other.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towupper(a[i]) != std::towupper(other[i])) return false;
  return true;
}

std::unique_ptr<CWnd> windowFor(ControlKind kind) {
  switch (kind) {
    case ControlKind::Edit:
      return std::make_unique<CEdit>();
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::GroupBox:
      return std::make_unique<CButton>();
    case ControlKind::ComboBox:
      return std::make_unique<CComboBox>();
    case ControlKind::ListBox:
      return std::make_unique<CListBox>();
    case ControlKind::Grid:
      return std::make_unique<CGridControl>();
    case ControlKind::Static:
      return std::make_unique<CStatic>();
    default:
      return std::make_unique<CWnd>();
  }
}

}  // namespace

void buildControls(DialogState& state) {
  std::wstring pendingLabel;
  int grids = 0;
  for (const DLGITEM_DATA& item : state.tmpl->items) {
    auto control = std::make_unique<ControlState>();
    control->dialog = &state;
    control->item = item;
    control->kind = controlKind(item);
    control->text = item.text;
    control->enabled = (item.style & WS_DISABLED) == 0;
    control->readOnly = (item.style & ES_READONLY) != 0;
    switch (control->kind) {
      case ControlKind::Static:
        pendingLabel = withoutMnemonics(item.text);
        break;
      case ControlKind::Edit:
      case ControlKind::ComboBox:
      case ControlKind::ListBox:
        control->label = pendingLabel;
        pendingLabel.clear();
        break;
      case ControlKind::Grid:
        control->gridNumber = ++grids;
        control->grid = std::make_unique<GridModel>();
        pendingLabel.clear();
        break;
      default:
        control->label = withoutMnemonics(item.text);
        pendingLabel.clear();
        break;
    }
    if (control->kind == ControlKind::ComboBox || control->kind == ControlKind::ListBox)
      control->text.clear();
    control->ownWindow = windowFor(control->kind);
    control->window = control->ownWindow.get();
    control->window->attachControl(control.get());
    if (control->grid) {
      ControlState* raw = control.get();
      control->grid->setNotifier([raw](UINT code, int row, int column) {
        return raw->dialog->notify(*raw, code, row, column);
      });
    }
    state.controls.push_back(std::move(control));
  }
}

ControlKind controlKind(const DLGITEM_DATA& item) {
  const std::wstring& name = item.className;
  if (equalsNoCase(name, L"STATIC")) return ControlKind::Static;
  if (equalsNoCase(name, L"EDIT")) return ControlKind::Edit;
  if (equalsNoCase(name, L"COMBOBOX")) return ControlKind::ComboBox;
  if (equalsNoCase(name, L"LISTBOX")) return ControlKind::ListBox;
  if (equalsNoCase(name, GRIDCONTROL_CLASS)) return ControlKind::Grid;
  if (equalsNoCase(name, L"BUTTON")) {
    switch (item.style & BS_TYPEMASK) {
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
        return ControlKind::CheckBox;
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON:
        return ControlKind::RadioButton;
      case BS_GROUPBOX:
        return ControlKind::GroupBox;
      default:
        return ControlKind::PushButton;
    }
  }
  return ControlKind::Other;
}

std::wstring withoutMnemonics(const std::wstring& text) {
  std::wstring plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&') {
      if (i + 1 < text.size() && text[i + 1] == L'&')
        plain += L'&';
      else
        continue;
      ++i;
      continue;
    }
    plain += text[i];
  }
  return plain;
}

DialogState::~DialogState() {
  for (auto& control : controls) {
    if (control->window && control->window != control->ownWindow.get())
      control->window->detachControl();
    control->window = nullptr;
    if (control->ownWindow) control->ownWindow->detachControl();
  }
  for (resbuf* dump : dumps) acutRelRb(dump);
}

ControlState* DialogState::find(UINT id) const {
  for (const auto& control : controls)
    if (control->id() == id) return control.get();
  return nullptr;
}

void DialogState::command(ControlState& control, UINT code) {
  if (ended) return;
  dialog->OnCommand(MAKEWPARAM(control.id(), code), reinterpret_cast<LPARAM>(&control));
}

LRESULT DialogState::notify(ControlState& control, UINT code, int row, int column) {
  NM_GRIDCELL cell{{reinterpret_cast<HWND>(&control), control.id(), code}, row, column};
  LRESULT result = 0;
  dialog->OnNotify(control.id(), reinterpret_cast<LPARAM>(&cell), &result);
  return result;
}

std::shared_ptr<DialogDriver> setInteractiveDriver(std::shared_ptr<DialogDriver> driver) {
  return std::exchange(driverSlot(), std::move(driver));
}

std::shared_ptr<DialogDriver> interactiveDriver() { return driverSlot(); }

}  // namespace tabrik::ui

using tabrik::ui::ControlState;
using tabrik::ui::DialogState;

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int nResult) {
  if (m_state == nullptr || m_state->ended) return;
  m_state->ended = true;
  m_state->result = nResult;
}

INT_PTR CDialog::DoModal() {
  // A dialog object runs once at a time.
  if (m_state != nullptr) return -1;
  HINSTANCE resources = AfxGetResourceHandle();
  const DLGTEMPLATE_DATA* found = resources ? resources->findDialog(m_nIDTemplate) : nullptr;
  if (found == nullptr) {
    std::wstring name = m_dialogName.empty() ? L"#" + std::to_wstring(m_nIDTemplate) : m_dialogName;
    tabrik::ui::recordDialogRun(name, L"", -1, {});
    return -1;
  }
  tabrik::ui::beginDialogRun();
  m_state = std::make_unique<DialogState>();
  m_state->dialog = this;
  m_state->tmpl = found;
  m_state->caption = found->caption;
  m_hWnd = reinterpret_cast<HWND>(m_state.get());
  tabrik::ui::buildControls(*m_state);
  m_state->placement = tabrik::ui::restorePlacement(m_dialogName, *found);

  // The owner is disabled while the dialog is open, as for any modal window.
  HWND owner = ::GetActiveWindow();
  BOOL ownerWasDisabled = ::EnableWindow(owner, FALSE);
  struct Cleanup {
    CDialog* dialog;
    HWND owner;
    BOOL ownerWasDisabled;
    bool recorded = false;
    ~Cleanup() {
      // An exception out of the dialog's code still closes its run.
      if (!recorded)
        tabrik::ui::recordDialogRun(
            dialog->m_dialogName.empty() ? dialog->m_state->tmpl->name : dialog->m_dialogName,
            dialog->m_state->caption, dialog->m_state->result, {});
      ::EnableWindow(owner, ownerWasDisabled ? FALSE : TRUE);
      ::SetActiveWindow(owner);
      dialog->m_state.reset();
      dialog->m_hWnd = nullptr;
    }
  } cleanup{this, owner, ownerWasDisabled};

  resbuf* script = tabrik::acad::testing::takeDialogScript();
  struct ScriptOwner {
    resbuf* chain;
    ~ScriptOwner() {
      if (chain) acutRelRb(chain);
    }
  } scriptOwner{script};

  OnInitDialog();
  std::wstring caption = m_state->caption;
  if (!m_state->ended) {
    if (script != nullptr) {
      tabrik::ui::runDialogScript(*this, script);
    } else if (tabrik::acad::testing::isInteractive() && tabrik::ui::interactiveDriver()) {
      tabrik::ui::interactiveDriver()->run(*this);
    }
  }
  if (!m_state->ended) {
    OnCancel();
    if (!m_state->ended) EndDialog(IDCANCEL);
  }
  int result = m_state->result;
  tabrik::ui::savePlacement(m_dialogName, m_state->placement);
  std::vector<resbuf*> dumps;
  dumps.swap(m_state->dumps);
  cleanup.recorded = true;
  tabrik::ui::recordDialogRun(m_dialogName.empty() ? found->name : m_dialogName, caption, result,
                              std::move(dumps));
  return result;
}

CWnd* AfxGetMainWnd() {
  static CWnd mainWindow;
  mainWindow.m_hWnd = tabrik::win::testing::hostMainWindow();
  return &mainWindow;
}
