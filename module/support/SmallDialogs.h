// The two small dialogs that LISP code uses directly: CEditMultilineText, a multi-line
// text editor, and CSafeContinue, a confirmation in which the user must type a given
// word before OK is enabled.
#pragma once
#include <string>

#include <acui.h>
#include <afxwin.h>

namespace tabrik::arx {

class CEditMultilineText : public CAcUiDialog {
 public:
  CEditMultilineText(const std::wstring& text, const std::wstring& title, CWnd* parent);
  // The edited text with single line feeds; valid after OK.
  const std::wstring& text() const { return m_text; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override;

 private:
  CEdit m_edit;
  std::wstring m_text;
  std::wstring m_title;
};

class CSafeContinue : public CDialog {
 public:
  CSafeContinue(const std::wstring& title, const std::wstring& message, const std::wstring& word,
                CWnd* parent);
  bool confirmed() const { return m_confirmed; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnChangeWord();

 private:
  CEdit m_word;
  std::wstring m_title;
  std::wstring m_message;
  std::wstring m_expected;
  bool m_confirmed = false;

  DECLARE_MESSAGE_MAP()
};

}  // namespace tabrik::arx
