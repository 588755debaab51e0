// The support family's dialog templates, as the resource compiler would keep them; they
// join the module's resources (ModuleResources.cpp).
#include "resources/SupportDialogs.h"

#include <afxwin.h>
#include <gridcontrol.h>
#include <resourcedata.h>

namespace tabrik::arx {

std::vector<DLGTEMPLATE_DATA> supportDialogTemplates() {
  return {
      {IDD_SUBMITBUG,
       L"IDD_SUBMITBUG",
       L"Send Bug to Norvane Support",
       300,
       250,
       {
           {L"STATIC", (UINT)IDC_STATIC, L"To:", 0, 7, 7, 70, 10},
           {L"STATIC", IDC_SB_TO, L"", 0, 80, 7, 210, 10},
           {L"STATIC", (UINT)IDC_STATIC, L"&Name:", 0, 7, 22, 70, 10},
           {L"EDIT", IDC_SB_NAME, L"", ES_AUTOHSCROLL | WS_TABSTOP, 80, 20, 210, 12},
           {L"STATIC", (UINT)IDC_STATIC, L"&Email Address (required):", 0, 7, 38, 70, 10},
           {L"EDIT", IDC_SB_EMAIL, L"", ES_AUTOHSCROLL | WS_TABSTOP, 80, 36, 210, 12},
           {L"STATIC", (UINT)IDC_STATIC, L"&Re-enter Email Address:", 0, 7, 54, 70, 10},
           {L"EDIT", IDC_SB_EMAIL2, L"", ES_AUTOHSCROLL | WS_TABSTOP, 80, 52, 210, 12},
           {L"STATIC", (UINT)IDC_STATIC, L"&Phone Number:", 0, 7, 70, 70, 10},
           {L"EDIT", IDC_SB_PHONE, L"", ES_AUTOHSCROLL | WS_TABSTOP, 80, 68, 210, 12},
           {L"STATIC", (UINT)IDC_STATIC, L"Additional &Information:", 0, 7, 86, 120, 10},
           {L"EDIT", IDC_SB_INFO, L"", ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP, 7,
            98, 283, 80},
           {L"BUTTON", IDC_SB_ATTACH, L"&Attachments. . .", BS_PUSHBUTTON | WS_TABSTOP, 7, 184, 70,
            14},
           {L"STATIC", IDC_SB_COUNT, L"", 0, 82, 187, 80, 10},
           {L"BUTTON", IDC_SB_DESKTOP, L"&Save to desktop (check if sending fails or crashes)",
            BS_AUTOCHECKBOX | WS_TABSTOP, 7, 204, 283, 10},
           {L"STATIC", IDC_SB_STATUS, L"", 0, 7, 218, 160, 10},
           {L"BUTTON", IDOK, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 185, 230, 50, 14},
           {L"BUTTON", IDCANCEL, L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 240, 230, 50, 14},
       }},
      {IDD_ATTACHMENTS,
       L"IDD_ATTACHMENTS",
       L"Norvane Attachments",
       260,
       130,
       {
           {L"STATIC", (UINT)IDC_STATIC, L"&Files:", 0, 7, 7, 60, 10},
           {L"LISTBOX", IDC_AT_LIST, L"", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, 7, 19, 190, 100},
           {L"BUTTON", IDC_AT_ADD, L"&Add", BS_PUSHBUTTON | WS_TABSTOP, 203, 19, 50, 14},
           {L"BUTTON", IDC_AT_REMOVE, L"&Remove", BS_PUSHBUTTON | WS_TABSTOP, 203, 37, 50, 14},
           {L"BUTTON", IDOK, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 203, 87, 50, 14},
           {L"BUTTON", IDCANCEL, L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 203, 105, 50, 14},
       }},
      {IDD_USEROPTIONS,
       L"IDD_USEROPTIONS",
       L"Norvane User Settings",
       320,
       220,
       {
           {GRIDCONTROL_CLASS, IDC_UO_GRID, L"", WS_TABSTOP, 7, 7, 306, 185},
           {L"BUTTON", IDOK, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 208, 199, 50, 14},
           {L"BUTTON", IDCANCEL, L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 263, 199, 50, 14},
       }},
      {IDD_EDITMULTILINETEXT,
       L"IDD_EDITMULTILINETEXT",
       L"Edit Text",
       250,
       150,
       {
           {L"STATIC", (UINT)IDC_STATIC, L"&Text:", 0, 7, 7, 60, 10},
           {L"EDIT", IDC_ET_TEXT, L"",
            ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 7, 19, 236,
            104},
           {L"BUTTON", IDOK, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 70, 129, 50, 14},
           {L"BUTTON", IDCANCEL, L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 130, 129, 50, 14},
       }},
      {IDD_SAFECONTINUE,
       L"IDD_SAFECONTINUE",
       L"Safe Remove",
       220,
       80,
       {
           {L"STATIC", IDC_SC_MESSAGE, L"", 0, 7, 7, 206, 20},
           {L"STATIC", (UINT)IDC_STATIC, L"&Confirm:", 0, 7, 35, 40, 10},
           {L"EDIT", IDC_SC_WORD, L"", ES_AUTOHSCROLL | WS_TABSTOP, 50, 33, 163, 12},
           {L"BUTTON", IDOK, L"OK", BS_DEFPUSHBUTTON | WS_DISABLED | WS_TABSTOP, 105, 59, 50, 14},
           {L"BUTTON", IDCANCEL, L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 163, 59, 50, 14},
       }},
  };
}

}  // namespace tabrik::arx
