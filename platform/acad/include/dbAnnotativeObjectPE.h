// AcDbAnnotativeObjectPE: the protocol extension through which an object is made
// annotative (scaled by the annotation scale of the view it is shown in) or not. Get it
// with queryX on the object: texts (and so attribute definitions), multi-line texts,
// leaders and block definitions have it; other entities do not.
//
//   AcDbAnnotativeObjectPE* pe =
//       AcDbAnnotativeObjectPE::cast(object->queryX(AcDbAnnotativeObjectPE::desc()));
//
// The flag is kept with the object as the extended data of the "AcadAnnotative"
// application, in the form drawing files carry it:
//   1001 AcadAnnotative  1000 AnnotativeData  1002 {  1070 1 (version)  1070 1 (on)  1002 }
// A non-annotative object has no such data.
#pragma once
#include "dbmain.h"

class AcDbAnnotativeObjectPE : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbAnnotativeObjectPE);
  virtual bool annotative(AcDbObject* object) const = 0;
  // The object must be open for write (eNotOpenForWrite otherwise).
  virtual Acad::ErrorStatus setAnnotative(AcDbObject* object, const bool annotative) = 0;
};
