#include "standards/CLayerSystemOptionsPlumb.h"

#include "standards/StandardsResources.h"

namespace tabrik::arx::standards {

CLayerSystemOptionsPlumb::CLayerSystemOptionsPlumb(CTblLayerSystem& record, long id, CWnd* parent)
    : CLayerSystemOptions(IDD_LAYER_SYSTEM_OPTIONS_PLUMB, Discipline::Plumbing, record, id,
                          parent) {}

}  // namespace tabrik::arx::standards
