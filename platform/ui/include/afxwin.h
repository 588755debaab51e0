// MFC's windows, dialogs and common controls, as models. A dialog's controls are made
// from its template (resourcedata.h) when DoModal opens it; the member control objects
// a dialog declares (CEdit m_name; ...) attach to them through DDX_Control, and
// GetDlgItem hands out the control by id. Notifications reach the dialog through its
// message map exactly as in MFC (BEGIN_MESSAGE_MAP, ON_BN_CLICKED, ON_NOTIFY, ...).
//
// DoModal hands the opened dialog to the host's driver: a dialog script from the
// answer queue, the terminal in the interactive host, else an immediate cancel. It
// returns IDOK, IDCANCEL or whatever EndDialog was given, and -1 when the current
// resources hold no template with the dialog's id.
#pragma once
#include <memory>
#include <string>

#include "afx.h"
#include "afxstr.h"
#include "resourcedata.h"
#include "windef.h"
#include "winuser.h"

typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

#ifndef LOWORD
#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)(((WORD)(l)) | (((DWORD)(WORD)(h)) << 16)))
#endif

#define WM_NOTIFY 0x004E
#define WM_COMMAND 0x0111

// Window styles.
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_TABSTOP 0x00010000L
#define WS_VSCROLL 0x00200000L
// Static styles.
#define SS_LEFT 0x00000000L
// Edit styles.
#define ES_MULTILINE 0x0004L
#define ES_PASSWORD 0x0020L
#define ES_AUTOHSCROLL 0x0080L
#define ES_READONLY 0x0800L
#define ES_WANTRETURN 0x1000L
#define ES_NUMBER 0x2000L
// Button styles (the low four bits are the type).
#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_CHECKBOX 0x00000002L
#define BS_AUTOCHECKBOX 0x00000003L
#define BS_RADIOBUTTON 0x00000004L
#define BS_AUTORADIOBUTTON 0x00000009L
#define BS_GROUPBOX 0x00000007L
#define BS_TYPEMASK 0x0000000FL
// Combo box styles.
#define CBS_SIMPLE 0x0001L
#define CBS_DROPDOWN 0x0002L
#define CBS_DROPDOWNLIST 0x0003L
#define CBS_SORT 0x0100L
// List box styles.
#define LBS_NOTIFY 0x0001L
#define LBS_SORT 0x0002L

// Notification codes of WM_COMMAND.
#define BN_CLICKED 0
#define BN_DOUBLECLICKED 5
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400
#define CBN_SELCHANGE 1
#define CBN_DBLCLK 2
#define CBN_SETFOCUS 3
#define CBN_KILLFOCUS 4
#define CBN_EDITCHANGE 5
#define CBN_EDITUPDATE 6
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8
#define CBN_SELENDOK 9
#define CBN_SELENDCANCEL 10
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2
#define CN_COMMAND 0

// Results of combo and list box calls.
#define CB_ERR (-1)
#define CB_ERRSPACE (-2)
#define LB_ERR (-1)
#define LB_ERRSPACE (-2)

// Check states.
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002

// ShowWindow.
#define SW_HIDE 0
#define SW_SHOW 5

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

struct RECT {
  LONG left, top, right, bottom;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;

class CRect : public RECT {
 public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

struct NMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};
typedef NMHDR* LPNMHDR;

namespace tabrik::ui {
struct ControlState;
struct DialogState;
}  // namespace tabrik::ui

class CWnd;
class CDialog;

// ---- message maps

class CCmdTarget;
typedef void (CCmdTarget::*AFX_PMSG)();
typedef void (CCmdTarget::*AFX_PNOTIFY)(NMHDR*, LRESULT*);
typedef BOOL (CCmdTarget::*AFX_PNOTIFYEX)(UINT, NMHDR*, LRESULT*);

enum AfxSig : UINT_PTR {
  AfxSig_end = 0,
  AfxSigCmd_v,     // void ()
  AfxSigNotify_v,  // void (NMHDR*, LRESULT*)
  AfxSigNotify_b,  // BOOL (NMHDR*, LRESULT*): TRUE stops the search (ON_NOTIFY_EX)
};

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;
  UINT nID;
  UINT nLastID;
  UINT_PTR nSig;
  // One of the three, as nSig says (kept apart so that no cast hides a wrong signature).
  AFX_PMSG pfn;
  AFX_PNOTIFY pfnNotify;
  AFX_PNOTIFYEX pfnNotifyEx;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                          \
 protected:                                            \
  static const AFX_MSGMAP* PASCAL GetThisMessageMap(); \
  virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() {                          \
    [[maybe_unused]] typedef theClass ThisClass;                                    \
    typedef baseClass TheBaseClass;                                                 \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                       \
  { 0, 0, 0, 0, AfxSig_end, nullptr, nullptr, nullptr }                                         \
  }                                                                                             \
  ;                                                                                             \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                           \
  }

#define ON_COMMAND(id, memberFxn)                                                                 \
  {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSigCmd_v, static_cast<AFX_PMSG>(memberFxn), \
   nullptr,    nullptr},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                   \
  {WM_COMMAND,     CN_COMMAND,  (UINT)(id),                       \
   (UINT)(idLast), AfxSigCmd_v, static_cast<AFX_PMSG>(memberFxn), \
   nullptr,        nullptr},
#define ON_CONTROL(wNotifyCode, id, memberFxn)    \
  {WM_COMMAND,  (UINT)(wNotifyCode),              \
   (UINT)(id),  (UINT)(id),                       \
   AfxSigCmd_v, static_cast<AFX_PMSG>(memberFxn), \
   nullptr,     nullptr},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
  {WM_NOTIFY,                                 \
   (UINT)(wNotifyCode),                       \
   (UINT)(id),                                \
   (UINT)(id),                                \
   AfxSigNotify_v,                            \
   nullptr,                                   \
   static_cast<AFX_PNOTIFY>(memberFxn),       \
   nullptr},
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn) \
  {WM_NOTIFY,      (UINT)(wNotifyCode),          \
   (UINT)(id),     (UINT)(id),                   \
   AfxSigNotify_b, nullptr,                      \
   nullptr,        static_cast<AFX_PNOTIFYEX>(memberFxn)},

class CCmdTarget : public CObject {
 public:
  ~CCmdTarget() override = default;

 protected:
  static const AFX_MSGMAP* PASCAL GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
  // Runs the first handler of the map (derived classes first) for the message;
  // FALSE when none handles it.
  BOOL DispatchMessageMap(UINT message, UINT code, UINT id, NMHDR* header, LRESULT* result);
};

// ---- windows

class CWnd : public CCmdTarget {
 public:
  CWnd() = default;
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // Non-null while the window exists (an opened dialog, an attached control).
  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return GetSafeHwnd(); }

  int GetDlgCtrlID() const;
  CWnd* GetParent() const;

  // Caption of a dialog; text of a static, edit, button or combo box's edit field.
  // Setting an edit's text notifies EN_CHANGE, as on Windows.
  void SetWindowText(LPCTSTR text);
  int GetWindowText(LPTSTR text, int maxCount) const;
  void GetWindowText(CString& text) const;
  int GetWindowTextLength() const;

  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  BOOL ShowWindow(int command);
  BOOL IsWindowVisible() const;
  CWnd* SetFocus();
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // Placement in screen pixels (dialogs; controls report their template's box).
  void GetWindowRect(LPRECT rect) const;
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);

  // A message box owned by this window.
  int MessageBox(LPCTSTR text, LPCTSTR caption = nullptr, UINT type = MB_OK);

  // The dialog's items.
  CWnd* GetDlgItem(int id) const;
  void SetDlgItemText(int id, LPCTSTR text);
  int GetDlgItemText(int id, CString& text) const;
  void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
  UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const;
  void CheckDlgButton(int id, UINT check);
  UINT IsDlgButtonChecked(int id) const;
  void GotoDlgCtrl(CWnd* control);

  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  // The runtime's side of the window (controls only; null for dialogs and detached
  // objects).
  tabrik::ui::ControlState* controlState() const { return m_control; }
  void attachControl(tabrik::ui::ControlState* control);
  void detachControl();

 protected:
  virtual void DoDataExchange(class CDataExchange* pDX) {}
  // The dialog that owns this window (itself for a dialog).
  virtual CDialog* owningDialog() const;

  tabrik::ui::ControlState* m_control = nullptr;
};

class CStatic : public CWnd {};

class CButton : public CWnd {
 public:
  // BST_CHECKED or BST_UNCHECKED (check boxes and radio buttons).
  int GetCheck() const;
  void SetCheck(int check);
};

class CEdit : public CWnd {
 public:
  BOOL SetReadOnly(BOOL readOnly = TRUE);
  void LimitText(int maxChars = 0);
  void SetLimitText(UINT maxChars) { LimitText(static_cast<int>(maxChars)); }
  UINT GetLimitText() const;
  void SetSel(int start, int end, BOOL noScroll = FALSE);
  void ReplaceSel(LPCTSTR text, BOOL canUndo = FALSE);
  int GetLineCount() const;
};

// Items of combo and list boxes share one shape.
class CComboBox : public CWnd {
 public:
  int AddString(LPCTSTR text);
  int InsertString(int index, LPCTSTR text);
  int DeleteString(UINT index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int select);
  int GetLBText(int index, LPTSTR text) const;
  void GetLBText(int index, CString& text) const;
  int GetLBTextLen(int index) const;
  int FindString(int startAfter, LPCTSTR text) const;
  int FindStringExact(int startAfter, LPCTSTR text) const;
  int SelectString(int startAfter, LPCTSTR text);
  int SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
  int SetDroppedWidth(UINT width) { return static_cast<int>(width); }
  int SetMinVisibleItems(int count) { return TRUE; }
  int LimitText(int maxChars) { return TRUE; }
};

class CListBox : public CWnd {
 public:
  int AddString(LPCTSTR text);
  int InsertString(int index, LPCTSTR text);
  int DeleteString(UINT index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int select);
  int GetText(int index, LPTSTR text) const;
  void GetText(int index, CString& text) const;
  int GetTextLen(int index) const;
  int FindString(int startAfter, LPCTSTR text) const;
  int FindStringExact(int startAfter, LPCTSTR text) const;
  int SelectString(int startAfter, LPCTSTR text);
  int SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
};

// ---- dialog data exchange

// Thrown by CDataExchange::Fail: UpdateData catches it and returns FALSE.
class CUserException : public CException {
 public:
  BOOL GetErrorMessage(LPTSTR error, UINT maxError, PUINT helpContext = nullptr) const override;
};

class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate)
      : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  // The control a DDX call works on; Fail() after a validation message.
  HWND PrepareCtrl(int id);
  HWND PrepareEditCtrl(int id) { return PrepareCtrl(id); }
  [[noreturn]] void Fail();
  int m_idLastControl = 0;
};

// Attaches a member control to the dialog's control with that id (once).
void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Numbers: "Please enter an integer." / "Please enter a number." and Fail on bad text.
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void AFXAPI DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
// "Enter no more than %d characters." and Fail when the text is longer.
void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
// "Enter an integer between %d and %d." and Fail outside the range.
void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);

// ---- dialogs

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  virtual INT_PTR DoModal();
  // Ends the modal run with that result once the current handler returns.
  void EndDialog(int nResult);

  UINT GetTemplateId() const { return m_nIDTemplate; }
  // The name under which the host keeps the placement ("nv_tabrik:..."); empty for
  // none. Host-styled dialogs (acui.h) set it.
  const std::wstring& dialogName() const { return m_dialogName; }
  // The runtime's side of an open dialog (null when not open).
  tabrik::ui::DialogState* dialogState() const { return m_state.get(); }

 protected:
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  CDialog* owningDialog() const override { return const_cast<CDialog*>(this); }

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
  std::wstring m_dialogName;

  DECLARE_MESSAGE_MAP()

 private:
  friend struct tabrik::ui::DialogState;
  std::unique_ptr<tabrik::ui::DialogState> m_state;
};

// The MFC application object's window (the host's main window here).
CWnd* AfxGetMainWnd();
