#include "standards/CLayerSystemOptionsHVAC.h"

#include "standards/LispCallback.h"
#include "standards/StandardsResources.h"

namespace tabrik::arx::standards {

BEGIN_MESSAGE_MAP(CLayerSystemOptionsHVAC, CLayerSystemOptions)
ON_NOTIFY(GCN_ENDEDIT, IDC_LSO_HATCH_GRID, &CLayerSystemOptionsHVAC::OnEndEdit)
END_MESSAGE_MAP()

CLayerSystemOptionsHVAC::CLayerSystemOptionsHVAC(CTblLayerSystem& record, long id, CWnd* parent)
    : CLayerSystemOptions(IDD_LAYER_SYSTEM_OPTIONS_HVAC, Discipline::HVAC, record, id, parent) {
  SetDialogName(L"nv_tabrik:LayerSystemOptionsHVAC");
}

void CLayerSystemOptionsHVAC::DoDataExchange(CDataExchange* pDX) {
  CLayerSystemOptions::DoDataExchange(pDX);
  DDX_GridControl(pDX, IDC_LSO_HATCH_GRID, m_grid);
}

BOOL CLayerSystemOptionsHVAC::OnInitDialog() {
  m_patterns = invokeLisp(L"hvac-getPatList", {}).Strings();
  return CLayerSystemOptions::OnInitDialog();
}

void CLayerSystemOptionsHVAC::ShapePatternCell(int row) {
  if (m_grid.GetItemText(row, kTypeColumn) != L"Predefined") {
    m_grid.SetCellKind(row, kPatternColumn, GCK_TEXT);
    return;
  }
  CStringArray names;
  for (const CString& name : m_patterns) names.Add(name);
  m_grid.SetCellKind(row, kPatternColumn, GCK_COMBO);
  m_grid.SetCellOptions(row, kPatternColumn, names);
  if (m_grid.GetItemText(row, kPatternColumn).IsEmpty() && !m_patterns.empty()) {
    m_grid.SetItemText(row, kPatternColumn, m_patterns.front());
  }
}

void CLayerSystemOptionsHVAC::ShowOptions(const LayerSystemOptions& options) {
  CLayerSystemOptions::ShowOptions(options);
  SetDlgItemText(IDC_LSO_PREFIX, options.prefix);
  SetDlgItemText(IDC_LSO_SUFFIX, options.suffix);
  CheckDlgButton(IDC_LSO_HATCH_FLEX, options.hatchFlexDucts ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemText(IDC_LSO_OVERHANG, options.hatchOverhang);

  m_grid.InsertColumn(L"Air System", GCK_TEXT, 60);
  m_grid.InsertColumn(L"Display Hatch", GCK_CHECK, 50);
  m_grid.InsertColumn(L"Type", GCK_COMBO, 60);
  m_grid.InsertColumn(L"Pattern", GCK_TEXT, 60);
  m_grid.InsertColumn(L"Angle", GCK_TEXT, 40);
  m_grid.InsertColumn(L"Scale", GCK_TEXT, 40);
  m_grid.SetColumnReadOnly(kAirColumn);
  CStringArray types;
  types.Add(L"Predefined");
  types.Add(L"Custom");
  for (std::size_t air = 0; air < options.hatch.size(); ++air) {
    const HatchOptions& hatch = options.hatch[air];
    const int row = m_grid.InsertRow(kAirSystemLabels[air]);
    m_grid.SetCheck(row, kOnColumn, hatch.on);
    m_grid.SetCellOptions(row, kTypeColumn, types);
    m_grid.SetItemText(row, kTypeColumn, hatch.type);
    m_grid.SetItemText(row, kPatternColumn, hatch.pattern);
    m_grid.SetItemText(row, kAngleColumn, hatch.angle);
    m_grid.SetItemText(row, kScaleColumn, hatch.scale);
    ShapePatternCell(row);
  }
}

void CLayerSystemOptionsHVAC::ReadOptions(LayerSystemOptions& options) {
  CLayerSystemOptions::ReadOptions(options);
  GetDlgItemText(IDC_LSO_PREFIX, options.prefix);
  GetDlgItemText(IDC_LSO_SUFFIX, options.suffix);
  options.hatchFlexDucts = IsDlgButtonChecked(IDC_LSO_HATCH_FLEX) == BST_CHECKED;
  GetDlgItemText(IDC_LSO_OVERHANG, options.hatchOverhang);
  for (std::size_t air = 0; air < options.hatch.size(); ++air) {
    const int row = static_cast<int>(air) + 1;
    if (row >= m_grid.GetRowCount()) break;
    HatchOptions& hatch = options.hatch[air];
    // Stored as true unless the cell holds the digit zero.
    hatch.on = m_grid.GetItemText(row, kOnColumn) != L"0";
    hatch.type = m_grid.GetItemText(row, kTypeColumn);
    hatch.pattern = m_grid.GetItemText(row, kPatternColumn);
    hatch.angle = m_grid.GetItemText(row, kAngleColumn);
    hatch.scale = m_grid.GetItemText(row, kScaleColumn);
  }
}

void CLayerSystemOptionsHVAC::OnEndEdit(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* cell = reinterpret_cast<const NM_GRIDCELL*>(header);
  if (cell->iColumn == kTypeColumn) ShapePatternCell(cell->iRow);
}

}  // namespace tabrik::arx::standards
