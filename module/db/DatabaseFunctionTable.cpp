// The database function table: the tb_ functions of LispFunctionList.def in registration
// order (function codes 0 to 62). Each handler makes the active drawing's connection
// current first.
#include "host/LispFunctionTable.h"
#include "host/LispFunctions.h"

namespace tabrik::arx {
namespace {

#define TABRIK_ENTRY_Database(body, name) {ACRX_T(name), &databaseHandler<&fn::body>},
#define TABRIK_ENTRY_Drawing(body, name)
#define TABRIK_LISP_FUNCTION(body, name, table, family, state) TABRIK_ENTRY_##table(body, name)
constexpr LispFunctionEntry kDatabaseFunctions[] = {
#include "host/LispFunctionList.def"
};
#undef TABRIK_LISP_FUNCTION
#undef TABRIK_ENTRY_Drawing
#undef TABRIK_ENTRY_Database

static_assert(std::size(kDatabaseFunctions) == 63);

}  // namespace

std::span<const LispFunctionEntry> databaseFunctionTable() { return kDatabaseFunctions; }

namespace db {

int databaseFunctionCount() { return static_cast<int>(std::size(kDatabaseFunctions)); }

}  // namespace db
}  // namespace tabrik::arx
