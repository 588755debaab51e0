#include "standards/TblLayer.h"

namespace tabrik::arx::standards {
namespace {

constexpr ColumnLayout kColumns[] = {
    {L"ixLayer", ColumnKind::Long},
    {L"sName", ColumnKind::Text},
    {L"bRGBColor", ColumnKind::Boolean},
    {L"iColor", ColumnKind::Integer},
    {L"iRed", ColumnKind::Integer},
    {L"iGreen", ColumnKind::Integer},
    {L"iBlue", ColumnKind::Integer},
    {L"sLinetype", ColumnKind::Text},
    {L"bPlot", ColumnKind::Boolean},
    {L"sLineweight", ColumnKind::Text},
    {L"sPlotstyle", ColumnKind::Text},
    {L"ixMasterDatabase", ColumnKind::Long},
    {L"iMasterDatabaseIndex", ColumnKind::Long},
};

}  // namespace

CTblLayer::CTblLayer(CDBConnection* connection)
    : CStandardsRecord(connection, L"tblLayer", L"ixLayer", kColumns) {}

bool CTblLayer::FindByName(const CString& name) { return seekOn(L"sName", COleVariant(name)); }

}  // namespace tabrik::arx::standards
