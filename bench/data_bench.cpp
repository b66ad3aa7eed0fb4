// Sample storage: appending a point (what the engine does for every trace
// after every accepted time point) and reading by index and by time. Each
// benchmark reports heap allocations per operation ("allocs/op"): an append
// should allocate only when it opens a block (one block record per 256
// points, one chunk per 65536), a read never.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "traces/Data.h"

#include "AllocCounter.h"

namespace {

// A run is emptied when it reaches this many points (64 MiB), outside the
// timing, so the benchmark's memory stays bounded however long it runs.
constexpr int kMaxPoints = 1 << 22;

void ReportAllocs(benchmark::State& state, long long allocations, long long operations) {
  state.counters["allocs/op"] =
      static_cast<double>(allocations) / static_cast<double>(operations > 0 ? operations : 1);
}

// Appending changing values: every point is stored.
void BM_AddDataPoint(benchmark::State& state) {
  SDataTran tran;
  SDataTrace trace;
  trace.tran = &tran;
  CData data(&trace);
  double t = 0.0;
  long long appends = 0;
  // Emptying the run (paused below) frees but allocates nothing.
  const long long before = g_allocations;
  for (auto _ : state) {
    benchmark::DoNotOptimize(data.AddDataPoint(t, static_cast<double>(appends & 1023)));
    t += 1e-6;
    ++appends;
    if (data.GetSize() == kMaxPoints) {
      state.PauseTiming();
      data.ClearData();
      t = 0.0;
      state.ResumeTiming();
    }
  }
  ReportAllocs(state, g_allocations - before, appends);
}
BENCHMARK(BM_AddDataPoint);

// Appending a constant value with repeat compression on: after the second
// point every append only moves the end point's time.
void BM_AddDataPointCompressed(benchmark::State& state) {
  SDataTran tran;
  tran.compress = true;
  SDataTrace trace;
  trace.tran = &tran;
  CData data(&trace);
  double t = 0.0;
  long long appends = 0;
  const long long before = g_allocations;
  for (auto _ : state) {
    benchmark::DoNotOptimize(data.AddDataPoint(t, 5.0));
    t += 1e-6;
    ++appends;
  }
  ReportAllocs(state, g_allocations - before, appends);
}
BENCHMARK(BM_AddDataPointCompressed);

// A run of n points at 1 us spacing with a ramp value, and query positions
// spread over it by a fixed generator.
struct SFilled {
  SDataTran tran;
  SDataTrace trace;
  std::unique_ptr<CData> data;
  std::vector<double> times;
  std::vector<int> indexes;

  explicit SFilled(int n) {
    trace.tran = &tran;
    data = std::make_unique<CData>(&trace);
    for (int i = 0; i < n; ++i) data->AddDataPoint(i * 1e-6, i);
    uint32_t seed = 1;
    for (int k = 0; k < 4096; ++k) {
      seed = seed * 1664525u + 1013904223u;
      const double u = (seed >> 8) / 16777216.0;  // [0, 1)
      times.push_back(u * (n - 1) * 1e-6);
      indexes.push_back(static_cast<int>(u * n));
    }
  }
};

void BM_GetDataAt(benchmark::State& state) {
  SFilled f(static_cast<int>(state.range(0)));
  std::size_t k = 0;
  long long reads = 0;
  const long long before = g_allocations;
  for (auto _ : state) {
    double t, v;
    benchmark::DoNotOptimize(f.data->GetDataAt(f.indexes[k], &t, &v, true));
    benchmark::DoNotOptimize(v);
    k = (k + 1) & 4095;
    ++reads;
  }
  ReportAllocs(state, g_allocations - before, reads);
}
BENCHMARK(BM_GetDataAt)->Arg(1000)->Arg(1 << 20);

// Value by time: two binary searches and one interpolation.
void BM_GetDataPoint(benchmark::State& state) {
  SFilled f(static_cast<int>(state.range(0)));
  std::size_t k = 0;
  long long reads = 0;
  const long long before = g_allocations;
  for (auto _ : state) {
    double v;
    benchmark::DoNotOptimize(f.data->GetDataPoint(f.times[k], &v, true));
    benchmark::DoNotOptimize(v);
    k = (k + 1) & 4095;
    ++reads;
  }
  ReportAllocs(state, g_allocations - before, reads);
}
BENCHMARK(BM_GetDataPoint)->Arg(1000)->Arg(1 << 20);

// Cursor statistics over a long run without the frequency search (which
// walks every point): whole blocks come from their cache after the first
// run, only the partial blocks at the ends are computed.
void BM_CalcTranData(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  SFilled f(n);
  const double t1 = 0.3e-6, t2 = (n - 1.7) * 1e-6;
  for (auto _ : state) {
    f.data->CalcTranData(false, t1, t2);
    double mean;
    benchmark::DoNotOptimize(f.data->GetDataVar(CData::kMean, 0.0, &mean));
  }
}
BENCHMARK(BM_CalcTranData)->Arg(1 << 20);

}  // namespace
