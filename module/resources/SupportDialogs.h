// Dialog templates of the support family (the support report and its attachment list,
// the user options, the multi-line text editor, the typed-word confirmation), with the
// ids of their controls.
#pragma once

#include <resourcedata.h>

#include <vector>

namespace tabrik::arx {

enum SupportDialogIds : unsigned {
  IDD_SUBMITBUG = 2100,
  IDD_ATTACHMENTS = 2101,
  IDD_USEROPTIONS = 2102,
  IDD_EDITMULTILINETEXT = 2103,
  IDD_SAFECONTINUE = 2104,

  IDC_SB_TO = 2200,
  IDC_SB_NAME = 2201,
  IDC_SB_EMAIL = 2202,
  IDC_SB_EMAIL2 = 2203,
  IDC_SB_PHONE = 2204,
  IDC_SB_INFO = 2205,
  IDC_SB_ATTACH = 2206,
  IDC_SB_COUNT = 2207,
  IDC_SB_DESKTOP = 2208,
  IDC_SB_STATUS = 2209,

  IDC_AT_LIST = 2220,
  IDC_AT_ADD = 2221,
  IDC_AT_REMOVE = 2222,

  IDC_UO_GRID = 2240,

  IDC_ET_TEXT = 2260,

  IDC_SC_MESSAGE = 2280,
  IDC_SC_WORD = 2281,
};

// The templates, for the module's resources.
std::vector<DLGTEMPLATE_DATA> supportDialogTemplates();

}  // namespace tabrik::arx
