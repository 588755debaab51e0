#pragma once
#include "acarray.h"
#include "gept3d.h"
typedef AcArray<AcGePoint3d> AcGePoint3dArray;
