// The record cursor of tblLayerSystem: one named layer system with the disciplines'
// options on it. The general system has no row.
#pragma once
#include "standards/StandardsRecord.h"

namespace tabrik::arx::standards {

class CTblLayerSystem : public CStandardsRecord {
 public:
  enum Column {
    kIxLayerSystem,
    kDescription,
    kSortOrder,
    kSolid,
    kPrefix,
    kSuffix,
    kFirstHatch,  // five columns per air system from here, see HatchColumn
    kHatchFlexDucts = kFirstHatch + 20,
    kHatchOverhang,
    kMasterDatabase,
    kMasterDatabaseIndex,
  };
  // The air systems, in the order of their column groups.
  enum AirSystem { kSupply, kReturn, kExhaust, kOutside };
  enum HatchField { kHatchOn, kHatchType, kHatchPattern, kHatchAngle, kHatchScale };
  static constexpr int HatchColumn(int airSystem, int field) {
    return kFirstHatch + airSystem * 5 + field;
  }

  explicit CTblLayerSystem(CDBConnection* connection);
};

}  // namespace tabrik::arx::standards
