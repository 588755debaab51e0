#include "standards/CLayerSystemOptions.h"

#include "standards/StandardsResources.h"

namespace tabrik::arx::standards {

CLayerSystemOptions::CLayerSystemOptions(UINT idd, Discipline discipline, CTblLayerSystem& record,
                                         long id, CWnd* parent)
    : CAcUiDialog(idd, parent), m_record(record), m_id(id), m_discipline(discipline) {}

BOOL CLayerSystemOptions::OnInitDialog() {
  CAcUiDialog::OnInitDialog();
  // A row that cannot be read shows empty fields; OK then finds nothing to write.
  loadLayerSystemOptions(m_record, m_id, m_options);
  ShowOptions(m_options);
  return TRUE;
}

void CLayerSystemOptions::ShowOptions(const LayerSystemOptions& options) {
  SetDlgItemText(IDC_LSO_NAME, options.description);
  if (GetDlgItem(IDC_LSO_SOLID) != nullptr) {
    CheckDlgButton(IDC_LSO_SOLID, options.solid ? BST_CHECKED : BST_UNCHECKED);
  }
}

void CLayerSystemOptions::ReadOptions(LayerSystemOptions& options) {
  GetDlgItemText(IDC_LSO_NAME, options.description);
  if (GetDlgItem(IDC_LSO_SOLID) != nullptr) {
    options.solid = IsDlgButtonChecked(IDC_LSO_SOLID) == BST_CHECKED;
  }
}

void CLayerSystemOptions::OnOK() {
  ReadOptions(m_options);
  saveLayerSystemOptions(m_record, m_id, m_options, m_discipline);
  CAcUiDialog::OnOK();
}

}  // namespace tabrik::arx::standards
