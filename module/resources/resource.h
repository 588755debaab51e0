// Ids of the module's dialog templates and their controls (the .rc file's symbols).
// Each dialog family keeps its own range: host 100-199 and 1000-1999, support
// 2100-2299 (SupportDialogs.h), standards 5200-5499 (standards/StandardsResources.h).
#pragma once

#define IDD_XFOLDERDIALOG 101
#define IDC_MRU_CAPTION 1001
#define IDC_MRU_COMBO 1002
#define IDC_XFOLDER_OK 1003
