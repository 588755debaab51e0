// The record cursor of tblTextStyle: the style, height and scale factor of one text
// style key; the last three may be null (the default is used then).
#pragma once
#include "standards/StandardsRecord.h"

namespace tabrik::arx::standards {

class CTblTextStyle : public CStandardsRecord {
 public:
  enum Column {
    kIxTextStyle,
    kKey,
    kStyleName,
    kHeight,
    kScaleFactor,
    kMasterDatabase,
    kMasterDatabaseIndex,
  };
  explicit CTblTextStyle(CDBConnection* connection);
};

}  // namespace tabrik::arx::standards
