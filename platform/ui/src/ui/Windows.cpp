// Message maps, CWnd and the common controls over their models.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cwchar>
#include <cwctype>

#include "ui/DialogState.h"

namespace {

tabrik::ui::ControlState* controlOf(const CWnd* window) { return window->controlState(); }

bool sameTextNoCase(const std::wstring& a, const std::wstring& b) {
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

bool startsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
  return text.size() >= prefix.size() && sameTextNoCase(text.substr(0, prefix.size()), prefix);
}

// Windows searches items from the one after startAfter to the end, then wraps.
int findItem(const std::vector<std::wstring>& items, int startAfter, LPCTSTR text, bool exact) {
  if (text == nullptr || items.empty()) return -1;
  const std::wstring wanted = text;
  const int count = static_cast<int>(items.size());
  int first = (startAfter < 0 || startAfter >= count) ? 0 : startAfter + 1;
  for (int n = 0; n < count; ++n) {
    int index = (first + n) % count;
    if (exact ? sameTextNoCase(items[index], wanted) : startsWithNoCase(items[index], wanted))
      return index;
  }
  return -1;
}

int insertItem(tabrik::ui::ControlState* control, int index, LPCTSTR text, bool sorted) {
  if (control == nullptr) return -1;
  std::wstring value = text ? text : L"";
  auto& items = control->items;
  if (sorted) {
    index = 0;
    while (index < static_cast<int>(items.size()) && compareNoCase(items[index], value) <= 0)
      ++index;
  } else if (index < 0 || index > static_cast<int>(items.size())) {
    index = static_cast<int>(items.size());
  }
  items.insert(items.begin() + index, value);
  control->itemData.insert(control->itemData.begin() + index, 0);
  if (control->selection >= index) ++control->selection;
  return index;
}

}  // namespace

// ---- message maps

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr, nullptr, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::DispatchMessageMap(UINT message, UINT code, UINT id, NMHDR* header,
                                    LRESULT* result) {
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
      if (entry->nMessage != message || entry->nCode != code) continue;
      if (id < entry->nID || id > entry->nLastID) continue;
      switch (entry->nSig) {
        case AfxSigCmd_v:
          (this->*(entry->pfn))();
          return TRUE;
        case AfxSigNotify_v:
          (this->*(entry->pfnNotify))(header, result);
          return TRUE;
        case AfxSigNotify_b:
          if ((this->*(entry->pfnNotifyEx))(id, header, result)) return TRUE;
          break;
        default:
          break;
      }
    }
    if (map->pfnGetBaseMap == nullptr) break;
  }
  return FALSE;
}

// ---- CWnd

CWnd::~CWnd() { detachControl(); }

void CWnd::attachControl(tabrik::ui::ControlState* control) {
  m_control = control;
  m_hWnd = reinterpret_cast<HWND>(control);
}

void CWnd::detachControl() {
  if (m_control != nullptr && m_control->window == this) m_control->window = nullptr;
  m_control = nullptr;
  m_hWnd = nullptr;
}

CDialog* CWnd::owningDialog() const {
  return m_control && m_control->dialog ? m_control->dialog->dialog : nullptr;
}

int CWnd::GetDlgCtrlID() const { return m_control ? static_cast<int>(m_control->id()) : 0; }

CWnd* CWnd::GetParent() const {
  CDialog* dialog = owningDialog();
  return dialog == this ? nullptr : dialog;
}

void CWnd::SetWindowText(LPCTSTR text) {
  std::wstring value = text ? text : L"";
  if (CDialog* dialog = owningDialog(); dialog == this) {
    if (auto* state = dialog->dialogState()) state->caption = value;
    return;
  }
  tabrik::ui::ControlState* control = controlOf(this);
  if (control == nullptr) return;
  bool changed = control->text != value;
  control->text = value;
  if (control->kind == tabrik::ui::ControlKind::Static) control->textSetAtRunTime = true;
  if (control->kind == tabrik::ui::ControlKind::ComboBox) {
    // A combo's edit field showing an item's text selects nothing by itself.
    control->selection = -1;
  }
  if (changed && control->kind == tabrik::ui::ControlKind::Edit)
    control->dialog->command(*control, EN_CHANGE);
}

int CWnd::GetWindowText(LPTSTR text, int maxCount) const {
  if (text == nullptr || maxCount <= 0) return 0;
  CString value;
  GetWindowText(value);
  int count = std::min(value.GetLength(), maxCount - 1);
  std::copy_n(value.GetString(), count, text);
  text[count] = L'\0';
  return count;
}

void CWnd::GetWindowText(CString& text) const {
  if (CDialog* dialog = owningDialog(); dialog == this) {
    text = dialog->dialogState() ? dialog->dialogState()->caption.c_str() : L"";
    return;
  }
  text = m_control ? m_control->text.c_str() : L"";
}

int CWnd::GetWindowTextLength() const {
  CString text;
  GetWindowText(text);
  return text.GetLength();
}

BOOL CWnd::EnableWindow(BOOL enable) {
  if (m_control == nullptr) return FALSE;
  bool wasDisabled = !m_control->enabled;
  m_control->enabled = enable != FALSE;
  return wasDisabled ? TRUE : FALSE;
}

BOOL CWnd::IsWindowEnabled() const { return m_control && m_control->enabled ? TRUE : FALSE; }

BOOL CWnd::ShowWindow(int command) {
  if (m_control == nullptr) return FALSE;
  bool wasVisible = m_control->visible;
  m_control->visible = command != SW_HIDE;
  return wasVisible ? TRUE : FALSE;
}

BOOL CWnd::IsWindowVisible() const { return m_control && m_control->visible ? TRUE : FALSE; }

CWnd* CWnd::SetFocus() { return nullptr; }

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange exchange(this, bSaveAndValidate);
  try {
    DoDataExchange(&exchange);
  } catch (CUserException* failure) {
    failure->Delete();
    return FALSE;
  }
  return TRUE;
}

void CWnd::GetWindowRect(LPRECT rect) const {
  if (rect == nullptr) return;
  if (CDialog* dialog = owningDialog(); dialog == this && dialog->dialogState()) {
    *rect = dialog->dialogState()->placement;
    return;
  }
  if (m_control != nullptr) {
    *rect = RECT{m_control->item.x, m_control->item.y, m_control->item.x + m_control->item.cx,
                 m_control->item.y + m_control->item.cy};
    return;
  }
  *rect = RECT{0, 0, 0, 0};
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL) {
  if (CDialog* dialog = owningDialog(); dialog == this && dialog->dialogState()) {
    dialog->dialogState()->placement = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  }
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
  if (rect)
    MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

int CWnd::MessageBox(LPCTSTR text, LPCTSTR caption, UINT type) {
  return ::MessageBoxW(m_hWnd, text, caption ? caption : L"Tabrik", type);
}

CWnd* CWnd::GetDlgItem(int id) const {
  CDialog* dialog = owningDialog();
  if (dialog == nullptr || dialog->dialogState() == nullptr) return nullptr;
  tabrik::ui::ControlState* control = dialog->dialogState()->find(static_cast<UINT>(id));
  return control ? control->window : nullptr;
}

void CWnd::SetDlgItemText(int id, LPCTSTR text) {
  if (CWnd* item = GetDlgItem(id)) item->SetWindowText(text);
}

int CWnd::GetDlgItemText(int id, CString& text) const {
  text.Empty();
  if (CWnd* item = GetDlgItem(id)) item->GetWindowText(text);
  return text.GetLength();
}

void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned) {
  std::wstring text = isSigned ? std::to_wstring(static_cast<int>(value)) : std::to_wstring(value);
  SetDlgItemText(id, text.c_str());
}

UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) const {
  CString text;
  GetDlgItemText(id, text);
  std::wstring value = text.str();
  while (!value.empty() && value.front() == L' ') value.erase(value.begin());
  while (!value.empty() && value.back() == L' ') value.pop_back();
  wchar_t* end = nullptr;
  errno = 0;
  long long number = value.empty() ? 0 : std::wcstoll(value.c_str(), &end, 10);
  bool ok =
      !value.empty() && end != nullptr && *end == L'\0' && errno == 0 &&
      (isSigned ? number >= INT32_MIN && number <= INT32_MAX : number >= 0 && number <= UINT32_MAX);
  if (translated) *translated = ok ? TRUE : FALSE;
  return ok ? static_cast<UINT>(number) : 0;
}

void CWnd::CheckDlgButton(int id, UINT check) {
  if (CWnd* item = GetDlgItem(id)) static_cast<CButton*>(item)->SetCheck(static_cast<int>(check));
}

UINT CWnd::IsDlgButtonChecked(int id) const {
  CWnd* item = GetDlgItem(id);
  return item ? static_cast<UINT>(static_cast<CButton*>(item)->GetCheck()) : 0;
}

void CWnd::GotoDlgCtrl(CWnd*) {}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
  return DispatchMessageMap(WM_COMMAND, HIWORD(wParam), LOWORD(wParam), nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header == nullptr) return FALSE;
  return DispatchMessageMap(WM_NOTIFY, header->code, static_cast<UINT>(wParam), header, pResult);
}

// ---- buttons and edits

int CButton::GetCheck() const { return m_control ? m_control->check : BST_UNCHECKED; }

void CButton::SetCheck(int check) {
  if (m_control) m_control->check = check;
}

BOOL CEdit::SetReadOnly(BOOL readOnly) {
  if (m_control == nullptr) return FALSE;
  m_control->readOnly = readOnly != FALSE;
  return TRUE;
}

void CEdit::LimitText(int maxChars) {
  if (m_control) m_control->limit = std::max(maxChars, 0);
}

UINT CEdit::GetLimitText() const {
  return m_control && m_control->limit > 0 ? static_cast<UINT>(m_control->limit) : 30000U;
}

void CEdit::SetSel(int, int, BOOL) {}

void CEdit::ReplaceSel(LPCTSTR text, BOOL) {
  // With no selection kept, the replacement lands at the end of the text.
  if (m_control == nullptr || text == nullptr) return;
  std::wstring value = m_control->text + text;
  SetWindowText(value.c_str());
}

int CEdit::GetLineCount() const {
  if (m_control == nullptr) return 1;
  return 1 + static_cast<int>(std::count(m_control->text.begin(), m_control->text.end(), L'\n'));
}

// ---- combo and list boxes

namespace {

int deleteItem(tabrik::ui::ControlState* control, UINT index) {
  if (control == nullptr || index >= control->items.size()) return -1;
  control->items.erase(control->items.begin() + index);
  control->itemData.erase(control->itemData.begin() + index);
  int position = static_cast<int>(index);
  if (control->selection == position)
    control->selection = -1;
  else if (control->selection > position)
    --control->selection;
  return static_cast<int>(control->items.size());
}

void resetItems(tabrik::ui::ControlState* control) {
  if (control == nullptr) return;
  control->items.clear();
  control->itemData.clear();
  control->selection = -1;
}

int selectItem(tabrik::ui::ControlState* control, int select, bool setsText) {
  if (control == nullptr) return -1;
  if (select < 0 || select >= static_cast<int>(control->items.size())) {
    control->selection = -1;
    return -1;
  }
  control->selection = select;
  if (setsText) control->text = control->items[select];
  return select;
}

int itemText(const tabrik::ui::ControlState* control, int index, LPTSTR text) {
  if (control == nullptr || index < 0 || index >= static_cast<int>(control->items.size()))
    return -1;
  const std::wstring& value = control->items[index];
  if (text) {
    value.copy(text, value.size());
    text[value.size()] = L'\0';
  }
  return static_cast<int>(value.size());
}

int itemLength(const tabrik::ui::ControlState* control, int index) {
  if (control == nullptr || index < 0 || index >= static_cast<int>(control->items.size()))
    return -1;
  return static_cast<int>(control->items[index].size());
}

int setData(tabrik::ui::ControlState* control, int index, DWORD_PTR data) {
  if (control == nullptr || index < 0 || index >= static_cast<int>(control->itemData.size()))
    return -1;
  control->itemData[index] = data;
  return 0;
}

DWORD_PTR getData(const tabrik::ui::ControlState* control, int index) {
  if (control == nullptr || index < 0 || index >= static_cast<int>(control->itemData.size()))
    return static_cast<DWORD_PTR>(-1);
  return control->itemData[index];
}

bool sortedStyle(const tabrik::ui::ControlState* control, DWORD flag) {
  return control != nullptr && (control->item.style & flag) != 0;
}

}  // namespace

int CComboBox::AddString(LPCTSTR text) {
  return insertItem(m_control, -1, text, sortedStyle(m_control, CBS_SORT));
}
int CComboBox::InsertString(int index, LPCTSTR text) {
  return insertItem(m_control, index, text, false);
}
int CComboBox::DeleteString(UINT index) { return deleteItem(m_control, index); }
void CComboBox::ResetContent() {
  resetItems(m_control);
  if (m_control) m_control->text.clear();
}
int CComboBox::GetCount() const {
  return m_control ? static_cast<int>(m_control->items.size()) : -1;
}
int CComboBox::GetCurSel() const { return m_control ? m_control->selection : -1; }
int CComboBox::SetCurSel(int select) {
  int result = selectItem(m_control, select, true);
  if (result < 0 && m_control) m_control->text.clear();
  return result;
}
int CComboBox::GetLBText(int index, LPTSTR text) const { return itemText(m_control, index, text); }
void CComboBox::GetLBText(int index, CString& text) const {
  int length = itemLength(m_control, index);
  text = length < 0 ? L"" : m_control->items[index].c_str();
}
int CComboBox::GetLBTextLen(int index) const { return itemLength(m_control, index); }
int CComboBox::FindString(int startAfter, LPCTSTR text) const {
  return m_control ? findItem(m_control->items, startAfter, text, false) : -1;
}
int CComboBox::FindStringExact(int startAfter, LPCTSTR text) const {
  return m_control ? findItem(m_control->items, startAfter, text, true) : -1;
}
int CComboBox::SelectString(int startAfter, LPCTSTR text) {
  int index = FindString(startAfter, text);
  return index < 0 ? -1 : SetCurSel(index);
}
int CComboBox::SetItemData(int index, DWORD_PTR data) { return setData(m_control, index, data); }
DWORD_PTR CComboBox::GetItemData(int index) const { return getData(m_control, index); }

int CListBox::AddString(LPCTSTR text) {
  return insertItem(m_control, -1, text, sortedStyle(m_control, LBS_SORT));
}
int CListBox::InsertString(int index, LPCTSTR text) {
  return insertItem(m_control, index, text, false);
}
int CListBox::DeleteString(UINT index) { return deleteItem(m_control, index); }
void CListBox::ResetContent() { resetItems(m_control); }
int CListBox::GetCount() const {
  return m_control ? static_cast<int>(m_control->items.size()) : -1;
}
int CListBox::GetCurSel() const { return m_control ? m_control->selection : -1; }
int CListBox::SetCurSel(int select) { return selectItem(m_control, select, false); }
int CListBox::GetText(int index, LPTSTR text) const { return itemText(m_control, index, text); }
void CListBox::GetText(int index, CString& text) const {
  int length = itemLength(m_control, index);
  text = length < 0 ? L"" : m_control->items[index].c_str();
}
int CListBox::GetTextLen(int index) const { return itemLength(m_control, index); }
int CListBox::FindString(int startAfter, LPCTSTR text) const {
  return m_control ? findItem(m_control->items, startAfter, text, false) : -1;
}
int CListBox::FindStringExact(int startAfter, LPCTSTR text) const {
  return m_control ? findItem(m_control->items, startAfter, text, true) : -1;
}
int CListBox::SelectString(int startAfter, LPCTSTR text) {
  int index = FindString(startAfter, text);
  return index < 0 ? -1 : SetCurSel(index);
}
int CListBox::SetItemData(int index, DWORD_PTR data) { return setData(m_control, index, data); }
DWORD_PTR CListBox::GetItemData(int index) const { return getData(m_control, index); }
