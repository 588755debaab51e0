// The host's sample dialog, (host:sample-dialog [name]): one control of every kind, a
// nested dialog and a grid, so that scripts and the terminal can be tried on it and
// tests can prove the runtime. It is written as a module writes its dialogs.
#include "ui/SampleDialog.h"

#include "acdocman.h"
#include "afxwin.h"
#include "gridcontrol.h"
#include "resourcedata.h"

namespace tabrik::ui {

namespace {

enum : UINT {
  IDD_SAMPLE = 100,
  IDD_SAMPLE_CONFIRM = 101,
  IDC_NAME = 1001,
  IDC_NOTES = 1002,
  IDC_URGENT = 1003,
  IDC_COLOUR = 1004,
  IDC_SIZE = 1005,
  IDC_ITEMS = 1006,
  IDC_ADD = 1007,
  IDC_STATUS = 1008,
  IDC_GRID = 1009,
  IDC_MORE = 1010,
  IDC_CONFIRM_TEXT = 1101,
};

enum GridColumns { kColName, kColQty, kColDone, kColKind, kColId, kColOpen };

}  // namespace

HINSTANCE sampleResources() {
  static HINSTANCE__ resources{
      L"host",
      {
          DLGTEMPLATE_DATA{
              IDD_SAMPLE,
              L"IDD_SAMPLE",
              L"Sample",
              260,
              200,
              {
                  {L"STATIC", (UINT)IDC_STATIC, L"&Name:", 0, 7, 7, 40, 10},
                  {L"EDIT", IDC_NAME, L"", ES_AUTOHSCROLL, 50, 7, 120, 12},
                  {L"STATIC", (UINT)IDC_STATIC, L"N&otes:", 0, 7, 23, 40, 10},
                  {L"EDIT", IDC_NOTES, L"", ES_MULTILINE | ES_WANTRETURN, 50, 23, 120, 30},
                  {L"BUTTON", IDC_URGENT, L"&Urgent", BS_AUTOCHECKBOX, 50, 57, 60, 10},
                  {L"STATIC", (UINT)IDC_STATIC, L"&Colour:", 0, 7, 71, 40, 10},
                  {L"COMBOBOX", IDC_COLOUR, L"", CBS_DROPDOWNLIST, 50, 71, 60, 60},
                  {L"STATIC", (UINT)IDC_STATIC, L"&Size:", 0, 120, 71, 30, 10},
                  {L"COMBOBOX", IDC_SIZE, L"", CBS_DROPDOWN, 150, 71, 60, 60},
                  {L"STATIC", (UINT)IDC_STATIC, L"&Items:", 0, 7, 87, 40, 10},
                  {L"LISTBOX", IDC_ITEMS, L"", LBS_NOTIFY, 50, 87, 120, 30},
                  {L"BUTTON", IDC_ADD, L"&Add", BS_PUSHBUTTON, 180, 87, 50, 14},
                  {GRIDCONTROL_CLASS, IDC_GRID, L"", 0, 7, 121, 246, 50},
                  {L"STATIC", IDC_STATUS, L"Ready", 0, 7, 175, 150, 10},
                  {L"BUTTON", IDC_MORE, L"&More...", BS_PUSHBUTTON, 90, 185, 50, 14},
                  {L"BUTTON", IDOK, L"OK", BS_DEFPUSHBUTTON, 145, 185, 50, 14},
                  {L"BUTTON", IDCANCEL, L"Cancel", BS_PUSHBUTTON, 200, 185, 50, 14},
              }},
          DLGTEMPLATE_DATA{IDD_SAMPLE_CONFIRM,
                           L"IDD_SAMPLE_CONFIRM",
                           L"Confirm",
                           150,
                           60,
                           {
                               {L"STATIC", IDC_CONFIRM_TEXT, L"", 0, 7, 7, 136, 20},
                               {L"BUTTON", IDOK, L"&Yes", BS_DEFPUSHBUTTON, 40, 40, 50, 14},
                               {L"BUTTON", IDCANCEL, L"&No", BS_PUSHBUTTON, 95, 40, 50, 14},
                           }},
      }};
  return &resources;
}

namespace {

class CSampleConfirm : public CDialog {
 public:
  explicit CSampleConfirm(CString question) : CDialog(IDD_SAMPLE_CONFIRM), m_question(question) {}

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_CONFIRM_TEXT, m_question);
    return TRUE;
  }

 private:
  CString m_question;
};

class CSampleDialog : public CDialog {
 public:
  explicit CSampleDialog(CString name) : CDialog(IDD_SAMPLE), m_name(name) {
    m_dialogName = L"nv_tabrik:Sample";
  }

  CString m_name;
  CString m_notes;
  int m_urgent = BST_UNCHECKED;
  CString m_colour;
  CString m_size;
  CString m_item;
  std::vector<std::vector<std::wstring>> m_rows;
  bool m_confirmed = false;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, IDC_ITEMS, m_items);
    DDX_Control(pDX, IDC_COLOUR, m_colourBox);
    DDX_Control(pDX, IDC_SIZE, m_sizeBox);
    DDX_GridControl(pDX, IDC_GRID, m_grid);
    DDX_Text(pDX, IDC_NAME, m_name);
    DDX_Text(pDX, IDC_NOTES, m_notes);
    DDX_Check(pDX, IDC_URGENT, m_urgent);
    DDX_CBString(pDX, IDC_COLOUR, m_colour);
    DDX_CBString(pDX, IDC_SIZE, m_size);
    DDX_LBString(pDX, IDC_ITEMS, m_item);
  }

  BOOL OnInitDialog() override {
    // The lists are filled before the values are exchanged into them.
    CWnd* colours = GetDlgItem(IDC_COLOUR);
    for (const wchar_t* colour : {L"Red", L"Green", L"Blue"})
      static_cast<CComboBox*>(colours)->AddString(colour);
    CWnd* sizes = GetDlgItem(IDC_SIZE);
    for (const wchar_t* size : {L"Small", L"Large"})
      static_cast<CComboBox*>(sizes)->AddString(size);
    CDialog::OnInitDialog();
    m_grid.InsertColumn(L"Name");
    m_grid.InsertColumn(L"Qty");
    m_grid.InsertColumn(L"Done", GCK_CHECK);
    m_grid.InsertColumn(L"Kind", GCK_COMBO);
    m_grid.InsertColumn(L"Id");
    m_grid.InsertColumn(L"Open", GCK_BUTTON);
    m_grid.SetColumnHidden(kColId);
    m_grid.SetSortable();
    CStringArray kinds;
    kinds.Add(L"Duct");
    kinds.Add(L"Pipe");
    const wchar_t* rows[][4] = {{L"Bolt", L"12", L"1", L"Pipe"}, {L"Anchor", L"3", L"0", L"Duct"}};
    int id = 0;
    for (const auto& values : rows) {
      int row = m_grid.InsertRow(values[0]);
      m_grid.SetItemText(row, kColQty, values[1]);
      m_grid.SetItemText(row, kColDone, values[2]);
      m_grid.SetItemText(row, kColKind, values[3]);
      m_grid.SetItemText(row, kColId, std::to_wstring(++id).c_str());
      m_grid.SetItemText(row, kColOpen, L"...");
      m_grid.SetCellOptions(row, kColKind, kinds);
    }
    // The first row's name is fixed.
    m_grid.SetCellReadOnly(1, kColName);
    return TRUE;
  }

  void OnOK() override {
    if (!UpdateData(TRUE)) return;
    if (m_name.IsEmpty()) {
      MessageBox(L"Please enter a name.", L"Sample", MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    m_rows.clear();
    for (int row = 1; row < m_grid.GetRowCount(); ++row) {
      std::vector<std::wstring> cells;
      for (int column = 0; column < m_grid.GetColumnCount(); ++column)
        cells.push_back(m_grid.GetItemText(row, column).str());
      m_rows.push_back(std::move(cells));
    }
    EndDialog(IDOK);
  }

  void OnAdd() {
    CString name;
    GetDlgItemText(IDC_NAME, name);
    if (name.IsEmpty()) return;
    m_items.SetCurSel(m_items.AddString(name));
    setStatus(L"Added " + name.str());
  }

  void OnNameChange() {
    CString name;
    GetDlgItemText(IDC_NAME, name);
    GetDlgItem(IDC_ADD)->EnableWindow(!name.IsEmpty());
  }

  void OnColour() {
    CString colour;
    m_colourBox.GetWindowText(colour);
    setStatus(L"Colour " + colour.str());
  }

  void OnItem() {
    CString item;
    m_items.GetText(m_items.GetCurSel(), item);
    setStatus(L"Item " + item.str());
  }

  void OnMore() {
    CSampleConfirm confirm(L"Mark as confirmed?");
    m_confirmed = confirm.DoModal() == IDOK;
    setStatus(m_confirmed ? L"Confirmed" : L"Not confirmed");
  }

  void OnGridEndEdit(NMHDR* header, LRESULT* result) {
    auto* cell = reinterpret_cast<NM_GRIDCELL*>(header);
    CString text = m_grid.GetItemText(cell->iRow, cell->iColumn);
    if (cell->iColumn == kColQty) {
      wchar_t* end = nullptr;
      std::wcstol(text, &end, 10);
      if (text.IsEmpty() || *end != L'\0') {
        MessageBox(L"Qty must be a whole number.", L"Sample", MB_OK | MB_ICONEXCLAMATION);
        *result = 1;
        return;
      }
    }
    setStatus(L"Row " + std::to_wstring(cell->iRow) + L" " +
              m_grid.GetItemText(0, cell->iColumn).str() + L" = " + text.str());
  }

  void OnGridButton(NMHDR* header, LRESULT*) {
    auto* cell = reinterpret_cast<NM_GRIDCELL*>(header);
    setStatus(L"Open " + m_grid.GetItemText(cell->iRow, kColName).str());
  }

  void OnGridRow(NMHDR* header, LRESULT*) {
    auto* cell = reinterpret_cast<NM_GRIDCELL*>(header);
    setStatus(L"Row " + std::to_wstring(cell->iRow) + L" selected");
  }

  DECLARE_MESSAGE_MAP()

 private:
  void setStatus(const std::wstring& text) { SetDlgItemText(IDC_STATUS, text.c_str()); }

  CListBox m_items;
  CComboBox m_colourBox;
  CComboBox m_sizeBox;
  CGridControl m_grid;
};

BEGIN_MESSAGE_MAP(CSampleDialog, CDialog)
ON_BN_CLICKED(IDC_ADD, &CSampleDialog::OnAdd)
ON_BN_CLICKED(IDC_MORE, &CSampleDialog::OnMore)
ON_EN_CHANGE(IDC_NAME, &CSampleDialog::OnNameChange)
ON_CBN_SELCHANGE(IDC_COLOUR, &CSampleDialog::OnColour)
ON_LBN_SELCHANGE(IDC_ITEMS, &CSampleDialog::OnItem)
ON_NOTIFY(GCN_ENDEDIT, IDC_GRID, &CSampleDialog::OnGridEndEdit)
ON_NOTIFY(GCN_BUTTONCLICK, IDC_GRID, &CSampleDialog::OnGridButton)
ON_NOTIFY(GCN_SELCHANGED, IDC_GRID, &CSampleDialog::OnGridRow)
END_MESSAGE_MAP()

}  // namespace

std::optional<SampleResult> runSampleDialog(const std::wstring& name) {
  acDocManager->pushResourceHandle(sampleResources());
  std::optional<SampleResult> outcome;
  {
    CSampleDialog dialog(name.c_str());
    if (dialog.DoModal() == IDOK) {
      outcome =
          SampleResult{dialog.m_name.str(),   dialog.m_notes.str(), dialog.m_urgent == BST_CHECKED,
                       dialog.m_colour.str(), dialog.m_size.str(),  dialog.m_item.str(),
                       dialog.m_confirmed,    dialog.m_rows};
    }
  }
  acDocManager->popResourceHandle();
  return outcome;
}

}  // namespace tabrik::ui
