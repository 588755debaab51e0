// The to-do drawing name that nv_nv-setToDoDrawing and nv_nv-getToDoDrawing keep: one
// module-wide string, empty when the module loads.
#pragma once

namespace tabrik::arx {

// Forgets the stored name (module initialisation).
void clearToDoDrawing();

}  // namespace tabrik::arx
