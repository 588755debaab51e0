// The record cursor of tblLayerKey: one layer key of a layer system mapped to a layer.
// ixLayerSystem is null for the keys of the general system.
#pragma once
#include "standards/StandardsRecord.h"

namespace tabrik::arx::standards {

class CTblLayerKey : public CStandardsRecord {
 public:
  enum Column {
    kIxLayerKey,
    kIxLayerSystem,
    kIxLayer,
    kKey,
    kMasterDatabase,
    kMasterDatabaseIndex,
  };
  explicit CTblLayerKey(CDBConnection* connection);
};

}  // namespace tabrik::arx::standards
