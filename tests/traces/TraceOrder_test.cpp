// Trace references in formulas, the order in which a collection records
// its traces, finding traces by name, and the values and value lists that
// formulas and the library read from recorded traces.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/globals.h"
#include "expr/Formula.h"
#include "expr/VarList.h"
#include "expr/globals.h"
#include "traces/Data.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"

namespace {

// A trace of the collection with a name (empty: the expression names it).
CTrace* Add(CTraces& traces, int type, const std::string& name, const std::string& expr,
            int cmp_id = 0) {
  auto* t = new CTrace(&traces);
  t->SetType(type);
  t->SetCmpId(cmp_id);
  t->SetName(name.c_str());
  t->SetExprText(expr.c_str());
  traces.Add(t);
  return t;
}

// --- References in formulas ------------------------------------------------------------

TEST(TraceReferences, FindTraceName) {
  struct Row {
    std::string text;
    int start;
    std::string name;  // "" when there is none
    int pos;
    bool bracketed;
  };
  const std::vector<Row> rows = {
      {"2*V(R1)+x", 1, "V(R1)", 3, true},
      {"2*V(R1)+x", 8, "x", 9, false},  // from the middle of the text
      {"i(L1)", 1, "i(L1)", 1, true},
      {"p(X1.R2)*2", 1, "p(X1.R2)", 1, true},
      {"Vout(2)", 1, "Vout", 1, false},  // only the one-letter quantities
      {"S(R1)", 1, "S", 1, false},
      {"V (R1)", 1, "V", 1, false},
      {"sin(t)", 1, "sin", 1, false},
      {"1e-3*gain", 1, "gain", 6, false},  // the exponent's sign is the number's
      {"2.5E+6+a", 1, "a", 8, false},
      {"1k*b", 1, "b", 4, false},  // a scale letter belongs to its number
      {".5*c", 1, "c", 4, false},
      {"{3}*d", 1, "d", 5, false},
      {"_a.b_2/3", 1, "_a.b_2", 1, false},
      {"\"my out\"*2", 1, "\"my out\"", 1, false},
      {"3*\"open", 1, "\"open", 3, false},
      {"V(R1", 1, "V(R1", 1, true},
      {"3.5+4", 1, "", 0, false},
      {"", 1, "", 0, false},
      {"a+b", 4, "", 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text + " from " + std::to_string(row.start));
    int pos = -1;
    bool bracketed = !row.bracketed;
    const AnsiString name = CTrace::find_trace_name(row.text.c_str(), row.start, &pos, &bracketed);
    EXPECT_EQ(name.str(), row.name);
    EXPECT_EQ(pos, row.pos);
    EXPECT_EQ(bracketed, row.bracketed);
  }
}

TEST(TraceReferences, PreparedExpressionNamesTracesByIndex) {
  CTran tran(nullptr, true);
  CTraces& traces = tran.Traces();
  // An unnamed Math trace shows its source's name, but is not named by it.
  Add(traces, TT_MATH, "", "V(R1)");
  Add(traces, TT_V, "V(R1)", "V(R1)", 5);
  Add(traces, TT_FUNCTION, "my out", "V(R1)*3");
  Add(traces, TT_DATA, "x.y", "", -1);
  Add(traces, TT_MATH, "smooth", "V(R1)");
  ASSERT_EQ(traces.GetAt(0)->GetTraceName().str(), "V(R1)");

  struct Row {
    std::string expr;
    std::string prepared;
    std::vector<int> deps;
  };
  const std::vector<Row> rows = {
      {"2*V(R1)", "2*{1}", {1}},
      {"v(r1)+1", "{1}+1", {1}},                // names ignore case
      {"\"my out\"-V(R1)", "{2}-{1}", {1, 2}},   // quoted names lose their quotes
      {"x.y*1e-3", "{3}*1e-3", {3}},
      {"smooth/2", "{4}/2", {4}},              // a Math trace by its own name
      {"V(R2)+t+sin(t)", "V(R2)+t+sin(t)", {}},  // no trace: left for the evaluator
      {"1k*V(R1)", "1k*{1}", {1}},
      {"", "", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expr);
    CTrace* f = Add(traces, TT_FUNCTION, "f", row.expr);
    f->CreateTraceRecalcDependence();
    EXPECT_EQ(f->PreparedExpr().str(), row.prepared);
    std::vector<int> deps;
    for (int i = 0; i < traces.Count(); ++i)
      if (f->DependsOn(i)) deps.push_back(i);
    EXPECT_EQ(deps, row.deps);
    traces.RemoveAt(traces.IndexOf(f));
  }

  // Other kinds, and traces bound to a component, depend on nothing.
  CTrace* v = traces.GetAt(1);
  v->SetExprText("\"my out\"");
  v->CreateTraceRecalcDependence();
  EXPECT_FALSE(v->DependsOn(2));
  EXPECT_EQ(v->PreparedExpr().str(), "\"my out\"");
}

// --- Calculation order -----------------------------------------------------------------

struct OrderCase {
  std::string what;
  std::vector<std::pair<std::string, std::string>> traces;  // Function traces: name, formula
  std::string error;
  std::vector<std::string> order;  // names in calculation order
};

TEST(TraceOrder, OrderAndCircularReferences) {
  const std::vector<OrderCase> cases = {
      {"independent traces keep list order", {{"a", "t"}, {"b", "2*t"}}, "", {"a", "b"}},
      {"a chain listed backwards",
       {{"c", "b*2"}, {"b", "a+1"}, {"a", "t"}},
       "",
       {"a", "b", "c"}},
      {"two sources, depth first in list order",
       {{"sum", "y+x"}, {"x", "t"}, {"y", "x*2"}},
       "",
       {"x", "y", "sum"}},
      {"a name used twice", {{"d", "e*e"}, {"e", "t"}}, "", {"e", "d"}},
      {"two traces naming each other",
       {{"a", "b+1"}, {"b", "a+1"}},
       "Trace a: circular reference",
       {}},
      {"a cycle behind the first trace",
       {{"x", "a"}, {"a", "b"}, {"b", "a"}},
       "Trace x: circular reference",
       {}},
      {"a trace of its own name is no cycle", {{"x", "x+1"}}, "", {"x"}},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.what);
    CTran tran(nullptr, true);
    CTraces& traces = tran.Traces();
    for (const auto& [name, expr] : c.traces) Add(traces, TT_FUNCTION, name, expr);
    EXPECT_EQ(traces.CreateRecalcOrder().str(), c.error);
    std::vector<std::string> order;
    if (c.error.empty()) {
      for (int i = 0; i < traces.CalcOrderCount(); ++i)
        order.push_back(traces.GetAtCalcOrder(i)->GetTraceName().str());
    }
    EXPECT_EQ(order, c.order);
  }
}

TEST(TraceOrder, ListChangesKeepTheOrderTrue) {
  CTran tran(nullptr, true);
  CTraces& traces = tran.Traces();
  Add(traces, TT_FUNCTION, "gone", "t");
  Add(traces, TT_FUNCTION, "twice", "base*2");
  Add(traces, TT_FUNCTION, "base", "t");
  ASSERT_EQ(traces.CreateRecalcOrder().str(), "");
  EXPECT_EQ(traces.GetAt(1)->PreparedExpr().str(), "{2}*2");

  traces.RemoveAt(0);  // the indexes move down by one
  ASSERT_EQ(traces.CalcOrderCount(), 2);
  EXPECT_EQ(traces.GetAtCalcOrder(0)->GetTraceName().str(), "base");
  EXPECT_EQ(traces.GetAtCalcOrder(1)->GetTraceName().str(), "twice");
  EXPECT_EQ(traces.GetAt(0)->PreparedExpr().str(), "{1}*2");
  EXPECT_EQ(traces.GetAtCalcOrder(2), nullptr);
  EXPECT_EQ(traces.GetAtCalcOrder(-1), nullptr);
}

TEST(TraceOrder, WithoutAnOrderTheListOrderServes) {
  CTran tran(nullptr, true);
  CTraces& traces = tran.Traces();
  Add(traces, TT_FUNCTION, "a", "b");
  Add(traces, TT_FUNCTION, "b", "a");
  EXPECT_FALSE(traces.CreateRecalcOrder().IsEmpty());
  ASSERT_EQ(traces.CalcOrderCount(), 2);
  EXPECT_EQ(traces.GetAtCalcOrder(0), traces.GetAt(0));
  EXPECT_EQ(traces.GetAtCalcOrder(1), traces.GetAt(1));
}

// --- Finding traces by name ------------------------------------------------------------

TEST(TraceFind, PhaseNamesOnlyInTheAcCollection) {
  CTran tran(nullptr, true);
  CTran freq(nullptr, false);
  CTrace* t = Add(tran.Traces(), TT_V, "", "V(R1)", 1);
  CTrace* f = Add(freq.Traces(), TT_V, "", "V(R1)", 1);
  struct Row {
    CTraces* traces;
    std::string name;
    int kind;
    bool keep_quotes;
    CTrace* want;
  };
  const std::vector<Row> rows = {
      {&tran.Traces(), "V(R1)", 0, false, t},
      {&tran.Traces(), "v(r1)", 0, false, t},
      {&tran.Traces(), "\"V(R1)\"", 0, false, t},
      {&tran.Traces(), "\"V(R1)\"", 0, true, nullptr},
      {&tran.Traces(), "V(R1).phase", 1, false, nullptr},
      {&tran.Traces(), "V(R1)", 1, false, t},
      {&tran.Traces(), "", 0, false, nullptr},
      {&freq.Traces(), "V(R1).phase", 1, false, f},
      {&freq.Traces(), "V(R1).PHASE", 1, false, f},
      {&freq.Traces(), "V(R1)", 1, false, nullptr},
      {&freq.Traces(), "V(R1).phase", 0, false, nullptr},
      {&freq.Traces(), "V(R1)", 0, false, f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name + " kind " + std::to_string(row.kind));
    EXPECT_EQ(row.traces->FindTrace(row.name.c_str(), row.kind, row.keep_quotes), row.want);
  }
}

// --- Values of recorded traces ---------------------------------------------------------

// A transient trace "out" with run 0 holding (0, 0), (1, 10), (2, 20).
class TraceValues : public ::testing::Test {
 protected:
  TraceValues() {
    out = Add(tran.Traces(), TT_V, "out", "V(R1)", 1);
    CData* run = out->CreateData(0);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(run->AddDataPoint(i, 10.0 * i));
  }
  CTran tran{nullptr, true};
  CTrace* out = nullptr;
};

TEST_F(TraceValues, ValueListOfATransientTrace) {
  struct Row {
    double from, to, step;
    std::string want;
  };
  const std::vector<Row> rows = {
      {0.0, 2.0, 1.0, "0,10,20"},
      {0.0, 2.0, 0.5, "0,5,10,15,20"},
      {0.5, 9.0, 0.0, "5"},  // step 0: the value at from only
      {1.5, 0.0, -1.0, "15"},
      {0.0, 1.0, 2.0, "0"},  // one step does not fit
      {0.25, 0.25, 1.0, "2.5"},
      {1.0, 3.0, 1.0, "No data at t=3"},
      {-1.0, 1.0, 1.0, "No data at t=-1"},
      {0.0, 2e-3, 1e-3, "0,10e-3,20e-3"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.from) + " .. " + std::to_string(row.to) + " step " +
                 std::to_string(row.step));
    EXPECT_EQ(out->GetTraceString(row.from, row.to, row.step, 0, true, false).str(), row.want);
  }
}

TEST_F(TraceValues, ValueListReadsDigitalTracesAsSteps) {
  out->SetMode(TM_DIGITAL);
  out->SetDigThreshold(5.0);
  EXPECT_EQ(out->GetTraceString(0.0, 2.0, 0.5, 0, true, false).str(), "0,0,1,1,1");
}

TEST_F(TraceValues, ValueListNeedsRunZeroOrTheCallersRun) {
  CTrace* data = Add(tran.Traces(), TT_DATA, "given", "", -1);
  EXPECT_EQ(data->GetTraceString(0.0, 1.0, 1.0, 0, true, false).str(), "No data");
  CData* run = data->CreateData(-1);
  ASSERT_TRUE(run->AddDataPoint(0.0, 1.5));
  ASSERT_TRUE(run->AddDataPoint(1.0, 2.5));
  EXPECT_EQ(data->GetTraceString(0.0, 1.0, 1.0, 0, true, false).str(), "1.5,2.5");
  out->DeleteAllData();
  EXPECT_EQ(out->GetTraceString(0.0, 1.0, 1.0, 0, true, false).str(), "No data");
}

TEST(TraceValueList, AcValueLists) {
  CTran freq(nullptr, false);
  CTrace* v = Add(freq.Traces(), TT_V, "gain", "V(R1)", 1);
  CData* run = v->CreateData(0);
  ASSERT_TRUE(run->AddFreqDataPoint(1.0, 1.0, 0.0));
  ASSERT_TRUE(run->AddFreqDataPoint(10.0, 10.0, -45.0));
  ASSERT_TRUE(run->AddFreqDataPoint(100.0, 100.0, -90.0));
  struct Row {
    double from, to;
    int count;
    bool linear, phase, db;
    std::string want;
  };
  const std::vector<Row> rows = {
      {1.0, 100.0, 3, false, false, false, "1,10,100"},
      {1.0, 100.0, 3, false, true, false, "0,-45,-90"},
      {1.0, 100.0, 3, false, false, true, "0,20,40"},
      {1.0, 10.0, 2, true, false, false, "1,10"},
      {10.0, 10.0, 5, false, false, false, "10"},  // from >= to: one point
      {10.0, 100.0, 0, false, false, false, "10"},  // no count: one point
      {0.0, 10.0, 3, false, false, false, "Invalid range"},
      {1.0, 100.0, 10001, false, false, false, "Number of points > 10000"},
      {1.0, 1000.0, 4, false, false, false, "No data or invalid data at f=1e+3"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.from) + " .. " + std::to_string(row.to) + " x" +
                 std::to_string(row.count));
    v->SetShowsDb(row.db);
    v->SetLogFreq(!row.linear);
    EXPECT_EQ(v->GetTraceString(row.from, row.to, 0.0, row.count, row.linear, row.phase).str(),
              row.want);
  }
}

TEST_F(TraceValues, NamedValuesForFormulas) {
  CTraces& traces = tran.Traces();
  traces.SetCursors(0.5, 2.0);
  CData* kept = out->CreateData(2);  // a kept result: 100 everywhere
  ASSERT_TRUE(kept->AddDataPoint(0.0, 100.0));
  ASSERT_TRUE(kept->AddDataPoint(2.0, 100.0));
  struct Row {
    std::string name;
    int selected;
    bool known, ok;
    double want;
  };
  const std::vector<Row> rows = {
      {"left", 0, true, true, 0.5},
      {"RIGHT", 0, true, true, 2.0},
      {"delta", 0, true, true, 1.5},
      {"out.max", 0, true, true, 20.0},
      {"OUT.min", 0, true, true, 5.0},     // the value at the left cursor
      {"out.(1.5)", 0, true, true, 15.0},  // a position in brackets
      {"out", 0, true, true, 20.0},        // no value name: at the right cursor
      {"out.slope", 0, true, false, 0.0},  // known, but not for transient traces
      {"out.max", 2, true, true, 100.0},   // the selected run
      {"out.max", 5, true, true, 20.0},    // a selected run that is missing
      {"out.nothing", 0, false, false, 0.0},
      {"other.max", 0, false, false, 0.0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name + " in run " + std::to_string(row.selected));
    traces.SetSelectedRun(row.selected);
    double v = -1.0;
    bool ok = !row.ok;
    EXPECT_EQ(traces.GetTraceValue(row.name.c_str(), &v, &ok), row.known);
    EXPECT_EQ(ok, row.ok);
    if (row.ok) {
      EXPECT_DOUBLE_EQ(v, row.want);
    }
  }
}

TEST_F(TraceValues, FormulasReadTracesByNameAndByIndex) {
  CTraces& traces = tran.Traces();
  traces.SetCursors(0.0, 2.0);
  // Names: the whole trace name is its present (last) value.
  struct Row {
    std::string text;
    double want;
  };
  for (const Row& row : {Row{"out", 20.0}, Row{"out.mean*2", 20.0}, Row{"out.(0.5)+1", 6.0},
                         Row{"out.(2*0.25)", 5.0}, Row{"right-left", 2.0}}) {
    SCOPED_TRACE(row.text);
    double v = 0.0;
    ASSERT_TRUE(formula(row.text.c_str(), &v, nullptr, nullptr, nullptr, false, &traces, nullptr,
                        false, false, 0, false))
        << m_global_errstr.str();
    EXPECT_DOUBLE_EQ(v, row.want);
  }

  // Index references read at the first variable's value.
  CVarList vars;
  vars.AddVar("t", NUM_DOUBLE, 0);
  SetDoubleNumber(&vars.At(0)->values[0], 1.5);
  double v = 0.0;
  ASSERT_TRUE(formula("{0}*2", &v, nullptr, &vars, nullptr, false, &traces, nullptr, false, true,
                      0, false))
      << m_global_errstr.str();
  EXPECT_EQ(v, 30.0);
  SetDoubleNumber(&vars.At(0)->values[0], 3.0);  // after the last point
  v = 1.0;
  EXPECT_FALSE(formula("{0}", &v, nullptr, &vars, nullptr, false, &traces, nullptr, false, true, 0,
                       false));
  EXPECT_EQ(m_global_errstr.str(), "_No data for trace out");
  EXPECT_EQ(v, 0.0);
  EXPECT_FALSE(formula("{0.4}", &v, nullptr, &vars, nullptr, false, &traces, nullptr, false, true,
                       0, false));  // run 4 does not exist
  EXPECT_EQ(m_global_errstr.str(), "_No data for trace out");
}

TEST(TraceValueList, AcTracesReadAsComplexNumbers) {
  CTran freq(nullptr, false);
  CTraces& traces = freq.Traces();
  CTrace* v = Add(traces, TT_V, "gain", "V(R1)", 1);
  CData* run = v->CreateData(0);
  ASSERT_TRUE(run->AddFreqDataPoint(1.0, 2.0, 90.0));
  ASSERT_TRUE(run->AddFreqDataPoint(10.0, 4.0, 180.0));

  SNumber n;
  double x = 0.0;
  ASSERT_TRUE(formula("gain", &x, nullptr, nullptr, nullptr, false, &traces, &n, true, false, 0,
                      false));
  ASSERT_EQ(n.kind, NUM_COMPLEX);
  EXPECT_NEAR(n.v.d, -4.0, 1e-9);
  EXPECT_NEAR(n.im, 0.0, 1e-9);
  ASSERT_TRUE(formula("gain.phase", &x, nullptr, nullptr, nullptr, false, &traces, &n, false,
                      false, 0, false));
  EXPECT_DOUBLE_EQ(x, 180.0);

  CVarList vars;
  vars.CreateFreqVarlist();
  vars.SetFreqVarlist(1.0);
  ASSERT_TRUE(formula("{0}", &x, nullptr, &vars, nullptr, false, &traces, &n, true, true, 0, false))
      << m_global_errstr.str();
  ASSERT_EQ(n.kind, NUM_COMPLEX);
  EXPECT_NEAR(n.v.d, 0.0, 1e-9);  // 2 at 90 degrees
  EXPECT_NEAR(n.im, 2.0, 1e-9);
}

}  // namespace
