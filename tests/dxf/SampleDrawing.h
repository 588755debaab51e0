// The sample drawing of the drawing-file tests: one of everything the host files
// (tables and their records, every entity kind, attributes, extended data, a group, a
// sort table, a viewport in paper space, an application's class) built through the SDK.
#pragma once
#include "dbcurve.h"
#include "dbfiler.h"
#include "dbmain.h"
#include "rxboiler.h"

// A class of an application: a two-point marker with an offset, filed under its own
// subclass marker, as a module's custom entity is.
class DxfTestMarker : public AcDbCurve {
 public:
  ACRX_DECLARE_MEMBERS(DxfTestMarker);
  AcGePoint3d a, b;
  double offset = 0;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override {
    AcDbCurve::dxfOutFields(filer);
    filer->writeString(100, L"DxfTestMarker");
    filer->writePoint3d(10, a);
    filer->writePoint3d(11, b);
    filer->writeDouble(40, offset);
    return filer->filerStatus();
  }
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override {
    Acad::ErrorStatus status = AcDbCurve::dxfInFields(filer);
    if (status != Acad::eOk) return status;
    if (!filer->atSubclassData(L"DxfTestMarker")) return Acad::eBadDxfSequence;
    resbuf rb{};
    while (filer->readResBuf(&rb) == Acad::eOk) {
      if (rb.restype == 10) a.set(rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2]);
      if (rb.restype == 11) b.set(rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2]);
      if (rb.restype == 40) offset = rb.resval.rreal;
    }
    return Acad::eOk;
  }
  // The binary file's filing: the same fields, in the same order.
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override {
    AcDbCurve::dwgOutFields(filer);
    filer->writePoint3d(a);
    filer->writePoint3d(b);
    filer->writeDouble(offset);
    return filer->filerStatus();
  }
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override {
    Acad::ErrorStatus status = AcDbCurve::dwgInFields(filer);
    if (status != Acad::eOk) return status;
    filer->readPoint3d(&a);
    filer->readPoint3d(&b);
    filer->readDouble(&offset);
    return filer->filerStatus();
  }
};

// Registers the application class (once; later calls do nothing).
void registerSampleClasses();
void buildSampleDrawing(AcDbDatabase& db);
