#include "standards/TblTextStyle.h"

namespace tabrik::arx::standards {
namespace {

constexpr ColumnLayout kColumns[] = {
    {L"ixTextStyle", ColumnKind::Long},          {L"sKey", ColumnKind::Text},
    {L"sStyleName", ColumnKind::Text},           {L"dHeight", ColumnKind::Double},
    {L"dScaleFactor", ColumnKind::Double},       {L"ixMasterDatabase", ColumnKind::Long},
    {L"iMasterDatabaseIndex", ColumnKind::Long},
};

}  // namespace

CTblTextStyle::CTblTextStyle(CDBConnection* connection)
    : CStandardsRecord(connection, L"tblTextStyle", L"ixTextStyle", kColumns) {}

}  // namespace tabrik::arx::standards
