#include "standards/TblLayerSystem.h"

namespace tabrik::arx::standards {
namespace {

#define TABRIK_HATCH_COLUMNS(air)                                                                 \
  {L"" #air "HatchOn", ColumnKind::Boolean}, {L"" #air "HatchType", ColumnKind::Text},            \
      {L"" #air "HatchPattern", ColumnKind::Text}, {L"" #air "HatchAngle", ColumnKind::Double}, { \
    L"" #air "HatchScale", ColumnKind::Double                                                     \
  }

constexpr ColumnLayout kColumns[] = {
    {L"ixLayerSystem", ColumnKind::Long},
    {L"sDescription", ColumnKind::Text},
    {L"iSortOrder", ColumnKind::Integer},
    {L"bSolid", ColumnKind::Boolean},
    {L"sPrefix", ColumnKind::Text},
    {L"sSuffix", ColumnKind::Text},
    TABRIK_HATCH_COLUMNS(supply),
    TABRIK_HATCH_COLUMNS(return ),
    TABRIK_HATCH_COLUMNS(exhaust),
    TABRIK_HATCH_COLUMNS(outside),
    {L"bHatchFlexDucts", ColumnKind::Boolean},
    {L"dHatchOverhang", ColumnKind::Double},
    {L"ixMasterDatabase", ColumnKind::Long},
    {L"iMasterDatabaseIndex", ColumnKind::Long},
};
#undef TABRIK_HATCH_COLUMNS

static_assert(std::size(kColumns) == CTblLayerSystem::kMasterDatabaseIndex + 1);

}  // namespace

CTblLayerSystem::CTblLayerSystem(CDBConnection* connection)
    : CStandardsRecord(connection, L"tblLayerSystem", L"ixLayerSystem", kColumns) {}

}  // namespace tabrik::arx::standards
