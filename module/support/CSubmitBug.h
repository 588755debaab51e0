// The support report dialog: the user's details and description, the files to send
// (edited in CAttachmentDialog), and the choice between mailing the report and saving
// it on the desktop. OK validates and delivers; the dialog stays open while the user
// has something to correct or the mail could not go.
#pragma once
#include <string>
#include <vector>

#include <acui.h>
#include <afxwin.h>

#include "support/SupportReport.h"

namespace tabrik::arx {

class CSubmitBug : public CAcUiDialog {
 public:
  CSubmitBug(SupportReport report, CWnd* parent);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnAttachments();

 private:
  void showAttachmentCount();
  std::wstring textOf(int id) const;

  SupportReport m_report;
  CEdit m_email;
  CButton m_desktop;

  DECLARE_MESSAGE_MAP()
};

// The list of files to send: Add (a file-open dialog), Remove, OK keeps the list.
class CAttachmentDialog : public CDialog {
 public:
  CAttachmentDialog(std::vector<std::wstring> files, CWnd* parent);
  // The non-empty entries of the list; valid after OK.
  const std::vector<std::wstring>& files() const { return m_files; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnAdd();
  void OnRemove();

 private:
  std::vector<std::wstring> m_files;
  std::wstring m_startFolder;
  CListBox m_list;

  DECLARE_MESSAGE_MAP()
};

}  // namespace tabrik::arx
