// The host's MFC application object (profile settings of the host application).
#pragma once
#include "afxwin.h"

CWinApp* acedGetAcadWinApp();
