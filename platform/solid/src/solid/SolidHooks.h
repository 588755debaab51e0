// The C entry points the component offers the host beside its class (looked up by
// name in the loaded component):
//
//   tabrikSolidVolume(entity, &volume)      1 and the volume of an nv_hvacSolid, else 0
//   tabrikSolidWriteStep(entities, n, path) writes the solids among the entities to a
//                                           STEP file; how many, 0 when none, -1 on failure
//   tabrikSolidStepVolume(path, &volume)    reads a STEP file: its solids' total volume;
//                                           how many solids, -1 when it cannot be read
#pragma once
#include <dbmain.h>

#define TABRIK_SOLID_HOOK __attribute__((visibility("default")))

extern "C" {
TABRIK_SOLID_HOOK int tabrikSolidVolume(const AcDbEntity* entity, double* volume);
TABRIK_SOLID_HOOK int tabrikSolidWriteStep(const AcDbEntity* const* entities, int count,
                                           const char* path);
TABRIK_SOLID_HOOK int tabrikSolidStepVolume(const char* path, double* volume);
}

namespace tabrik::solid {
// The kernel reports its progress (STEP transfers, for one) on standard output, where
// the host's output belongs to LISP: the component keeps it quiet.
void silenceKernelMessages();
}  // namespace tabrik::solid
