#include "standards/TblLayerKey.h"

namespace tabrik::arx::standards {
namespace {

constexpr ColumnLayout kColumns[] = {
    {L"ixLayerKey", ColumnKind::Long},       {L"ixLayerSystem", ColumnKind::Long},
    {L"ixLayer", ColumnKind::Long},          {L"sKey", ColumnKind::Text},
    {L"ixMasterDatabase", ColumnKind::Long}, {L"iMasterDatabaseIndex", ColumnKind::Long},
};

}  // namespace

CTblLayerKey::CTblLayerKey(CDBConnection* connection)
    : CStandardsRecord(connection, L"tblLayerKey", L"ixLayerKey", kColumns) {}

}  // namespace tabrik::arx::standards
