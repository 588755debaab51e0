#pragma once
#include "acarray.h"
#include "gept2d.h"
typedef AcArray<AcGePoint2d> AcGePoint2dArray;
