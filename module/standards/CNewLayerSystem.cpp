#include "standards/CNewLayerSystem.h"

#include "standards/LayerRules.h"
#include "standards/StandardsResources.h"

namespace tabrik::arx::standards {

CNewLayerSystem::CNewLayerSystem(std::vector<Source> sources, CWnd* parent)
    : CAcUiDialog(IDD_NEW_LAYER_SYSTEM, parent), m_sources(std::move(sources)) {}

void CNewLayerSystem::DoDataExchange(CDataExchange* pDX) {
  CAcUiDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_NLS_SOURCE, m_list);
}

BOOL CNewLayerSystem::OnInitDialog() {
  CAcUiDialog::OnInitDialog();
  for (const Source& source : m_sources) m_list.AddString(source.name);
  if (!m_sources.empty()) m_list.SetCurSel(0);
  return TRUE;
}

void CNewLayerSystem::OnOK() {
  CString name;
  GetDlgItemText(IDC_NLS_NAME, name);
  name.Trim();
  std::vector<CString> existing;
  for (const Source& source : m_sources) existing.push_back(source.name);
  if (const wchar_t* refusal = refuseLayerSystemName(name, existing)) {
    MessageBox(refusal, L"Norvane", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  const int selected = m_list.GetCurSel();
  m_name = name;
  m_sourceId = selected >= 0 && static_cast<std::size_t>(selected) < m_sources.size()
                   ? m_sources[static_cast<std::size_t>(selected)].id
                   : 0;
  CAcUiDialog::OnOK();
}

}  // namespace tabrik::arx::standards
