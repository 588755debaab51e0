// host:jigs: the drags since the last call, oldest first, each
//   (PROMPT KEYWORDS STATUS UPDATES SAMPLES DRAWING)
// STATUS is what drag() returned (0 normal, 1.. keywords, -1 Enter, -4 cancel),
// UPDATES the number of update() calls, SAMPLES one (ACQUIRE CURSOR CONTROLS INPUT
// STATUS) per input taken (ACQUIRE "point", "angle", "distance" or "string"; CURSOR
// the special cursor type, 2 for the rubber band; CONTROLS the user input controls;
// STATUS the sampler's), and DRAWING what the jig's entity drew after the last update:
// ("polyline" P ...), ("polygon" P ...), ("circle" CENTRE RADIUS), ("arc" CENTRE
// RADIUS SWEEP) or ("text" POSITION TEXT). Clears the record.
#include "aced/bridge/InputFunctions.h"

#include "acdb/acut/WideText.h"
#include "lisp/Runtime.h"
#include "tabrik/JigTrace.h"

namespace tabrik::acad {

using lisp::Args;
using lisp::Runtime;
using lisp::Value;

namespace {

Value pointValue(const AcGePoint3d& p) { return Value::point(p.x, p.y, p.z); }

const char* acquireName(JigSample::Acquire acquire) {
  switch (acquire) {
    case JigSample::kPoint:
      return "point";
    case JigSample::kAngle:
      return "angle";
    case JigSample::kDistance:
      return "distance";
    case JigSample::kString:
      return "string";
  }
  return "point";
}

Value primitiveValue(const GiPrimitive& primitive) {
  std::vector<Value> items;
  switch (primitive.kind) {
    case GiPrimitive::kPolyline:
    case GiPrimitive::kPolygon:
      items.push_back(
          Value::string(primitive.kind == GiPrimitive::kPolyline ? "polyline" : "polygon"));
      for (const AcGePoint3d& p : primitive.points) items.push_back(pointValue(p));
      break;
    case GiPrimitive::kCircle:
    case GiPrimitive::kArc:
      items.push_back(Value::string(primitive.kind == GiPrimitive::kCircle ? "circle" : "arc"));
      items.push_back(pointValue(primitive.points.front()));
      items.push_back(Value::real(primitive.radius));
      if (primitive.kind == GiPrimitive::kArc) items.push_back(Value::real(primitive.sweep));
      break;
    case GiPrimitive::kText:
      items.push_back(Value::string("text"));
      items.push_back(pointValue(primitive.points.front()));
      items.push_back(Value::string(toUtf8(primitive.text)));
      break;
  }
  return Value::list(items);
}

Value hostJigs(Runtime&, Args args) {
  lisp::checkArgCount(args, 0, 0);
  std::vector<Value> drags;
  for (const JigDrag& drag : takeJigDrags()) {
    std::vector<Value> samples;
    for (const JigSample& sample : drag.samples) {
      samples.push_back(Value::list({Value::string(acquireName(sample.acquire)),
                                     Value::integer(sample.cursor), Value::integer(sample.controls),
                                     Value::string(sample.input), Value::integer(sample.status)}));
    }
    std::vector<Value> drawing;
    for (const GiPrimitive& primitive : drag.lastDrawing)
      drawing.push_back(primitiveValue(primitive));
    drags.push_back(
        Value::list({Value::string(toUtf8(drag.prompt)), Value::string(toUtf8(drag.keywords)),
                     Value::integer(drag.status), Value::integer(drag.updates),
                     Value::list(samples), Value::list(drawing)}));
  }
  return Value::list(drags);
}

}  // namespace

void installInputFunctions(Runtime& runtime) { runtime.defineBuiltin("host:jigs", hostJigs); }

}  // namespace tabrik::acad
