// The support report dialog and its attachment list (see CSubmitBug.h).
#include "support/CSubmitBug.h"

#include <cwctype>

#include <afxdlgs.h>
#include <winuser.h>

#include "resources/SupportDialogs.h"
#include "support/NarrowText.h"
#include "support/SupportConfiguration.h"
#include "support/SupportReportDelivery.h"
#include "support/UserSettings.h"

namespace tabrik::arx {
namespace {

constexpr const wchar_t* kShared = L"Shared";

bool sameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

// ---- CSubmitBug

BEGIN_MESSAGE_MAP(CSubmitBug, CAcUiDialog)
ON_BN_CLICKED(IDC_SB_ATTACH, &CSubmitBug::OnAttachments)
END_MESSAGE_MAP()

CSubmitBug::CSubmitBug(SupportReport report, CWnd* parent)
    : CAcUiDialog(IDD_SUBMITBUG, parent), m_report(std::move(report)) {}

void CSubmitBug::DoDataExchange(CDataExchange* pDX) {
  CAcUiDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_SB_EMAIL, m_email);
  DDX_Control(pDX, IDC_SB_DESKTOP, m_desktop);
}

std::wstring CSubmitBug::textOf(int id) const {
  CString text;
  GetDlgItemText(id, text);
  return std::wstring(text.GetString());
}

void CSubmitBug::showAttachmentCount() {
  std::size_t count = 0;
  for (const std::wstring& file : m_report.attachments) {
    count += file.empty() ? 0 : 1;
  }
  SetDlgItemText(IDC_SB_COUNT, attachmentCountText(count).c_str());
}

BOOL CSubmitBug::OnInitDialog() {
  SetDialogName(L"nv_tabrik:SubmitBug");
  CAcUiDialog::OnInitDialog();
  const std::wstring address = wideText(supportConfiguration().supportAddress);
  SetDlgItemText(IDC_SB_TO, (L"Norvane Support <" + address + L">").c_str());
  SetDlgItemText(IDC_SB_NAME, readUserSetting(kShared, L"Name").c_str());
  const std::wstring email = readUserSetting(kShared, L"Email");
  SetDlgItemText(IDC_SB_EMAIL, email.c_str());
  SetDlgItemText(IDC_SB_EMAIL2, email.c_str());
  SetDlgItemText(IDC_SB_PHONE, readUserSetting(kShared, L"Phone").c_str());
  m_desktop.SetCheck(readUserSetting(kShared, L"bSendToDesktop2") == L"1" ? BST_CHECKED
                                                                          : BST_UNCHECKED);
  const std::wstring title = submitDialogTitle(m_report.kind);
  if (!title.empty()) {
    SetWindowText(title.c_str());
  }
  showAttachmentCount();
  return TRUE;
}

void CSubmitBug::OnAttachments() {
  CAttachmentDialog dialog(m_report.attachments, this);
  if (dialog.DoModal() == IDOK) {
    m_report.attachments = dialog.files();
  }
  showAttachmentCount();
}

void CSubmitBug::OnOK() {
  m_report.name = textOf(IDC_SB_NAME);
  m_report.email = textOf(IDC_SB_EMAIL);
  m_report.emailRepeat = textOf(IDC_SB_EMAIL2);
  m_report.phone = textOf(IDC_SB_PHONE);
  m_report.information = textOf(IDC_SB_INFO);

  SubmitLog log(m_report.logFolder);
  log.restart();
  log.append("Set user registry...\n");
  writeUserSetting(kShared, L"Name", m_report.name);
  writeUserSetting(kShared, L"Phone", m_report.phone);
  log.append("Done\n");

  SupportReportDelivery delivery(m_hWnd, [this](const std::wstring& status) {
    SetDlgItemText(IDC_SB_STATUS, status.c_str());
  });
  if (m_desktop.GetCheck() == BST_CHECKED) {
    writeUserSetting(kShared, L"bSendToDesktop2", L"1");
    delivery.saveToDesktop(m_report);
    EndDialog(IDOK);
    return;
  }
  writeUserSetting(kShared, L"bSendToDesktop2", L"0");
  const std::wstring problem = emailProblem(m_report.email, m_report.emailRepeat,
                                            wideText(supportConfiguration().makerDomain));
  if (!problem.empty()) {
    MessageBox(problem.c_str(), L"Norvane", MB_OK | MB_ICONWARNING);
    GotoDlgCtrl(&m_email);
    return;
  }
  if (delivery.mail(m_report, log)) {
    EndDialog(IDOK);
  }
}

// ---- CAttachmentDialog

BEGIN_MESSAGE_MAP(CAttachmentDialog, CDialog)
ON_BN_CLICKED(IDC_AT_ADD, &CAttachmentDialog::OnAdd)
ON_BN_CLICKED(IDC_AT_REMOVE, &CAttachmentDialog::OnRemove)
END_MESSAGE_MAP()

CAttachmentDialog::CAttachmentDialog(std::vector<std::wstring> files, CWnd* parent)
    : CDialog(IDD_ATTACHMENTS, parent), m_files(std::move(files)) {}

void CAttachmentDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_AT_LIST, m_list);
}

BOOL CAttachmentDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  for (const std::wstring& file : m_files) {
    if (file.empty()) {
      continue;
    }
    m_list.AddString(file.c_str());
    const std::size_t slash = file.find_last_of(L"\\/");
    m_startFolder = slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
  }
  return TRUE;
}

void CAttachmentDialog::OnAdd() {
  CFileDialog picker(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                     L"Drawing Files (*.dwg)|*.dwg|Database Files (*.nv)|*.nv|IES Files "
                     L"(*.ies)|*.ies|All Files (*.*)|*.*||",
                     this);
  picker.m_ofn.lpstrTitle = L"Select Additional Files";
  if (!m_startFolder.empty()) {
    picker.m_ofn.lpstrInitialDir = m_startFolder.c_str();
  }
  if (picker.DoModal() != IDOK) {
    return;
  }
  const std::wstring chosen(picker.GetPathName().GetString());
  if (chosen.empty()) {
    return;
  }
  for (int i = 0; i < m_list.GetCount(); ++i) {
    CString listed;
    m_list.GetText(i, listed);
    if (sameIgnoringCase(std::wstring(listed.GetString()), chosen)) {
      return;
    }
  }
  m_list.AddString(chosen.c_str());
}

void CAttachmentDialog::OnRemove() {
  const int selected = m_list.GetCurSel();
  if (selected != LB_ERR) {
    m_list.DeleteString(static_cast<UINT>(selected));
  }
}

void CAttachmentDialog::OnOK() {
  m_files.clear();
  for (int i = 0; i < m_list.GetCount(); ++i) {
    CString listed;
    m_list.GetText(i, listed);
    if (!listed.IsEmpty()) {
      m_files.emplace_back(listed.GetString());
    }
  }
  CDialog::OnOK();
}

}  // namespace tabrik::arx
