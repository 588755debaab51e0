// Record lists between LISP and the database layer (see RecordLists.h).
#include "db/RecordLists.h"

#include <adscodes.h>

#include "host/ListBuilder.h"
#include "host/VariantConversion.h"

namespace tabrik::arx::db {

void retRecord(const DBRecord& record) {
  ListBuilder builder;
  builder.start();
  for (const DBField& field : record) {
    builder.addPairDatabaseValue(field.name.GetString(), field.value);
  }
  builder.finish();
}

bool readSuppliedRecord(ArgCursor cursor, DBRecord& record) {
  record.clear();
  while (cursor != nullptr) {
    // Where a name is due, list structure is skipped.
    if (cursor->restype == RTLB || cursor->restype == RTLE || cursor->restype == RTDOTE) {
      cursor = cursor->rbnext;
      continue;
    }
    if (cursor->restype != RTSTR) {
      return false;
    }
    DBField field;
    field.name = cursor->resval.rstring;
    cursor = cursor->rbnext;
    if (cursor != nullptr && cursor->restype == RTLE) {
      field.value.vt = VT_NULL;
    } else if (cursor == nullptr || !resbufToVariant(cursor, field.value)) {
      return false;
    } else {
      cursor = cursor->rbnext;
    }
    record.push_back(std::move(field));
  }
  return !record.empty();
}

}  // namespace tabrik::arx::db
