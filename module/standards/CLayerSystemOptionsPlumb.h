// The plumbing options of a layer system: its name only.
#pragma once
#include "standards/CLayerSystemOptions.h"

namespace tabrik::arx::standards {

class CLayerSystemOptionsPlumb : public CLayerSystemOptions {
 public:
  CLayerSystemOptionsPlumb(CTblLayerSystem& record, long id, CWnd* parent);
};

}  // namespace tabrik::arx::standards
