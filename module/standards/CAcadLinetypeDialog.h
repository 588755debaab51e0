// "Select Linetype": the drawing's linetypes (without ByLayer and ByBlock) with their
// descriptions, the current one selected; OK gives the selected name.
#pragma once
#include <acui.h>
#include <gridcontrol.h>

namespace tabrik::arx::standards {

class CAcadLinetypeDialog : public CAcUiDialog {
 public:
  CAcadLinetypeDialog(const CString& current, CWnd* parent);

  const CString& Linetype() const { return m_linetype; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  CGridControl m_grid;
  CString m_linetype;
};

}  // namespace tabrik::arx::standards
