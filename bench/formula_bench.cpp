// The formula evaluator on typical parameter and trace formulas. Besides the
// time, each benchmark reports "allocs/eval": heap allocations per
// evaluation. An evaluation should allocate its stack once and nothing
// else (names, numbers and functions are looked at in place in the text),
// so the figure is 1 unless the stack had to grow.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

#include "doc/Doc.h"
#include "expr/Formula.h"
#include "expr/VarList.h"

#include "AllocCounter.h"

namespace {

// Evaluates text once per iteration and reports allocations per evaluation.
// tick, when given, changes before each evaluation (a trace's abscissa).
void Run(benchmark::State& state, const AnsiString& text, CVarList* vars, SNumber* tick) {
  CDoc doc;  // its function cache serves every evaluation after the first
  double result = 0.0;
  if (!formula(text, &result, &doc, vars, nullptr, false, nullptr, nullptr, false, false, 0,
               false)) {
    state.SkipWithError("the formula fails");
    return;
  }
  const long long before = g_allocations;
  long long evaluations = 0;
  for (auto _ : state) {
    if (tick != nullptr) tick->v.d += 1e-6;
    formula(text, &result, &doc, vars, nullptr, false, nullptr, nullptr, false, false, 0, false);
    benchmark::DoNotOptimize(result);
    ++evaluations;
  }
  state.counters["allocs/eval"] =
      static_cast<double>(g_allocations - before) / static_cast<double>(evaluations);
}

// A parameter formula naming another parameter; R2.R is a variable of that
// name here, as no component list exists in this benchmark.
void BM_Parameter(benchmark::State& state) {
  CVarList vars;
  SetDoubleNumber(vars.AddVar("R2.R", NUM_DOUBLE, 0)->values, 470.0);
  Run(state, "=2*R2.R+1k", &vars, nullptr);
}
BENCHMARK(BM_Parameter);

// A source waveform over the trace abscissa t.
void BM_Sine(benchmark::State& state) {
  CVarList vars;
  SNumber* t = vars.AddVar("t", NUM_DOUBLE, 0)->values;
  SetDoubleNumber(t, 0.0);
  Run(state, "sin(2*pi*50*t)", &vars, t);
}
BENCHMARK(BM_Sine);

// Twenty terms: numbers with scale letters, variables, functions, brackets.
void BM_TwentyTerms(benchmark::State& state) {
  CVarList vars;
  SetDoubleNumber(vars.AddVar("x", NUM_DOUBLE, 0)->values, 0.25);
  SetDoubleNumber(vars.AddVar("y", NUM_DOUBLE, 0)->values, 1.5);
  SetDoubleNumber(vars.AddVar("gain", NUM_DOUBLE, 0)->values, 12.0);
  Run(state,
      "=1.5*x + 2k*y - 3.3*x*y + 4.7u/x + gain*(x-y) + sqrt(y) - 7*x + 8.25*y"
      " + 9/gain - 10m*x + abs(x-y) + 12*y*y - 13*x + 14.5 + exp(-x) - 16*y"
      " + 17p*gain + 18*x/y - 19n + 20*(x+y)",
      &vars, nullptr);
}
BENCHMARK(BM_TwentyTerms);

// Priorities rising to the end keep every operator on the stack: the stack
// grows past its first 20 entries, and each growth is one more allocation.
void BM_DeepStack(benchmark::State& state) {
  std::string text;
  for (int k = 0; k < 10; ++k) text += "(1||1&&1|1^1&1==1<=";
  text += "1";
  text += std::string(10, ')');
  Run(state, AnsiString(text), nullptr, nullptr);
}
BENCHMARK(BM_DeepStack);

}  // namespace
