// The user options dialog: every setting of the maker's products for this user in one
// grid (name, value, and three hidden columns that say where each value is stored),
// read from the registry when it opens and written back on OK.
#pragma once
#include <string>

#include <acui.h>
#include <afxwin.h>
#include <gridcontrol.h>

namespace tabrik::arx {

class CUserOptions : public CAcUiDialog {
 public:
  // Grid columns; the last three are hidden.
  enum Column { kName = 0, kValue, kSubKey, kValueName, kIsYesNo };

  CUserOptions(const std::wstring& product, const std::wstring& variant, CWnd* parent);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override;

 private:
  std::wstring m_product;
  std::wstring m_variant;
  CGridControl m_grid;
};

}  // namespace tabrik::arx
