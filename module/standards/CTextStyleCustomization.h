// "Text Styles": the style name, height and scale factor of each text style key in
// tblTextStyle, edited in a grid and saved row by row with update statements.
#pragma once
#include <acui.h>
#include <gridcontrol.h>

#include "db/CDBConnection.h"

namespace tabrik::arx::standards {

class CTextStyleCustomization : public CAcUiDialog {
 public:
  // `focusKey`: the key whose height is put up for editing when the dialog opens.
  CTextStyleCustomization(CDBConnection* connection, const CString& focusKey, CWnd* parent);

  enum Column { kKeyColumn, kIdColumn, kStyleColumn, kHeightColumn, kScaleColumn };

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  CDBConnection* m_connection;
  CString m_focusKey;
  CGridControl m_grid;

  DECLARE_MESSAGE_MAP()
};

}  // namespace tabrik::arx::standards
