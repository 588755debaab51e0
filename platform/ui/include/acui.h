// The host's styled dialogs: a CDialog that carries a dialog name, under which the
// host keeps its placement and size between runs ("nv_tabrik:LayerCustomization").
#pragma once
#include "afxwin.h"

class CAdUiBaseDialog : public CDialog {
 public:
  explicit CAdUiBaseDialog(UINT idd, CWnd* parent = nullptr, HINSTANCE hDialogResource = nullptr)
      : CDialog(idd, parent) {}
  void SetDialogName(LPCTSTR name) { m_dialogName = name ? name : L""; }
  LPCTSTR GetDialogName() const { return m_dialogName.c_str(); }
};

class CAdUiDialog : public CAdUiBaseDialog {
 public:
  using CAdUiBaseDialog::CAdUiBaseDialog;
};

class CAcUiDialog : public CAdUiDialog {
 public:
  using CAdUiDialog::CAdUiDialog;
};
