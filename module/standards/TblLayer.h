// The record cursor of tblLayer: one drawing layer of the standards.
#pragma once
#include "standards/StandardsRecord.h"

namespace tabrik::arx::standards {

class CTblLayer : public CStandardsRecord {
 public:
  enum Column {
    kIxLayer,
    kName,
    kRGBColor,
    kColor,
    kRed,
    kGreen,
    kBlue,
    kLinetype,
    kPlot,
    kLineweight,
    kPlotstyle,
    kMasterDatabase,
    kMasterDatabaseIndex,
  };
  explicit CTblLayer(CDBConnection* connection);

  // Seeks sName with the "sName" index (the engine compares text without regard to case).
  bool FindByName(const CString& name);
};

}  // namespace tabrik::arx::standards
