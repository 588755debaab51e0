// The resource ids of the standards dialogs' templates and controls
// (StandardsTemplates.cpp holds the templates themselves).
#pragma once
#include <windef.h>

namespace tabrik::arx::standards {

enum : UINT {
  IDD_LAYER_CUSTOMIZATION = 5200,
  IDD_NEW_LAYER_SYSTEM = 5201,
  IDD_ACAD_LINETYPE = 5202,
  IDD_LAYER_SYSTEM_OPTIONS_ELEC = 5300,
  IDD_LAYER_SYSTEM_OPTIONS_HVAC = 5301,
  IDD_LAYER_SYSTEM_OPTIONS_PLUMB = 5302,
  IDD_TEXT_STYLE_CUSTOMIZATION = 5400,
  IDD_LABEL_ORDER_CUSTOMIZATION = 5401,

  // Layer customization.
  IDC_LC_MOVE_UP = 5210,
  IDC_LC_MOVE_DOWN,
  IDC_LC_NEW_SYSTEM,
  IDC_LC_EDIT_SYSTEM,
  IDC_LC_DELETE_SYSTEM,
  IDC_LC_IMPORT,
  IDC_LC_EXPORT,
  IDC_LC_UNDO_KEYS,
  IDC_LC_DELETE_UNUSED,
  IDC_LC_NEW_LAYER,
  IDC_LC_DELETE_LAYER,
  IDC_LC_UNDO_LAYERS,
  IDC_LC_SYSTEMS_GRID,
  IDC_LC_KEYS_GRID,
  IDC_LC_LAYERS_GRID,
  // New layer system.
  IDC_NLS_NAME = 5240,
  IDC_NLS_SOURCE,
  // Linetype picker.
  IDC_ALT_GRID = 5250,
  // Layer system options.
  IDC_LSO_NAME = 5310,
  IDC_LSO_SOLID,
  IDC_LSO_PREFIX,
  IDC_LSO_SUFFIX,
  IDC_LSO_HATCH_GRID,
  IDC_LSO_HATCH_FLEX,
  IDC_LSO_OVERHANG,
  // Text styles and label order.
  IDC_TS_GRID = 5410,
  IDC_LO_MOVE_UP = 5420,
  IDC_LO_MOVE_DOWN,
  IDC_LO_GRID,
};

}  // namespace tabrik::arx::standards
