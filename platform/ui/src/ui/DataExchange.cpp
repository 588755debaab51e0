// Dialog data exchange: DDX_ moves values between a dialog's members and its
// controls; a failed validation shows MFC's message and Fail()s.
#include <cerrno>
#include <cmath>
#include <cwchar>

#include "ui/DialogState.h"

BOOL CUserException::GetErrorMessage(LPTSTR error, UINT maxError, PUINT) const {
  return CopyMessage(L"", error, maxError);
}

HWND CDataExchange::PrepareCtrl(int id) {
  m_idLastControl = id;
  CWnd* control = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(id) : nullptr;
  return control ? control->m_hWnd : nullptr;
}

void CDataExchange::Fail() { throw new CUserException(); }

namespace {

CWnd* itemOf(CDataExchange* pDX, int id) {
  if (pDX == nullptr || pDX->m_pDlgWnd == nullptr) return nullptr;
  pDX->PrepareCtrl(id);
  return pDX->m_pDlgWnd->GetDlgItem(id);
}

std::wstring trimmed(const CString& text) {
  std::wstring value = text.str();
  size_t first = value.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return L"";
  size_t last = value.find_last_not_of(L" \t");
  return value.substr(first, last - first + 1);
}

[[noreturn]] void failWith(CDataExchange* pDX, const wchar_t* message) {
  AfxMessageBox(message, MB_ICONEXCLAMATION);
  pDX->Fail();
}

}  // namespace

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  CWnd* item = itemOf(pDX, nIDC);
  if (item == nullptr || item == &rControl) return;
  tabrik::ui::ControlState* control = item->controlState();
  if (control == nullptr) return;
  rControl.attachControl(control);
  control->window = &rControl;
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  CWnd* item = itemOf(pDX, nIDC);
  if (item == nullptr) return;
  if (pDX->m_bSaveAndValidate)
    item->GetWindowText(value);
  else
    item->SetWindowText(value);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  CWnd* item = itemOf(pDX, nIDC);
  if (item == nullptr) return;
  if (!pDX->m_bSaveAndValidate) {
    item->SetWindowText(std::to_wstring(value).c_str());
    return;
  }
  CString text;
  item->GetWindowText(text);
  std::wstring digits = trimmed(text);
  wchar_t* end = nullptr;
  errno = 0;
  long long number = digits.empty() ? 0 : std::wcstoll(digits.c_str(), &end, 10);
  if (digits.empty() || *end != L'\0' || errno != 0 || number < INT32_MIN || number > INT32_MAX)
    failWith(pDX, L"Please enter an integer.");
  value = static_cast<int>(number);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
  CWnd* item = itemOf(pDX, nIDC);
  if (item == nullptr) return;
  if (!pDX->m_bSaveAndValidate) {
    item->SetWindowText(std::to_wstring(value).c_str());
    return;
  }
  CString text;
  item->GetWindowText(text);
  std::wstring digits = trimmed(text);
  wchar_t* end = nullptr;
  errno = 0;
  long long number = digits.empty() ? -1 : std::wcstoll(digits.c_str(), &end, 10);
  if (digits.empty() || *end != L'\0' || errno != 0 || number < 0 || number > UINT32_MAX)
    failWith(pDX, L"Please enter a positive integer.");
  value = static_cast<UINT>(number);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  CWnd* item = itemOf(pDX, nIDC);
  if (item == nullptr) return;
  if (!pDX->m_bSaveAndValidate) {
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"%.15g", value);
    item->SetWindowText(buffer);
    return;
  }
  CString text;
  item->GetWindowText(text);
  std::wstring number = trimmed(text);
  wchar_t* end = nullptr;
  errno = 0;
  double parsed = number.empty() ? 0 : std::wcstod(number.c_str(), &end);
  if (number.empty() || *end != L'\0' || errno != 0 || !std::isfinite(parsed))
    failWith(pDX, L"Please enter a number.");
  value = parsed;
}

void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  CWnd* item = itemOf(pDX, nIDC);
  if (item == nullptr) return;
  auto* button = static_cast<CButton*>(item);
  if (pDX->m_bSaveAndValidate)
    value = button->GetCheck();
  else
    button->SetCheck(value);
}

void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  CWnd* item = itemOf(pDX, nIDC);
  if (item == nullptr) return;
  auto* combo = static_cast<CComboBox*>(item);
  if (pDX->m_bSaveAndValidate) {
    combo->GetWindowText(value);
    return;
  }
  // A drop-down list shows only its items: the value selects the item it begins.
  tabrik::ui::ControlState* control = combo->controlState();
  if (control && control->isDropList()) {
    if (combo->SelectString(-1, value) < 0) combo->SetCurSel(-1);
  } else {
    combo->SetWindowText(value);
  }
}

void AFXAPI DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value) {
  CWnd* item = itemOf(pDX, nIDC);
  if (item == nullptr) return;
  auto* combo = static_cast<CComboBox*>(item);
  if (pDX->m_bSaveAndValidate) {
    combo->GetWindowText(value);
    return;
  }
  int index = combo->FindStringExact(-1, value);
  if (index >= 0)
    combo->SetCurSel(index);
  else if (combo->controlState() && !combo->controlState()->isDropList())
    combo->SetWindowText(value);
}

void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  CWnd* item = itemOf(pDX, nIDC);
  if (item == nullptr) return;
  auto* combo = static_cast<CComboBox*>(item);
  if (pDX->m_bSaveAndValidate)
    index = combo->GetCurSel();
  else
    combo->SetCurSel(index);
}

void AFXAPI DDX_LBString(CDataExchange* pDX, int nIDC, CString& value) {
  CWnd* item = itemOf(pDX, nIDC);
  if (item == nullptr) return;
  auto* list = static_cast<CListBox*>(item);
  if (pDX->m_bSaveAndValidate) {
    int selected = list->GetCurSel();
    if (selected < 0)
      value.Empty();
    else
      list->GetText(selected, value);
    return;
  }
  if (list->SelectString(-1, value) < 0) list->SetCurSel(-1);
}

void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
  CWnd* item = itemOf(pDX, nIDC);
  if (item == nullptr) return;
  auto* list = static_cast<CListBox*>(item);
  if (pDX->m_bSaveAndValidate)
    index = list->GetCurSel();
  else
    list->SetCurSel(index);
}

void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
  if (pDX == nullptr) return;
  if (!pDX->m_bSaveAndValidate) {
    if (CWnd* item = itemOf(pDX, pDX->m_idLastControl))
      if (auto* control = item->controlState()) control->limit = nChars;
    return;
  }
  if (value.GetLength() > nChars) {
    CString message;
    message.Format(L"Enter no more than %d characters.", nChars);
    failWith(pDX, message);
  }
}

void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  if (pDX == nullptr || !pDX->m_bSaveAndValidate) return;
  if (value < minVal || value > maxVal) {
    CString message;
    message.Format(L"Enter an integer between %d and %d.", minVal, maxVal);
    failWith(pDX, message);
  }
}
