#include "standards/StandardsTemplates.h"

#include <afxwin.h>
#include <gridcontrol.h>

#include "standards/StandardsResources.h"

namespace tabrik::arx::standards {
namespace {

constexpr UINT kStatic = static_cast<UINT>(IDC_STATIC);

DLGITEM_DATA label(const wchar_t* text, int x, int y, int cx) {
  return {L"STATIC", kStatic, text, SS_LEFT, x, y, cx, 10};
}
DLGITEM_DATA edit(UINT id, int x, int y, int cx) {
  return {L"EDIT", id, L"", ES_AUTOHSCROLL | WS_TABSTOP, x, y, cx, 12};
}
DLGITEM_DATA button(UINT id, const wchar_t* text, int x, int y, int cx = 60) {
  return {L"BUTTON", id, text, BS_PUSHBUTTON | WS_TABSTOP, x, y, cx, 14};
}
DLGITEM_DATA check(UINT id, const wchar_t* text, int x, int y, int cx) {
  return {L"BUTTON", id, text, BS_AUTOCHECKBOX | WS_TABSTOP, x, y, cx, 10};
}
DLGITEM_DATA grid(UINT id, int x, int y, int cx, int cy) {
  return {GRIDCONTROL_CLASS, id, L"", WS_TABSTOP, x, y, cx, cy};
}
DLGITEM_DATA ok(int x, int y) {
  return {L"BUTTON", IDOK, L"&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, x, y, 50, 14};
}
DLGITEM_DATA cancel(int x, int y) { return button(IDCANCEL, L"&Cancel", x, y, 50); }

}  // namespace

std::vector<DLGTEMPLATE_DATA> standardsDialogTemplates() {
  return {
      DLGTEMPLATE_DATA{IDD_LAYER_CUSTOMIZATION,
                       L"IDD_LAYER_CUSTOMIZATION",
                       L"Layers",
                       531,
                       436,
                       {
                           grid(IDC_LC_SYSTEMS_GRID, 7, 7, 180, 150),
                           button(IDC_LC_MOVE_UP, L"Move &Up", 7, 160),
                           button(IDC_LC_MOVE_DOWN, L"Move Do&wn", 70, 160),
                           button(IDC_LC_NEW_SYSTEM, L"New &System", 7, 178),
                           button(IDC_LC_EDIT_SYSTEM, L"&Edit System", 70, 178),
                           button(IDC_LC_DELETE_SYSTEM, L"D&elete System", 133, 178),
                           grid(IDC_LC_KEYS_GRID, 195, 7, 329, 150),
                           button(IDC_LC_IMPORT, L"&Import Layers from Excel", 195, 160, 100),
                           button(IDC_LC_EXPORT, L"E&xport Layers to Excel", 298, 160, 100),
                           button(IDC_LC_UNDO_KEYS, L"Undo Layer &Key Changes", 401, 160, 100),
                           grid(IDC_LC_LAYERS_GRID, 7, 200, 517, 190),
                           button(IDC_LC_DELETE_UNUSED, L"Delete &All Unused Layers", 7, 394, 100),
                           button(IDC_LC_NEW_LAYER, L"&New Layer", 110, 394),
                           button(IDC_LC_DELETE_LAYER, L"&Delete Layer", 173, 394),
                           button(IDC_LC_UNDO_LAYERS, L"&Undo Layer Changes", 236, 394, 80),
                           ok(418, 415),
                           cancel(474, 415),
                       }},
      DLGTEMPLATE_DATA{IDD_NEW_LAYER_SYSTEM,
                       L"IDD_NEW_LAYER_SYSTEM",
                       L"New Layer System",
                       200,
                       130,
                       {
                           label(L"New Layer System Name:", 7, 7, 186),
                           edit(IDC_NLS_NAME, 7, 19, 186),
                           label(L"Copy Layers from This System:", 7, 37, 186),
                           {L"LISTBOX", IDC_NLS_SOURCE, L"", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP,
                            7, 49, 186, 55},
                           ok(87, 109),
                           cancel(143, 109),
                       }},
      DLGTEMPLATE_DATA{IDD_ACAD_LINETYPE,
                       L"IDD_ACAD_LINETYPE",
                       L"Select Linetype",
                       260,
                       170,
                       {
                           grid(IDC_ALT_GRID, 7, 7, 246, 135),
                           ok(147, 149),
                           cancel(203, 149),
                       }},
      DLGTEMPLATE_DATA{IDD_LAYER_SYSTEM_OPTIONS_ELEC,
                       L"IDD_LAYER_SYSTEM_OPTIONS_ELEC",
                       L"Layer System Options",
                       266,
                       62,
                       {
                           label(L"Layer System:", 7, 9, 55),
                           edit(IDC_LSO_NAME, 65, 7, 194),
                           check(IDC_LSO_SOLID, L"Conduits and Cable Trays are solid", 7, 25, 194),
                           ok(153, 41),
                           cancel(209, 41),
                       }},
      DLGTEMPLATE_DATA{IDD_LAYER_SYSTEM_OPTIONS_HVAC,
                       L"IDD_LAYER_SYSTEM_OPTIONS_HVAC",
                       L"Layer System Options",
                       255,
                       233,
                       {
                           label(L"Layer System:", 7, 9, 55),
                           edit(IDC_LSO_NAME, 65, 7, 183),
                           check(IDC_LSO_SOLID, L"Ducts are solid", 7, 25, 120),
                           label(L"Label Prefix:", 7, 41, 55),
                           edit(IDC_LSO_PREFIX, 65, 39, 60),
                           label(L"Label Suffix:", 130, 41, 50),
                           edit(IDC_LSO_SUFFIX, 183, 39, 65),
                           label(L"Hatch Settings:", 7, 57, 80),
                           grid(IDC_LSO_HATCH_GRID, 7, 69, 241, 100),
                           check(IDC_LSO_HATCH_FLEX, L"Hatch Flex Ductwork", 7, 175, 100),
                           label(L"Hatch Overhang:", 7, 191, 60),
                           edit(IDC_LSO_OVERHANG, 70, 189, 60),
                           ok(142, 212),
                           cancel(198, 212),
                       }},
      DLGTEMPLATE_DATA{IDD_LAYER_SYSTEM_OPTIONS_PLUMB,
                       L"IDD_LAYER_SYSTEM_OPTIONS_PLUMB",
                       L"Layer System Options",
                       266,
                       49,
                       {
                           label(L"Layer System:", 7, 9, 55),
                           edit(IDC_LSO_NAME, 65, 7, 194),
                           ok(153, 28),
                           cancel(209, 28),
                       }},
      DLGTEMPLATE_DATA{IDD_TEXT_STYLE_CUSTOMIZATION,
                       L"IDD_TEXT_STYLE_CUSTOMIZATION",
                       L"Text Styles",
                       300,
                       200,
                       {
                           label(L"Values left blank will use the default.", 7, 7, 286),
                           grid(IDC_TS_GRID, 7, 20, 286, 155),
                           ok(187, 180),
                           cancel(243, 180),
                       }},
      DLGTEMPLATE_DATA{IDD_LABEL_ORDER_CUSTOMIZATION,
                       L"IDD_LABEL_ORDER_CUSTOMIZATION",
                       L"Label Order",
                       320,
                       200,
                       {
                           button(IDC_LO_MOVE_UP, L"Move &Up", 7, 7),
                           button(IDC_LO_MOVE_DOWN, L"Move &Down", 70, 7),
                           grid(IDC_LO_GRID, 7, 25, 306, 150),
                           ok(207, 180),
                           cancel(263, 180),
                       }},
  };
}

}  // namespace tabrik::arx::standards
