// A duct run of 1 000 straight ducts with a radius elbow between each pair, built as
// duct solids of the component, against the same bodies made with the modelling
// kernel's own calls (the limit: no entity, no argument checks, no volume check).
// Reported: processor time per fitting and heap held per solid, both ways, and the
// ratios.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <time.h>

#include <memory>
#include <vector>

#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <BRepPrimAPI_MakeRevol.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Ax1.hxx>

#include "solid/HvacSolid.h"

namespace {

constexpr int kDucts = 1000;
constexpr double kLeg = 100, kWidth = 20, kHeight = 10, kRatio = 1.5;
constexpr double kRadius = kRatio * kWidth;  // the bend lies in plan: width in the bend
constexpr double kHalfPi = 1.57079632679489661923;

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

size_t heapInUse() { return mallinfo2().uordblks; }

// The run's corners: a staircase east and north, so every joint turns 90 degrees,
// left and right in turn.
AcGePoint3d corner(int i) { return AcGePoint3d((i + 1) / 2 * kLeg, i / 2 * kLeg, 0); }
bool eastward(int i) { return i % 2 == 0; }

const AcGeVector3d kEast[3] = {AcGeVector3d(1, 0, 0), AcGeVector3d(0, 1, 0), AcGeVector3d(0, 0, 1)};
const AcGeVector3d kNorth[3] = {AcGeVector3d(0, 1, 0), AcGeVector3d(-1, 0, 0),
                                AcGeVector3d(0, 0, 1)};

void buildWithComponent(std::vector<std::unique_ptr<tabrik::solid::HvacSolid>>& solids) {
  for (int i = 0; i < kDucts; ++i) {
    const AcGeVector3d* frame = eastward(i) ? kEast : kNorth;
    AcGePoint3d start = corner(i), end = corner(i + 1);
    const AcGeVector3d axis = frame[0];
    if (i > 0) start += axis * kRadius;
    if (i + 1 < kDucts) end -= axis * kRadius;
    auto duct = std::make_unique<tabrik::solid::HvacSolid>();
    duct->addTransition(start, true, kWidth, kHeight, end, true, kWidth, kHeight, frame, frame, 0);
    solids.push_back(std::move(duct));
    if (i + 1 < kDucts) {
      AcGePoint3d inlet = corner(i), outlet = corner(i + 2);
      auto elbow = std::make_unique<tabrik::solid::HvacSolid>();
      elbow->addRadiusElbow(inlet, kWidth, kHeight, 0, 0, outlet, kWidth, kHeight, frame,
                            eastward(i + 1) ? kEast : kNorth, true, kRatio, true, 0, true);
      solids.push_back(std::move(elbow));
    }
  }
}

TopoDS_Face rawSection(const gp_Pnt& c, const gp_Vec& y, const gp_Vec& z) {
  const gp_Vec w = y * (kWidth / 2), h = z * (kHeight / 2);
  BRepBuilderAPI_MakePolygon polygon(c.Translated(w + h), c.Translated(-w + h),
                                     c.Translated(-w - h), c.Translated(w - h), true);
  return BRepBuilderAPI_MakeFace(polygon.Wire(), true).Face();
}

void buildWithKernel(std::vector<TopoDS_Shape>& shapes) {
  const gp_Vec up(0, 0, 1);
  for (int i = 0; i < kDucts; ++i) {
    const gp_Vec axis = eastward(i) ? gp_Vec(1, 0, 0) : gp_Vec(0, 1, 0);
    const gp_Vec across = eastward(i) ? gp_Vec(0, 1, 0) : gp_Vec(-1, 0, 0);
    const AcGePoint3d c0 = corner(i), c1 = corner(i + 1);
    gp_Pnt start(c0.x, c0.y, c0.z), end(c1.x, c1.y, c1.z);
    if (i > 0) start.Translate(axis * kRadius);
    if (i + 1 < kDucts) end.Translate(-axis * kRadius);
    shapes.push_back(
        BRepPrimAPI_MakePrism(rawSection(start, across, up), gp_Vec(start, end)).Shape());
    if (i + 1 < kDucts) {
      // East then north turns left (about +z), north then east turns right.
      const gp_Pnt bendStart(c1.x - axis.X() * kRadius, c1.y - axis.Y() * kRadius, 0);
      const double turn = eastward(i) ? 1 : -1;
      const gp_Pnt centre = bendStart.Translated(across * (kRadius * turn));
      shapes.push_back(BRepPrimAPI_MakeRevol(rawSection(bendStart, across, up),
                                             gp_Ax1(centre, gp_Dir(0, 0, turn)), kHalfPi)
                           .Shape());
    }
  }
}

void BM_DuctRun(benchmark::State& state) {
  double componentCpu = 0, kernelCpu = 0;
  double componentHeld = 0, kernelHeld = 0;
  const int solidsPerRun = 2 * kDucts - 1, fittingsPerRun = kDucts - 1;
  int runs = 0;
  for (auto _ : state) {
    {
      std::vector<std::unique_ptr<tabrik::solid::HvacSolid>> solids;
      solids.reserve(solidsPerRun);
      const size_t before = heapInUse();
      const double t0 = cpuSeconds();
      buildWithComponent(solids);
      componentCpu += cpuSeconds() - t0;
      componentHeld += static_cast<double>(heapInUse() - before);
      benchmark::DoNotOptimize(solids.data());
    }
    {
      std::vector<TopoDS_Shape> shapes;
      shapes.reserve(solidsPerRun);
      const size_t before = heapInUse();
      const double t0 = cpuSeconds();
      buildWithKernel(shapes);
      kernelCpu += cpuSeconds() - t0;
      kernelHeld += static_cast<double>(heapInUse() - before);
      benchmark::DoNotOptimize(shapes.data());
    }
    ++runs;
  }
  // Time per fitting: a run's time over its fittings (each with the straight before it).
  state.counters["component_cpu_us_per_fitting"] = componentCpu / runs / fittingsPerRun * 1e6;
  state.counters["kernel_cpu_us_per_fitting"] = kernelCpu / runs / fittingsPerRun * 1e6;
  state.counters["vs_kernel_cpu"] = componentCpu / kernelCpu;
  state.counters["component_kb_per_solid"] = componentHeld / runs / solidsPerRun / 1024;
  state.counters["kernel_kb_per_solid"] = kernelHeld / runs / solidsPerRun / 1024;
  state.counters["memory_vs_kernel"] = componentHeld / kernelHeld;
}
BENCHMARK(BM_DuctRun)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
