// The host's functions for duct solids:
//   (host:solid-volume ename)  the solid's volume, nil for anything else
//   (host:save-step path)      the active drawing's solids to a STEP file: how many were
//                              written, nil on failure (or without the component)
//   (host:step-volume path)    (solids . total-volume) of a STEP file, nil when unreadable
#include "acdb/acut/WideText.h"
#include "aced/bridge/HostFunctions.h"
#include "aced/doc/DocManager.h"
#include "aced/host/SolidFiles.h"
#include "lisp/Runtime.h"

namespace tabrik::acad {

using lisp::Args;
using lisp::Runtime;
using lisp::Value;

namespace {

Value hostSolidVolume(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  if (!args[0].isEname()) return Value();
  const lisp::AdsName name = args[0].adsName();
  ads_name ads = {name.word[0], name.word[1]};
  AcDbObjectId id;
  double volume = 0;
  if (acdbGetObjectId(id, ads) != Acad::eOk || !solidVolume(id, volume)) return Value();
  return Value::real(volume);
}

Value hostSaveStep(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  const std::string& path = lisp::stringArg(args[0]);
  Document* document = docManager().active();
  if (document == nullptr) return Value();
  const int written = saveDrawingStep(*document, fromUtf8(path));
  return written < 0 ? Value() : Value::integer(written);
}

Value hostStepVolume(Runtime&, Args args) {
  lisp::checkArgCount(args, 1, 1);
  const std::string& path = lisp::stringArg(args[0]);
  double volume = 0;
  const int solids = stepFileVolume(fromUtf8(path), volume);
  if (solids < 0) return Value();
  return Value::cons(Value::integer(solids), Value::real(volume));
}

}  // namespace

void installSolidFunctions(Runtime& runtime) {
  runtime.defineBuiltin("host:solid-volume", hostSolidVolume);
  runtime.defineBuiltin("host:save-step", hostSaveStep);
  runtime.defineBuiltin("host:step-volume", hostStepVolume);
}

}  // namespace tabrik::acad
