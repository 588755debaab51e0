// "Label Order": which labels a schedule shows, their texts, widths, justification and
// order, for one label group of tblLabelGroup; saved row by row with update statements.
#pragma once
#include <vector>

#include <acui.h>
#include <gridcontrol.h>

#include "db/CDBConnection.h"
#include "standards/LabelOrderRows.h"

namespace tabrik::arx::standards {

class LabelOrderCustomization : public CAcUiDialog {
 public:
  LabelOrderCustomization(CDBConnection* connection, const CString& group, const CString& title,
                          const CString& mode, std::vector<CString> keys, CWnd* parent);

  enum Column {
    kIdColumn,
    kKeyColumn,
    kLabelColumn,
    kWidthColumn,
    kJustificationColumn,
    kDisplayColumn
  };

  // The keys the caller passed; recorded, not used further.
  const std::vector<CString>& Keys() const { return m_keys; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnMoveUp();
  void OnMoveDown();
  void OnEndEdit(NMHDR* header, LRESULT* result);

 private:
  CDBConnection* m_connection;
  CString m_group;
  CString m_title;
  LabelMode m_mode;
  std::vector<CString> m_keys;
  CGridControl m_grid;

  DECLARE_MESSAGE_MAP()
};

}  // namespace tabrik::arx::standards
