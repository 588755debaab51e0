#include "standards/CLayerSystemOptionsElec.h"

#include "standards/StandardsResources.h"

namespace tabrik::arx::standards {

CLayerSystemOptionsElec::CLayerSystemOptionsElec(const CString& product, CTblLayerSystem& record,
                                                 long id, CWnd* parent)
    : CLayerSystemOptions(IDD_LAYER_SYSTEM_OPTIONS_ELEC, Discipline::Electrical, record, id,
                          parent),
      m_product(product) {}

bool CLayerSystemOptionsElec::DrawsNoConduits(const CString& product) {
  return product.CompareNoCase(L"ELEC-LT") == 0 || product.CompareNoCase(L"LIGHTING") == 0;
}

BOOL CLayerSystemOptionsElec::OnInitDialog() {
  CLayerSystemOptions::OnInitDialog();
  if (DrawsNoConduits(m_product)) {
    if (CWnd* solid = GetDlgItem(IDC_LSO_SOLID)) solid->ShowWindow(SW_HIDE);
  }
  return TRUE;
}

}  // namespace tabrik::arx::standards
