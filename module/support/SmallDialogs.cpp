// CEditMultilineText and CSafeContinue (see SmallDialogs.h).
#include "support/SmallDialogs.h"

#include "resources/SupportDialogs.h"
#include "support/EditLines.h"

namespace tabrik::arx {

// ---- CEditMultilineText

CEditMultilineText::CEditMultilineText(const std::wstring& text, const std::wstring& title,
                                       CWnd* parent)
    : CAcUiDialog(IDD_EDITMULTILINETEXT, parent), m_text(toEditLines(text)), m_title(title) {}

void CEditMultilineText::DoDataExchange(CDataExchange* pDX) {
  CAcUiDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_ET_TEXT, m_edit);
}

BOOL CEditMultilineText::OnInitDialog() {
  SetDialogName(L"nv_tabrik:EditMultilineText");
  CAcUiDialog::OnInitDialog();
  if (!m_title.empty()) {
    SetWindowText(m_title.c_str());
  }
  m_edit.SetWindowText(m_text.c_str());
  m_edit.SetFocus();
  const int end = static_cast<int>(m_text.size());
  m_edit.SetSel(end, end);
  // The focus was placed here.
  return FALSE;
}

void CEditMultilineText::OnOK() {
  CString text;
  m_edit.GetWindowText(text);
  m_text = fromEditLines(std::wstring(text.GetString()));
  CAcUiDialog::OnOK();
}

// ---- CSafeContinue

BEGIN_MESSAGE_MAP(CSafeContinue, CDialog)
ON_EN_CHANGE(IDC_SC_WORD, &CSafeContinue::OnChangeWord)
END_MESSAGE_MAP()

CSafeContinue::CSafeContinue(const std::wstring& title, const std::wstring& message,
                             const std::wstring& word, CWnd* parent)
    : CDialog(IDD_SAFECONTINUE, parent),
      m_title(title),
      m_message(message),
      m_expected(capitals(word)) {}

void CSafeContinue::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_SC_WORD, m_word);
}

BOOL CSafeContinue::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowText(m_title.c_str());
  SetDlgItemText(IDC_SC_MESSAGE, m_message.c_str());
  // Taller by a line for every line the message needs beyond the two the template
  // holds, at about 60 characters a line, so that all of it shows.
  int lines = 0;
  std::size_t start = 0;
  while (start <= m_message.size()) {
    std::size_t end = m_message.find(L'\n', start);
    if (end == std::wstring::npos) {
      end = m_message.size();
    }
    lines += 1 + static_cast<int>((end - start) / 60);
    start = end + 1;
  }
  if (lines > 2) {
    CRect box;
    GetWindowRect(&box);
    MoveWindow(box.left, box.top, box.Width(), box.Height() + (lines - 2) * 16);
  }
  if (CWnd* ok = GetDlgItem(IDOK)) {
    ok->EnableWindow(m_expected.empty());
  }
  m_word.SetFocus();
  return FALSE;
}

void CSafeContinue::OnChangeWord() {
  CString typed;
  m_word.GetWindowText(typed);
  const std::wstring text(typed.GetString());
  const std::wstring upper = capitals(text);
  if (upper != text) {
    // Setting the text notifies again; the second round finds nothing to change.
    m_word.SetWindowText(upper.c_str());
    const int end = static_cast<int>(upper.size());
    m_word.SetSel(end, end);
    return;
  }
  if (CWnd* ok = GetDlgItem(IDOK)) {
    ok->EnableWindow(text == m_expected);
  }
}

void CSafeContinue::OnOK() {
  CString typed;
  m_word.GetWindowText(typed);
  m_confirmed = std::wstring(typed.GetString()) == m_expected;
  CDialog::OnOK();
}

}  // namespace tabrik::arx
