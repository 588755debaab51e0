// The drawing function table: every LISP function of LispFunctionList.def that is not a
// tb_ database function, in registration order (function codes from 63).
#include "host/LispFunctionTable.h"
#include "host/LispFunctions.h"

namespace tabrik::arx {
namespace {

#define TABRIK_ENTRY_Database(body, name)
#define TABRIK_ENTRY_Drawing(body, name) {ACRX_T(name), &drawingHandler<&fn::body>},
#define TABRIK_LISP_FUNCTION(body, name, table, family, state) TABRIK_ENTRY_##table(body, name)
constexpr LispFunctionEntry kDrawingFunctions[] = {
#include "host/LispFunctionList.def"
};
#undef TABRIK_LISP_FUNCTION
#undef TABRIK_ENTRY_Drawing
#undef TABRIK_ENTRY_Database

static_assert(std::size(kDrawingFunctions) == 110);

}  // namespace

std::span<const LispFunctionEntry> drawingFunctionTable() { return kDrawingFunctions; }

}  // namespace tabrik::arx
