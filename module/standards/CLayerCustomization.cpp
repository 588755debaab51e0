#include "standards/CLayerCustomization.h"

#include <cwchar>

#include "standards/CAcadLinetypeDialog.h"
#include "standards/CNewLayerSystem.h"
#include "standards/GridRows.h"
#include "standards/LayerRules.h"
#include "standards/LispCallback.h"
#include "standards/StandardsResources.h"
#include "standards/StandardsSql.h"
#include "standards/TblLayer.h"
#include "standards/TblLayerSystem.h"

namespace tabrik::arx::standards {
namespace {

constexpr const wchar_t* kCaption = L"Norvane";

long idOf(const CString& text) { return std::wcstol(text.GetString(), nullptr, 10); }

CString textOf(long value) {
  CString text;
  text.Format(L"%ld", value);
  return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CLayerCustomization, CAcUiDialog)
ON_BN_CLICKED(IDC_LC_MOVE_UP, &CLayerCustomization::OnMoveUp)
ON_BN_CLICKED(IDC_LC_MOVE_DOWN, &CLayerCustomization::OnMoveDown)
ON_BN_CLICKED(IDC_LC_NEW_SYSTEM, &CLayerCustomization::OnNewSystem)
ON_BN_CLICKED(IDC_LC_EDIT_SYSTEM, &CLayerCustomization::OnEditSystem)
ON_BN_CLICKED(IDC_LC_DELETE_SYSTEM, &CLayerCustomization::OnDeleteSystem)
ON_BN_CLICKED(IDC_LC_IMPORT, &CLayerCustomization::OnImport)
ON_BN_CLICKED(IDC_LC_EXPORT, &CLayerCustomization::OnExport)
ON_BN_CLICKED(IDC_LC_UNDO_KEYS, &CLayerCustomization::OnUndoKeys)
ON_BN_CLICKED(IDC_LC_DELETE_UNUSED, &CLayerCustomization::OnDeleteUnused)
ON_BN_CLICKED(IDC_LC_NEW_LAYER, &CLayerCustomization::OnNewLayer)
ON_BN_CLICKED(IDC_LC_DELETE_LAYER, &CLayerCustomization::OnDeleteLayer)
ON_BN_CLICKED(IDC_LC_UNDO_LAYERS, &CLayerCustomization::OnUndoLayers)
ON_NOTIFY(GCN_SELCHANGED, IDC_LC_SYSTEMS_GRID, &CLayerCustomization::OnSystemSelected)
ON_NOTIFY(GCN_ENDEDIT, IDC_LC_SYSTEMS_GRID, &CLayerCustomization::OnSystemEdited)
ON_NOTIFY(GCN_ENDEDIT, IDC_LC_LAYERS_GRID, &CLayerCustomization::OnLayerEdited)
ON_NOTIFY(GCN_BUTTONCLICK, IDC_LC_LAYERS_GRID, &CLayerCustomization::OnLayerButton)
END_MESSAGE_MAP()

CLayerCustomization::CLayerCustomization(CDBConnection* connection, const CString& path,
                                         bool checkObjects, CWnd* parent)
    : CAcUiDialog(IDD_LAYER_CUSTOMIZATION, parent),
      m_connection(connection),
      m_path(path),
      m_checkObjects(checkObjects) {
  SetDialogName(L"nv_tabrik:LayerCustomization");
}

void CLayerCustomization::DoDataExchange(CDataExchange* pDX) {
  CAcUiDialog::DoDataExchange(pDX);
  DDX_GridControl(pDX, IDC_LC_SYSTEMS_GRID, m_systems);
  DDX_GridControl(pDX, IDC_LC_KEYS_GRID, m_keys);
  DDX_GridControl(pDX, IDC_LC_LAYERS_GRID, m_layers);
}

BOOL CLayerCustomization::OnInitDialog() {
  CAcUiDialog::OnInitDialog();
  m_systems.InsertColumn(L"ixLayerSystem", GCK_TEXT, 0);
  m_systems.InsertColumn(L"Layer System", GCK_TEXT, 150);
  m_systems.InsertColumn(L"iSortOrder", GCK_TEXT, 0);
  m_systems.SetColumnHidden(kSystemId);
  m_systems.SetColumnHidden(kSystemSort);

  m_keys.InsertColumn(L"Layer Key", GCK_TEXT, 140);
  m_keys.InsertColumn(L"ixLayerKey", GCK_TEXT, 0);
  m_keys.InsertColumn(L"colSort", GCK_TEXT, 0);
  m_keys.InsertColumn(L"ixLayer", GCK_TEXT, 0);
  m_keys.InsertColumn(L"Layer Name", GCK_COMBO, 150);
  for (int column : {kKeyId, kKeySort, kKeyLayerId}) m_keys.SetColumnHidden(column);
  m_keys.SetColumnReadOnly(kKeyShown);

  m_layers.InsertColumn(L"ixLayer", GCK_TEXT, 0);
  m_layers.InsertColumn(L"Layer Name", GCK_TEXT, 150);
  m_layers.InsertColumn(L"Color", GCK_BUTTON, 50);
  m_layers.InsertColumn(L"Linetype", GCK_BUTTON, 90);
  m_layers.InsertColumn(L"Plot", GCK_CHECK, 30);
  m_layers.InsertColumn(L"Lineweight", GCK_COMBO, 70);
  m_layers.InsertColumn(L"Plot Style", GCK_TEXT, 80);
  m_layers.SetColumnHidden(kLayerId);

  LoadLayers();
  LoadSystems(kGeneralSystemId);
  return TRUE;
}

// --- loading --------------------------------------------------------------------------

void CLayerCustomization::LoadSystems(long select) {
  m_systems.DeleteNonFixedRows();
  std::vector<SystemRow> rows;
  loadSystemRows(*m_connection, rows);
  int selected = 1;
  for (const SystemRow& row : rows) {
    const int at = m_systems.InsertRow(textOf(row.id));
    m_systems.SetItemText(at, kSystemName, row.name);
    m_systems.SetItemText(at, kSystemSort, textOf(row.sortOrder));
    if (row.id == select) selected = at;
  }
  if (m_systems.GetRowCount() > 1) m_systems.SetSelectedRow(selected);
  m_keysOf = 0;
  LoadKeys();
}

long CLayerCustomization::SelectedSystem() const {
  const int row = m_systems.GetSelectedRow();
  return row > 0 ? idOf(m_systems.GetItemText(row, kSystemId)) : kGeneralSystemId;
}

void CLayerCustomization::LoadKeys() {
  const long system = SelectedSystem();
  if (system == m_keysOf) return;
  m_keysOf = system;
  m_keys.DeleteNonFixedRows();
  std::vector<KeyRow> rows;
  loadKeyRows(*m_connection, system, m_path, m_layerNames, rows);
  CStringArray names;
  for (const auto& [id, name] : m_layerNames) names.Add(name);
  for (const KeyRow& row : rows) {
    const int at = m_keys.InsertRow(row.shown);
    m_keys.SetItemText(at, kKeyId, textOf(row.keyId));
    m_keys.SetItemText(at, kKeySort, row.sortText);
    m_keys.SetItemText(at, kKeyLayerId, textOf(row.layerId));
    m_keys.SetCellOptions(at, kKeyLayerName, names);
    m_keys.SetItemText(at, kKeyLayerName, row.layerName);
  }
  m_keys.SortItems(kKeySort, TRUE);
  if (m_keys.GetRowCount() > 1) m_keys.SetSelectedRow(1);
}

void CLayerCustomization::AddLayerRow(const LayerRow& layer) {
  static CStringArray weights;
  if (weights.GetSize() == 0) {
    for (const wchar_t* item : kLineweightItems) weights.Add(item);
  }
  const int at = m_layers.InsertRow(textOf(layer.id));
  m_layers.SetItemText(at, kLayerName, layer.name);
  m_layers.SetItemText(at, kLayerColor, textOf(layer.color));
  m_layers.SetItemText(at, kLayerLinetype, layer.linetype);
  m_layers.SetCheck(at, kLayerPlot, layer.plot);
  m_layers.SetCellOptions(at, kLayerWeight, weights);
  m_layers.SetItemText(at, kLayerWeight, layer.lineweight);
  m_layers.SetItemText(at, kLayerStyle, layer.plotStyle);
}

void CLayerCustomization::LoadLayers() {
  m_layers.DeleteNonFixedRows();
  m_layerNames.clear();
  std::vector<LayerRow> rows;
  loadLayerRows(*m_connection, rows);
  for (const LayerRow& row : rows) {
    AddLayerRow(row);
    m_layerNames[row.id] = row.name;
  }
  if (m_layers.GetRowCount() > 1) m_layers.SetSelectedRow(1);
}

LayerRow CLayerCustomization::LayerRowAt(int row) const {
  LayerRow layer;
  layer.id = idOf(m_layers.GetItemText(row, kLayerId));
  layer.name = m_layers.GetItemText(row, kLayerName);
  layer.color = idOf(m_layers.GetItemText(row, kLayerColor));
  layer.linetype = m_layers.GetItemText(row, kLayerLinetype);
  layer.plot = m_layers.GetItemText(row, kLayerPlot) != L"0";
  layer.lineweight = m_layers.GetItemText(row, kLayerWeight);
  layer.plotStyle = m_layers.GetItemText(row, kLayerStyle);
  return layer;
}

// The key rows with each key's layer taken from the name chosen for it.
std::vector<KeyRow> CLayerCustomization::KeyRows() const {
  std::map<std::wstring, long> layerIds;
  for (int row = 1; row < m_layers.GetRowCount(); ++row) {
    layerIds.emplace(m_layers.GetItemText(row, kLayerName).GetString(),
                     idOf(m_layers.GetItemText(row, kLayerId)));
  }
  std::vector<KeyRow> rows;
  for (int row = 1; row < m_keys.GetRowCount(); ++row) {
    KeyRow key;
    key.keyId = idOf(m_keys.GetItemText(row, kKeyId));
    key.layerName = m_keys.GetItemText(row, kKeyLayerName);
    auto found = layerIds.find(key.layerName.GetString());
    key.layerId =
        found != layerIds.end() ? found->second : idOf(m_keys.GetItemText(row, kKeyLayerId));
    rows.push_back(key);
  }
  return rows;
}

int CLayerCustomization::Ask(const CString& text) {
  return MessageBox(text, kCaption, MB_YESNO | MB_ICONQUESTION);
}

// --- layer systems ---------------------------------------------------------------------

void CLayerCustomization::OnSystemSelected(NMHDR*, LRESULT* result) {
  *result = 0;
  LoadKeys();
}

void CLayerCustomization::OnSystemEdited(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* cell = reinterpret_cast<const NM_GRIDCELL*>(header);
  if (idOf(m_systems.GetItemText(cell->iRow, kSystemId)) == kGeneralSystemId) {
    m_systems.SetItemText(cell->iRow, kSystemName, kGeneralSystemName);
  }
}

void CLayerCustomization::OnMoveUp() { moveSelectedRow(m_systems, -1, 2); }

void CLayerCustomization::OnMoveDown() { moveSelectedRow(m_systems, +1, 2); }

void CLayerCustomization::OnNewSystem() {
  std::vector<CNewLayerSystem::Source> sources;
  for (int row = 2; row < m_systems.GetRowCount(); ++row) {
    sources.push_back(
        {idOf(m_systems.GetItemText(row, kSystemId)), m_systems.GetItemText(row, kSystemName)});
  }
  CNewLayerSystem dialog(sources, this);
  if (dialog.DoModal() != IDOK) return;
  std::optional<long> id = createLayerSystem(*m_connection, dialog.Name(), dialog.SourceId());
  if (!id) return;
  CTblLayerSystem record(m_connection);
  const int at = m_systems.InsertRow(textOf(*id));
  m_systems.SetItemText(at, kSystemName, dialog.Name());
  m_systems.SetItemText(
      at, kSystemSort,
      record.FindByKey(*id) ? textOf(record.GetLong(CTblLayerSystem::kSortOrder)) : CString());
  m_systems.SetSelectedRow(at);
  LoadKeys();
}

void CLayerCustomization::OnEditSystem() {
  const int row = m_systems.GetSelectedRow();
  if (row <= 0) return;
  const long id = idOf(m_systems.GetItemText(row, kSystemId));
  if (id == kGeneralSystemId) {
    MessageBox(L"The general layer system cannot be edited.", kCaption, MB_OK | MB_ICONINFORMATION);
    m_systems.SetItemText(row, kSystemName, kGeneralSystemName);
    return;
  }
  invokeLisp(L"util-layersystemoptions", {id, m_path});
  CTblLayerSystem record(m_connection);
  if (record.FindByKey(id))
    m_systems.SetItemText(row, kSystemName, record.GetText(CTblLayerSystem::kDescription));
}

void CLayerCustomization::OnDeleteSystem() {
  const int row = m_systems.GetSelectedRow();
  if (row <= 0) return;
  if (m_systems.GetRowCount() - 2 < 2) {
    MessageBox(L"You cannot delete the last layer system.", kCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  const long id = idOf(m_systems.GetItemText(row, kSystemId));
  if (id == kGeneralSystemId) {
    MessageBox(L"The general layer system cannot be deleted.", kCaption,
               MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (m_checkObjects) {
    if (std::optional<CString> refusal =
            invokeLisp(L"util-checkObjectsforLayersystem", {id}).String()) {
      MessageBox(*refusal, kCaption, MB_OK | MB_ICONINFORMATION);
      return;
    }
  }
  const CString name = m_systems.GetItemText(row, kSystemName);
  if (Ask(L"Are you sure you want to delete layer system " + name + L"?") != IDYES) return;
  deleteLayerSystem(*m_connection, id);
  LoadSystems(kGeneralSystemId);
}

void CLayerCustomization::OnExport() {
  const std::vector<KeyRow> keys = KeyRows();
  saveTogether(*m_connection, [&] { return saveKeyRows(*m_connection, keys); });
  invokeLisp(L"util-exportLayerSystem-noName", {SelectedSystem(), m_path});
}

void CLayerCustomization::OnImport() {
  const long system = SelectedSystem();
  if (invokeLisp(L"util-importLayerSystem-noName", {system, m_path}).IsNil()) return;
  LoadLayers();
  LoadSystems(system);
}

// Both undo buttons drop the grid's unsaved edits and show the database again.
void CLayerCustomization::OnUndoKeys() {
  m_keysOf = 0;
  LoadKeys();
}

void CLayerCustomization::OnUndoLayers() {
  LoadLayers();
  m_keysOf = 0;
  LoadKeys();
}

// --- layers ------------------------------------------------------------------------------

void CLayerCustomization::OnNewLayer() {
  const int selected = m_layers.GetSelectedRow();
  LayerRow layer = selected > 0 ? LayerRowAt(selected)
                                : LayerRow{0, L"", 7, L"Continuous", true, L"Default", L""};
  layer.name = L"New Layer";
  std::optional<long> id = appendLayer(*m_connection, layer);
  if (!id) return;
  layer.id = *id;
  // What the table holds now (a clamped colour, a lineweight read back).
  CTblLayer record(m_connection);
  if (record.FindByKey(*id)) layer.color = record.GetLong(CTblLayer::kColor);
  m_layerNames[*id] = layer.name;
  AddLayerRow(layer);
  m_layers.SetSelectedRow(m_layers.GetRowCount() - 1);
}

void CLayerCustomization::OnDeleteLayer() {
  const int row = m_layers.GetSelectedRow();
  if (row <= 0) return;
  const long id = idOf(m_layers.GetItemText(row, kLayerId));
  if (layerIsReferenced(*m_connection, id)) {
    MessageBox(L"Layer is currently referenced by a layer key and cannot be deleted.", kCaption,
               MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (Ask(L"Are you sure you want to delete layer " + m_layers.GetItemText(row, kLayerName) +
          L"?") != IDYES) {
    return;
  }
  deleteLayer(*m_connection, id);
  LoadLayers();
}

void CLayerCustomization::OnDeleteUnused() {
  if (Ask(L"Are you sure you want to delete all unused layers?") != IDYES) return;
  runStatement(*m_connection, sql::deleteUnusedLayers());
  LoadLayers();
}

void CLayerCustomization::OnLayerEdited(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* cell = reinterpret_cast<const NM_GRIDCELL*>(header);
  if (cell->iColumn != kLayerName) return;
  const long id = idOf(m_layers.GetItemText(cell->iRow, kLayerId));
  const CString name = m_layers.GetItemText(cell->iRow, kLayerName);
  const wchar_t* refusal = nullptr;
  if (hasInvalidLayerCharacters(name)) {
    refusal = kInvalidLayerNameMessage;
  } else if (layerNameTaken(*m_connection, name, id)) {
    refusal = L"Layer name already exists in the database.";
  }
  if (refusal == nullptr) return;
  MessageBox(refusal, L"Norvane Error", MB_OK | MB_ICONSTOP);
  CTblLayer record(m_connection);
  m_layers.SetItemText(cell->iRow, kLayerName,
                       record.FindByKey(id) ? record.GetText(CTblLayer::kName) : CString());
}

void CLayerCustomization::OnLayerButton(NMHDR* header, LRESULT* result) {
  *result = 0;
  const auto* cell = reinterpret_cast<const NM_GRIDCELL*>(header);
  if (cell->iColumn == kLayerColor) {
    const long current = clampColorIndex(idOf(m_layers.GetItemText(cell->iRow, kLayerColor)));
    if (std::optional<long> picked = invokeLisp(L"acad_colordlg", {current, nullptr}).Integer()) {
      m_layers.SetItemText(cell->iRow, kLayerColor, textOf(*picked));
    }
  } else if (cell->iColumn == kLayerLinetype) {
    CAcadLinetypeDialog dialog(m_layers.GetItemText(cell->iRow, kLayerLinetype), this);
    if (dialog.DoModal() == IDOK)
      m_layers.SetItemText(cell->iRow, kLayerLinetype, dialog.Linetype());
  }
}

// --- OK ----------------------------------------------------------------------------------

void CLayerCustomization::OnOK() {
  std::vector<SystemRow> systems;
  for (int row = 1; row < m_systems.GetRowCount(); ++row) {
    systems.push_back({idOf(m_systems.GetItemText(row, kSystemId)),
                       m_systems.GetItemText(row, kSystemName), row});
  }
  std::vector<LayerRow> layers;
  for (int row = 1; row < m_layers.GetRowCount(); ++row) layers.push_back(LayerRowAt(row));
  // A failed write was printed and took the writes before it back with it; the dialog
  // stays open with the user's edits.
  const std::vector<KeyRow> keys = KeyRows();
  if (!saveTogether(*m_connection, [&] {
        return saveSystemRows(*m_connection, systems) && saveKeyRows(*m_connection, keys) &&
               saveLayerRows(*m_connection, layers);
      })) {
    return;
  }
  CAcUiDialog::OnOK();
}

}  // namespace tabrik::arx::standards
