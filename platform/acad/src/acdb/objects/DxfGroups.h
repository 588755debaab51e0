// Helpers every class's dxfInFields uses to walk the groups of its own subclass.
#pragma once
#include <cmath>
#include <cwchar>
#include <string>

#include "dbfiler.h"

namespace tabrik::acad {

// True and the marker consumed when the next group is "100 name"; a missing marker is
// eBadDxfSequence, as the host reports it.
inline Acad::ErrorStatus requireSubclass(AcDbDxfFiler* filer, const ACHAR* name) {
  return filer->atSubclassData(name) ? Acad::eOk : Acad::eBadDxfSequence;
}

// Calls handle(group) for each group up to the next subclass marker (left for the
// next reader) or the end of the object.
template <class Handler>
Acad::ErrorStatus forEachGroup(AcDbDxfFiler* filer, Handler&& handle) {
  resbuf rb{};
  for (;;) {
    Acad::ErrorStatus status = filer->readResBuf(&rb);
    if (status == Acad::eEndOfObject) return Acad::eOk;
    if (status != Acad::eOk) return status;
    if (rb.restype == 100) {
      filer->pushBackItem();
      return Acad::eOk;
    }
    handle(rb);
  }
}

inline std::wstring stringOf(const resbuf& rb) {
  return rb.resval.rstring ? rb.resval.rstring : L"";
}
inline AcGePoint3d pointOf(const resbuf& rb) {
  return {rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2]};
}
inline AcGeVector3d vectorOf(const resbuf& rb) {
  return {rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2]};
}

// A direction read from a file: normalised only when it is not unit length already,
// so that writing it back gives the digits that were read.
inline AcGeVector3d unitDirection(const AcGeVector3d& v) {
  double length = v.length();
  return std::fabs(length - 1.0) <= 1e-12 ? v : v.normal();
}

}  // namespace tabrik::acad
