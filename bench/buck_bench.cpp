// Whole runs of the shipped buck converter (examples/buck.qvs, 5 ms of a
// 100 kHz converter, 1 us step): the wall time of a run next to the
// engine's counters of that run (accepted points, rejected trial steps,
// switching steps, IC iterations). Run from the repository root.

#include <benchmark/benchmark.h>

#include "doc/Doc.h"
#include "engine/Calc.h"

namespace {

void BM_BuckRun(benchmark::State& state) {
  CDoc doc;
  if (doc.OpenDLL("examples/buck.qvs") != 0) {
    state.SkipWithError("examples/buck.qvs not found: run from the repository root");
    return;
  }
  const double span = static_cast<double>(state.range(0)) * 1e-3;  // s
  CCalc::SCounters counters;
  for (auto _ : state) {
    if (!doc.StartDLLSim() || !doc.ExecuteDLLSim(span, 0)) {
      state.SkipWithError("simulation failed");
      return;
    }
    counters = doc.Calc()->Counters();
  }
  state.counters["points"] = static_cast<double>(counters.accepted);
  state.counters["rejected"] = static_cast<double>(counters.rejected);
  state.counters["switchings"] = static_cast<double>(counters.switchings);
  state.counters["ic_iter"] = static_cast<double>(counters.ic_iterations);
  state.counters["sim_s/s"] = benchmark::Counter(span, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(BM_BuckRun)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
