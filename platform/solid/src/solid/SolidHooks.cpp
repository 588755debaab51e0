// The component's C entry points for the host (found with dlsym, so the host links
// nothing of the component): the volume of a solid, and STEP files of solids, written
// and read back.
#include "solid/SolidHooks.h"

#include <IFSelect_ReturnStatus.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_PrinterOStream.hxx>
#include <Interface_Static.hxx>
#include <STEPControl_Reader.hxx>
#include <STEPControl_Writer.hxx>
#include <Standard_Failure.hxx>
#include <TopExp_Explorer.hxx>

#include "solid/HvacSolid.h"

using tabrik::solid::HvacSolid;

void tabrik::solid::silenceKernelMessages() {
  Message::DefaultMessenger()->RemovePrinters(STANDARD_TYPE(Message_PrinterOStream));
}

extern "C" {

TABRIK_SOLID_HOOK int tabrikSolidVolume(const AcDbEntity* entity, double* volume) {
  const auto* solid = dynamic_cast<const HvacSolid*>(entity);
  if (solid == nullptr || volume == nullptr) return 0;
  *volume = solid->volume();
  return 1;
}

TABRIK_SOLID_HOOK int tabrikSolidWriteStep(const AcDbEntity* const* entities, int count,
                                           const char* path) {
  if (path == nullptr || count < 0 || (count > 0 && entities == nullptr)) return -1;
  try {
    STEPControl_Writer writer;
    Interface_Static::SetCVal("write.step.schema", "AP214IS");
    int written = 0;
    for (int i = 0; i < count; ++i) {
      const auto* solid = dynamic_cast<const HvacSolid*>(entities[i]);
      if (solid == nullptr || solid->shape().IsNull()) continue;
      if (writer.Transfer(solid->shape(), STEPControl_AsIs) != IFSelect_RetDone) return -1;
      ++written;
    }
    if (written == 0) return 0;
    return writer.Write(path) == IFSelect_RetDone ? written : -1;
  } catch (const Standard_Failure&) {
    return -1;
  }
}

TABRIK_SOLID_HOOK int tabrikSolidStepVolume(const char* path, double* volume) {
  if (path == nullptr || volume == nullptr) return -1;
  try {
    STEPControl_Reader reader;
    if (reader.ReadFile(path) != IFSelect_RetDone) return -1;
    reader.TransferRoots();
    double total = 0;
    int solids = 0;
    for (int i = 1; i <= reader.NbShapes(); ++i) {
      for (TopExp_Explorer it(reader.Shape(i), TopAbs_SOLID); it.More(); it.Next()) {
        total += tabrik::solid::volumeOf(it.Current());
        ++solids;
      }
    }
    *volume = total;
    return solids;
  } catch (const Standard_Failure&) {
    return -1;
  }
}

}  // extern "C"
