// The host's annotative protocol extension: one object attached to every class that
// can be annotative, keeping the flag as "AcadAnnotative" extended data (the form is in
// dbAnnotativeObjectPE.h), so that it travels with the object through copies, undo and
// both drawing file formats without a field of its own.
#include "dbAnnotativeObjectPE.h"

#include <cwchar>

#include "acdb/objects/DatabaseInternal.h"
#include "acutads.h"
#include "dbents.h"
#include "dblead.h"
#include "dbmtext.h"
#include "dbsymtb.h"
#include "rxboiler.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbAnnotativeObjectPE, AcRxObject)

namespace tabrik::acad {

namespace {

constexpr const ACHAR* kApplication = L"AcadAnnotative";
constexpr const ACHAR* kDataName = L"AnnotativeData";
constexpr short kVersion = 1;

// Appends a new element of `type` after `last`; null when out of memory.
resbuf* append(resbuf*& head, resbuf*& last, short type) {
  resbuf* rb = acutNewRb(type);
  if (rb == nullptr) return nullptr;
  (head == nullptr ? head : last->rbnext) = rb;
  last = rb;
  return rb;
}

// Owns a chain the host handed out.
struct Chain {
  resbuf* head = nullptr;
  ~Chain() { acutRelRb(head); }
};

class XDataAnnotativePE : public AcDbAnnotativeObjectPE {
 public:
  // On when the data names version 1 and its second integer is not zero; data in
  // another shape is not ours to read and counts as off.
  bool annotative(AcDbObject* object) const override {
    if (object == nullptr) return false;
    Chain data{object->xData(kApplication)};
    const resbuf* rb = data.head == nullptr ? nullptr : data.head->rbnext;
    const short expected[] = {1000, 1002, 1070, 1070};
    short values[2] = {0, 0};
    int integers = 0;
    for (short type : expected) {
      if (rb == nullptr || rb->restype != type) return false;
      if (type == 1000 &&
          (rb->resval.rstring == nullptr || std::wcscmp(rb->resval.rstring, kDataName) != 0))
        return false;
      if (type == 1070) values[integers++] = rb->resval.rint;
      rb = rb->rbnext;
    }
    return values[0] == kVersion && values[1] != 0;
  }

  Acad::ErrorStatus setAnnotative(AcDbObject* object, const bool on) override {
    if (object == nullptr) return Acad::eNullObjectPointer;
    if (object->isDBRO() && !object->isWriteEnabled()) return Acad::eNotOpenForWrite;
    Chain data;
    resbuf* last = nullptr;
    resbuf* app = append(data.head, last, 1001);
    if (app == nullptr) return Acad::eOutOfMemory;
    app->resval.rstring = acutNewString(kApplication);
    if (on) {
      resbuf* name = append(data.head, last, 1000);
      resbuf* open = name ? append(data.head, last, 1002) : nullptr;
      resbuf* version = open ? append(data.head, last, 1070) : nullptr;
      resbuf* flag = version ? append(data.head, last, 1070) : nullptr;
      resbuf* close = flag ? append(data.head, last, 1002) : nullptr;
      if (close == nullptr) return Acad::eOutOfMemory;
      name->resval.rstring = acutNewString(kDataName);
      open->resval.rstring = acutNewString(L"{");
      version->resval.rint = kVersion;
      flag->resval.rint = 1;
      close->resval.rstring = acutNewString(L"}");
    }
    // The application alone removes its data.
    return object->setXData(data.head);
  }
};

}  // namespace

void attachAnnotativeExtension() {
  static XDataAnnotativePE extension;
  AcRxClass* protocol = AcDbAnnotativeObjectPE::desc();
  for (AcRxClass* annotatable :
       {AcDbText::desc(), AcDbMText::desc(), AcDbLeader::desc(), AcDbBlockTableRecord::desc()})
    if (annotatable != nullptr) annotatable->addX(protocol, &extension);
}

}  // namespace tabrik::acad
