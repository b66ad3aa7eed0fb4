// The AC analysis on RC ladders of N sections (1 kOhm in series, 1 uF to
// ground, the AC source at the input, one trace at the output), through
// the C interface with the library's own elements. One iteration is a
// whole run of 100 logarithmically spaced frequencies; "per_point" is the
// time of one frequency point (filling B + jwC, the complex elimination and
// recording the trace), the run's set-up spread over its points.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "qvs_dll.h"

namespace {

constexpr int kPoints = 100;

// Writes the ladder document into the temporary folder; returns its path.
std::string WriteLadder(int sections) {
  std::string cmps =
      "<Cmp type=\"V_V\" id=\"1\" name=\"V1\" node0=\"0\" node1=\"1\" model=\"V\" v=\"1\" />\n";
  int id = 2;
  char line[400];
  for (int i = 1; i <= sections; ++i) {
    std::snprintf(line, sizeof line,
                  "<Cmp type=\"R_R\" id=\"%d\" name=\"R%d\" node0=\"%d\" node1=\"%d\" "
                  "model=\"R\" r=\"1000\" />\n"
                  "<Cmp type=\"C_C\" id=\"%d\" name=\"C%d\" node0=\"0\" node1=\"%d\" "
                  "model=\"C\" c=\"1e-6\" />\n",
                  id, i, i, i + 1, id + 1, i, i + 1);
    id += 2;
    cmps += line;
  }
  std::snprintf(line, sizeof line, "C%d", sections);
  const std::string out = line;
  std::snprintf(line, sizeof line, "/tmp/qvs_ac_ladder_%d.qvs", sections);
  const std::string path = line;
  FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return std::string();
  std::fprintf(file,
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<QVS><Version ver=\"3\" />"
               "<Doc><Cir><Cmps>\n%s</Cmps></Cir>"
               "<Freq><Traces><Trace id=\"%d\" type=\"V\" expr=\"V(%s)\" name=\"\" /></Traces>"
               "<Settings from=\"1\" to=\"1e5\" points=\"%d\" scale=\"0\" id=\"1\" /></Freq>"
               "<Advanced to=\"0\" /></Doc></QVS>\n",
               cmps.c_str(), id - 1, out.c_str(), kPoints);
  std::fclose(file);
  return path;
}

void BM_ACLadder(benchmark::State& state) {
  const int sections = static_cast<int>(state.range(0));
  std::string path = WriteLadder(sections);
  const int h = QVS_Open(&path[0]);
  if (h < 0) {
    state.SkipWithError(QVS_GetError());
    return;
  }
  for (auto _ : state) {
    if (QVS_CalcAC(h) != 0) {
      state.SkipWithError(QVS_GetError());
      break;
    }
  }
  state.counters["unknowns"] = 2 * sections + 2;
  state.counters["per_point"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kPoints,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  QVS_Close(h);
  std::remove(path.c_str());
}

}  // namespace

BENCHMARK(BM_ACLadder)->Arg(10)->Arg(50)->Arg(200)->Unit(benchmark::kMillisecond);
