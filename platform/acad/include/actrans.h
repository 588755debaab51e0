// The document-level transaction manager: the one of the working database.
#pragma once
#include "dbtrans.h"

typedef AcDbTransactionManager AcTransactionManager;
#define actrTransactionManager acdbTransactionManagerPtr()
