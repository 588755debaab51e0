// Arguments and results that name drawing objects: the object-id reader, the entity
// result and the list builder's entity pair. The host converts between the entity
// names LISP holds and the object ids of the drawing database.
#include <new>

#include <acedads.h>
#include <acutads.h>
#include <dbid.h>
#include <dbmain.h>

#include "host/ArgReaders.h"
#include "host/ListBuilder.h"
#include "host/ResultValues.h"

namespace tabrik::arx {

bool readObjectId(ArgCursor& cursor, AcDbObjectId& value) {
  if (cursor == nullptr || cursor->restype != RTENAME) {
    return false;
  }
  ads_name name = {cursor->resval.rlname[0], cursor->resval.rlname[1]};
  AcDbObjectId id;
  if (acdbGetObjectId(id, name) != Acad::eOk) {
    return false;
  }
  value = id;
  cursor = cursor->rbnext;
  return true;
}

void retEntity(const AcDbObjectId& id) {
  ads_name name = {0, 0};
  if (id.isNull() || acdbGetAdsName(name, id) != Acad::eOk) {
    acedRetNil();
    return;
  }
  acedRetName(name, RTENAME);
}

void ListBuilder::addPairEntity(const std::wstring& name, const AcDbObjectId& id) {
  ads_name entity = {0, 0};
  const bool named = !id.isNull() && acdbGetAdsName(entity, id) == Acad::eOk;
  openPair(name);
  if (named) {
    resbuf* value = acutNewRb(RTENAME);
    if (value == nullptr) {
      throw std::bad_alloc();
    }
    value->resval.rlname[0] = entity[0];
    value->resval.rlname[1] = entity[1];
    append(value);
  } else {
    appendNew(RTNIL);
  }
  closePair();
}

}  // namespace tabrik::arx
