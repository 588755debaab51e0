// The dialog runtime beneath the scripts: templates found in the current resources
// only, message maps, data exchange and its validation messages, the items of combo
// and list boxes, the owner window and the placement store.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <filesystem>
#include <string>
#include <vector>

#include "WinUserTesting.h"
#include "acdocman.h"
#include "afxwin.h"
#include "resourcedata.h"
#include "tabrik/DialogDriver.h"
#include "winreg.h"

namespace fs = std::filesystem;

namespace {

enum : UINT {
  IDD_PROBE = 10,
  IDC_COUNT = 200,
  IDC_GO = 201,
  IDC_RANGE_FIRST = 210,
  IDC_RANGE_LAST = 212,
  IDC_KINDS = 220,
  IDC_NAMES = 221,
};

HINSTANCE__ g_resources{
    L"tests",
    {DLGTEMPLATE_DATA{IDD_PROBE,
                      L"IDD_PROBE",
                      L"Probe",
                      100,
                      50,
                      {
                          {L"STATIC", (UINT)IDC_STATIC, L"&Count:", 0},
                          {L"EDIT", IDC_COUNT, L"", 0},
                          {L"BUTTON", IDC_GO, L"&Go", BS_PUSHBUTTON},
                          {L"BUTTON", IDC_RANGE_FIRST, L"A", BS_PUSHBUTTON},
                          {L"BUTTON", IDC_RANGE_LAST, L"C", BS_PUSHBUTTON},
                          {L"COMBOBOX", IDC_KINDS, L"", CBS_DROPDOWN | CBS_SORT},
                          {L"LISTBOX", IDC_NAMES, L"", 0},
                          {L"BUTTON", IDOK, L"OK", BS_DEFPUSHBUTTON},
                          {L"BUTTON", IDCANCEL, L"Cancel", 0},
                      }}}};

// A dialog that runs a test body from OnInitDialog, while it is open, and records
// what its handlers heard.
class CProbeDialog : public CDialog {
 public:
  explicit CProbeDialog(std::function<void(CProbeDialog&)> body, UINT idd = IDD_PROBE)
      : CDialog(idd), m_body(std::move(body)) {}

  int m_count = 5;
  std::vector<std::wstring> heard;
  bool initialised = false;

  using CDialog::OnCommand;
  using CDialog::OnNotify;
  void setName(const wchar_t* name) { m_dialogName = name; }
  void end(int result) { EndDialog(result); }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_COUNT, m_count);
    DDV_MinMaxInt(pDX, m_count, 0, 100);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    initialised = true;
    if (m_body) m_body(*this);
    return TRUE;
  }
  void OnOK() override {
    heard.push_back(L"ok");
    CDialog::OnOK();
  }
  void OnGo() { heard.push_back(L"go"); }
  void OnRange() { heard.push_back(L"range"); }
  void OnCountChange() { heard.push_back(L"change"); }
  BOOL OnNotifyFirst(UINT id, NMHDR*, LRESULT* result) {
    heard.push_back(L"first");
    *result = 7;
    return FALSE;  // let the next handler run too
  }
  void OnNotifySecond(NMHDR* header, LRESULT* result) {
    heard.push_back(L"second " + std::to_wstring(header->code));
  }

  DECLARE_MESSAGE_MAP()

 private:
  std::function<void(CProbeDialog&)> m_body;
};

BEGIN_MESSAGE_MAP(CProbeDialog, CDialog)
ON_BN_CLICKED(IDC_GO, &CProbeDialog::OnGo)
ON_COMMAND_RANGE(IDC_RANGE_FIRST, IDC_RANGE_LAST, &CProbeDialog::OnRange)
ON_EN_CHANGE(IDC_COUNT, &CProbeDialog::OnCountChange)
ON_NOTIFY_EX(42, IDC_NAMES, &CProbeDialog::OnNotifyFirst)
ON_NOTIFY(42, IDC_NAMES, &CProbeDialog::OnNotifySecond)
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_registry =
        fs::temp_directory_path() / ("tabrik-ui-" + std::to_string(::getpid())) / "registry";
    fs::remove_all(m_registry.parent_path());
    setenv("TABRIK_REGISTRY", m_registry.c_str(), 1);
    tabrik::win::testing::resetWindows();
    m_boxes.clear();
    tabrik::win::testing::setMessageBoxHandler(
        [this](const tabrik::win::testing::MessageBoxRequest& box) {
          m_boxes.push_back(box.text);
          return IDOK;
        });
    acDocManager->pushResourceHandle(&g_resources);
  }
  void TearDown() override {
    acDocManager->popResourceHandle();
    tabrik::win::testing::setMessageBoxHandler(nullptr);
    unsetenv("TABRIK_REGISTRY");
    std::error_code ignored;
    fs::remove_all(m_registry.parent_path(), ignored);
  }

  fs::path m_registry;
  std::vector<std::wstring> m_boxes;
};

TEST_F(DialogTest, ATemplateOutsideTheCurrentResourcesIsNotCreated) {
  CProbeDialog missing(nullptr, 999);
  EXPECT_EQ(missing.DoModal(), -1);
  EXPECT_FALSE(missing.initialised);

  // Found only while the resources that hold it are current; pops restore in order.
  HINSTANCE__ other{L"other", {}};
  acDocManager->pushResourceHandle(&other);
  CProbeDialog hidden(nullptr);
  EXPECT_EQ(hidden.DoModal(), -1);
  acDocManager->popResourceHandle();
  EXPECT_EQ(AfxGetResourceHandle(), &g_resources);
  CProbeDialog found(nullptr);
  // With no script and no terminal the dialog opens and is cancelled.
  EXPECT_EQ(found.DoModal(), IDCANCEL);
  EXPECT_TRUE(found.initialised);
}

TEST_F(DialogTest, MessagesReachTheMostDerivedHandler) {
  std::vector<std::wstring> heard;
  CProbeDialog dialog([&](CProbeDialog& self) {
    self.heard.clear();  // what OnInitDialog's exchange sent
    struct Case {
      UINT id;
      UINT code;
      bool handled;
    };
    const Case cases[] = {
        {IDC_GO, BN_CLICKED, true},
        {IDC_GO, BN_DOUBLECLICKED, false},
        {IDC_RANGE_FIRST + 1, BN_CLICKED, true},
        {IDC_RANGE_LAST + 1, BN_CLICKED, false},
        {IDC_COUNT, EN_CHANGE, true},
    };
    for (const Case& c : cases)
      EXPECT_EQ(self.OnCommand(MAKEWPARAM(c.id, c.code), 0) != FALSE, c.handled) << c.id;
    NMHDR header{nullptr, IDC_NAMES, 42};
    LRESULT result = 0;
    EXPECT_TRUE(self.OnNotify(IDC_NAMES, reinterpret_cast<LPARAM>(&header), &result));
    EXPECT_EQ(result, 7);
    // IDOK reaches the override, which ends through CDialog::OnOK.
    self.OnCommand(MAKEWPARAM(IDOK, BN_CLICKED), 0);
    heard = self.heard;
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(heard,
            (std::vector<std::wstring>{L"go", L"range", L"change", L"first", L"second 42", L"ok"}));
}

TEST_F(DialogTest, DataExchangeValidatesWithMfcMessages) {
  struct Case {
    const wchar_t* typed;
    bool accepted;
    int value;
    const wchar_t* message;
  };
  const Case cases[] = {
      {L"12", true, 12, nullptr},
      {L" 7 ", true, 7, nullptr},
      {L"-0", true, 0, nullptr},
      {L"x", false, 5, L"Please enter an integer."},
      {L"", false, 5, L"Please enter an integer."},
      {L"99999999999", false, 5, L"Please enter an integer."},
      {L"101", false, 101, L"Enter an integer between 0 and 100."},
  };
  for (const Case& c : cases) {
    m_boxes.clear();
    BOOL accepted = FALSE;
    CProbeDialog dialog([&](CProbeDialog& self) {
      EXPECT_EQ(self.GetDlgItemInt(IDC_COUNT), 5u);  // the member went out on init
      self.SetDlgItemText(IDC_COUNT, c.typed);
      accepted = self.UpdateData(TRUE);
      self.end(IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_EQ(accepted != FALSE, c.accepted) << c.typed;
    EXPECT_EQ(dialog.m_count, c.value) << c.typed;
    if (c.message) {
      ASSERT_EQ(m_boxes.size(), 1u) << c.typed;
      EXPECT_EQ(m_boxes[0], c.message);
    } else {
      EXPECT_TRUE(m_boxes.empty()) << c.typed;
    }
  }
}

TEST_F(DialogTest, ComboAndListItemsBehaveAsTheWindowsControls) {
  CProbeDialog dialog([](CProbeDialog& self) {
    auto* kinds = static_cast<CComboBox*>(self.GetDlgItem(IDC_KINDS));
    auto* names = static_cast<CListBox*>(self.GetDlgItem(IDC_NAMES));
    ASSERT_NE(kinds, nullptr);
    ASSERT_NE(names, nullptr);
    // A sorted combo places each item by its text, ignoring case.
    for (const wchar_t* kind : {L"pipe", L"Duct", L"conduit", L"Pipe rack"}) kinds->AddString(kind);
    std::vector<std::wstring> order;
    for (int i = 0; i < kinds->GetCount(); ++i) {
      CString text;
      kinds->GetLBText(i, text);
      order.push_back(text.str());
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"conduit", L"Duct", L"pipe", L"Pipe rack"}));

    for (const wchar_t* name : {L"Alpha", L"beta", L"Alphabet", L"Gamma"}) names->AddString(name);
    struct Find {
      int after;
      const wchar_t* text;
      bool exact;
      int index;
    };
    const Find finds[] = {
        {-1, L"alpha", false, 0},  {0, L"alpha", false, 2},    {2, L"alpha", false, 0},  // wraps
        {-1, L"alphab", true, -1}, {-1, L"ALPHABET", true, 2}, {-1, L"delta", false, -1},
        {99, L"gam", false, 3},
    };
    for (const Find& f : finds) {
      int index =
          f.exact ? names->FindStringExact(f.after, f.text) : names->FindString(f.after, f.text);
      EXPECT_EQ(index, f.index) << "after " << f.after;
    }
    // Deleting before the selection moves it; deleting it clears it.
    names->SetCurSel(2);
    names->SetItemData(2, 77);
    names->DeleteString(0);
    EXPECT_EQ(names->GetCurSel(), 1);
    EXPECT_EQ(names->GetItemData(1), 77u);
    names->DeleteString(1);
    EXPECT_EQ(names->GetCurSel(), LB_ERR);
    EXPECT_EQ(names->DeleteString(10), LB_ERR);
    // A combo's selection shows its item; typed text selects nothing.
    kinds->SetCurSel(1);
    CString shown;
    kinds->GetWindowText(shown);
    EXPECT_EQ(shown.str(), L"Duct");
    kinds->SetWindowText(L"Duct");
    EXPECT_EQ(kinds->GetCurSel(), CB_ERR);
    self.end(IDCANCEL);
  });
  dialog.DoModal();
}

TEST_F(DialogTest, TheOwnerIsDisabledWhileTheDialogRuns) {
  HWND main = tabrik::win::testing::hostMainWindow();
  BOOL enabledInside = TRUE;
  CProbeDialog dialog([&](CProbeDialog& self) {
    enabledInside = IsWindowEnabled(main);
    self.end(IDOK);
  });
  dialog.DoModal();
  EXPECT_FALSE(enabledInside);
  EXPECT_TRUE(IsWindowEnabled(main));
  // An owner disabled before the run stays disabled after it.
  EnableWindow(main, FALSE);
  CProbeDialog again([](CProbeDialog& self) { self.end(IDOK); });
  again.DoModal();
  EXPECT_FALSE(IsWindowEnabled(main));
}

TEST_F(DialogTest, ANamedDialogComesBackWhereItWasLeft) {
  RECT first{};
  CProbeDialog dialog([&](CProbeDialog& self) {
    self.GetWindowRect(&first);
    self.MoveWindow(10, 20, 300, 400);
    self.end(IDOK);
  });
  dialog.setName(L"nv_tabrik:Probe");
  dialog.DoModal();
  // The first run is centred on the screen, at the template's size.
  EXPECT_EQ(first.right - first.left, 200);
  EXPECT_EQ(first.left, (GetSystemMetrics(SM_CXSCREEN) - 200) / 2);

  RECT second{};
  CProbeDialog reopened([&](CProbeDialog& self) {
    self.GetWindowRect(&second);
    self.end(IDOK);
  });
  reopened.setName(L"nv_tabrik:Probe");
  reopened.DoModal();
  EXPECT_EQ(second.left, 10);
  EXPECT_EQ(second.top, 20);
  EXPECT_EQ(second.right, 310);
  EXPECT_EQ(second.bottom, 420);

  // An unnamed dialog keeps nothing.
  RECT unnamed{};
  CProbeDialog plain([&](CProbeDialog& self) {
    self.GetWindowRect(&unnamed);
    self.end(IDOK);
  });
  plain.DoModal();
  EXPECT_EQ(unnamed.left, first.left);
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tabrik\\Dialogs\\nv_tabrik:Probe", 0,
                          KEY_READ, &key),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(DialogTest, MemberControlsDetachWhenTheDialogCloses) {
  CEdit member;
  CProbeDialog dialog([&](CProbeDialog& self) {
    CDataExchange exchange(&self, FALSE);
    DDX_Control(&exchange, IDC_COUNT, member);
    EXPECT_EQ(self.GetDlgItem(IDC_COUNT), &member);
    member.SetWindowText(L"42");
    self.end(IDOK);
  });
  dialog.DoModal();
  EXPECT_EQ(dialog.m_count, 5);  // ended without OnOK: no exchange back
  EXPECT_EQ(member.GetSafeHwnd(), nullptr);
  CString text;
  member.GetWindowText(text);
  EXPECT_TRUE(text.IsEmpty());
}

}  // namespace
