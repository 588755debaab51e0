#include "standards/CAcadLinetypeDialog.h"

#include <memory>

#include <dbsymtb.h>

#include "draw/DrawingOperations.h"
#include "standards/StandardsResources.h"

namespace tabrik::arx::standards {

CAcadLinetypeDialog::CAcadLinetypeDialog(const CString& current, CWnd* parent)
    : CAcUiDialog(IDD_ACAD_LINETYPE, parent), m_linetype(current) {
  SetDialogName(L"nv_tabrik:AcadLinetype");
}

void CAcadLinetypeDialog::DoDataExchange(CDataExchange* pDX) {
  CAcUiDialog::DoDataExchange(pDX);
  DDX_GridControl(pDX, IDC_ALT_GRID, m_grid);
}

BOOL CAcadLinetypeDialog::OnInitDialog() {
  CAcUiDialog::OnInitDialog();
  m_grid.InsertColumn(L"Linetype", GCK_TEXT, 90);
  m_grid.InsertColumn(L"Description", GCK_TEXT, 150);
  m_grid.SetColumnReadOnly(0);
  m_grid.SetColumnReadOnly(1);
  AcDbDatabase* database = draw::currentDatabase();
  AcDbLinetypeTable* table = nullptr;
  if (database == nullptr || database->getLinetypeTable(table, AcDb::kForRead) != Acad::eOk) {
    return TRUE;
  }
  AcDbLinetypeTableIterator* raw = nullptr;
  table->newIterator(raw);
  std::unique_ptr<AcDbLinetypeTableIterator> iterator(raw);
  table->close();
  CString wanted = m_linetype;
  wanted.MakeUpper();
  for (; iterator && !iterator->done(); iterator->step()) {
    AcDbSymbolTableRecord* record = nullptr;
    if (iterator->getRecord(record) != Acad::eOk) continue;
    CString name = record->name().c_str();
    CString upper = name;
    upper.MakeUpper();
    CString description;
    if (auto* linetype = AcDbLinetypeTableRecord::cast(record)) {
      ACHAR* comments = nullptr;
      if (linetype->comments(comments) == Acad::eOk && comments != nullptr) {
        description = comments;
        delete[] comments;
      }
    }
    record->close();
    if (upper == L"BYLAYER" || upper == L"BYBLOCK") continue;
    const int row = m_grid.InsertRow(name);
    m_grid.SetItemText(row, 1, description);
    if (upper == wanted) m_grid.SetSelectedRow(row);
  }
  return TRUE;
}

void CAcadLinetypeDialog::OnOK() {
  const int row = m_grid.GetSelectedRow();
  if (row > 0) m_linetype = m_grid.GetItemText(row, 0);
  CAcUiDialog::OnOK();
}

}  // namespace tabrik::arx::standards
