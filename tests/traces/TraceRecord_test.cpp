// Traces during a simulation: binding to components, one recorded point per
// accepted time point for every kind, the replace mode, formula traces and
// their failures, the storage runs of a trace, the removal of stale traces,
// and V, I, P, S read by formulas from the running engine.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "TraceSim.h"
#include "base/globals.h"

namespace {

using PointList = std::vector<std::pair<double, double>>;

// The solution every recording test starts from:
//   R1 (model R, 4 ohm) on nodes 1 and 2; V1 (model V) from node 2 to
//   ground with its current unknown 3; x[1] = 3 V, x[2] = 5 V, x[3] = 0.25 A.
class TraceRecord : public TraceSim {
 protected:
  void Circuit() {
    r1 = AddProbe("R1", MC_R, 1, 2);
    v1 = AddProbe("V1", MC_V, 2, 0);
    Start();
    ASSERT_EQ(calc_->NodeCount(), 2);
    ASSERT_EQ(v1->FirstExtra(), 3);
    calc_->X()[1] = 3.0;
    calc_->X()[2] = 5.0;
    calc_->X()[3] = 0.25;
  }
  CProbe* r1 = nullptr;
  CProbe* v1 = nullptr;
};

TEST_F(TraceRecord, EveryKindFromTheSolutionOrItsComponent) {
  CProbe* open = AddProbe("X1", MC_R, 1, -1);  // second pin unconnected
  CProbe* r0 = AddProbe("R0", MC_R, 1, 2);
  r0->R().SetVal(0.0);
  CProbe* f1 = AddProbe("F1", MC_FILE, 1, 2);  // computes its own values
  f1->data = 7.0;
  CProbe* var = AddProbe("N", MC_VAR, 0, 0);
  var->R().SetVal(42.0);
  Circuit();
  v1->SetState(3);

  struct Row {
    int type;
    CCmp* cmp;
    std::string text;
    int selector;
    double want;
  };
  const std::vector<Row> rows = {
      {TT_V, r1, "R1", 0, 2.0},           // x[2] - x[1]
      {TT_V, r1, "R1", 1, 3.0},           // node A only
      {TT_V, r1, "R1", 2, 5.0},           // node B only
      {TT_I, r1, "R1", 0, 0.5},           // (5 - 3) / 4 ohm
      {TT_P, r1, "R1", 0, 1.0},           // 2^2 / 4 ohm
      {TT_V, v1, "V1", 0, -5.0},          // x[0] - x[2]
      {TT_I, v1, "V1", 0, 0.25},          // its current unknown
      {TT_P, v1, "V1", 0, -1.25},         // -5 V * 0.25 A
      {TT_S, v1, "V1", 0, 3.0},           // its state number
      {TT_V, open, "X1", 0, 0.0},         // an open pin reads nothing
      {TT_I, r0, "R0", 0, 0.0},           // no current without resistance
      {TT_P, r0, "R0", 0, 0.0},
      {TT_V, f1, "F1", 0, 7.0},           // the component's own values
      {TT_I, f1, "F1", 0, 17.0},
      {TT_P, f1, "F1", 0, 27.0},
      {TT_VAR, var, "N", 0, 42.0},        // the value the variable gives
      {TT_FUNCTION, nullptr, "R1.R", 0, 4.0},
      {TT_FUNCTION, nullptr, "2*t+1", 0, 2.0},
  };
  std::vector<CTrace*> traces;
  for (const Row& row : rows) {
    traces.push_back(AddTrace(row.type, row.cmp, row.text));
    traces.back()->SetVoltageSelector(row.selector);
    traces.back()->SetName(AnsiString("trace ") + std::to_string(traces.size()).c_str());
  }
  BindTraces();
  ASSERT_TRUE(Record(0.5));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(std::string(CTrace::TypeText(rows[i].type)) + "(" + rows[i].text + ") selector " +
                 std::to_string(rows[i].selector));
    EXPECT_EQ(Points(traces[i]), (PointList{{0.5, rows[i].want}}));
  }
  // Component-bound or solution-reading, as the component decided.
  EXPECT_EQ(traces[0]->BoundCmp(), nullptr);
  EXPECT_EQ(traces[8]->BoundCmp(), v1);   // S
  EXPECT_EQ(traces[12]->BoundCmp(), f1);  // GetTraceNodes false
  EXPECT_TRUE(traces[16]->HasParamRef());
  EXPECT_FALSE(traces[17]->HasParamRef());
}

TEST_F(TraceRecord, ParameterTraceFollowsTheParameter) {
  Circuit();
  CTrace* ref = AddTrace(TT_FUNCTION, nullptr, "  R1.R ");
  CTrace* formula = AddTrace(TT_FUNCTION, nullptr, "R1.R*2");
  BindTraces();
  ASSERT_TRUE(Record(0.0));
  r1->R().SetVal(8.0);  // changed between two points of one simulation
  ASSERT_TRUE(Record(1.0));
  EXPECT_EQ(Points(ref), (PointList{{0.0, 4.0}, {1.0, 8.0}}));
  EXPECT_EQ(Points(formula), (PointList{{0.0, 8.0}, {1.0, 16.0}}));
}

TEST_F(TraceRecord, FormulaReadsOtherTracesAndTheEngine) {
  Circuit();
  // Listed before the trace it names: the order puts V(R1) first.
  CTrace* twice = AddTrace(TT_FUNCTION, nullptr, "2*V(R1)");
  CTrace* v = AddTrace(TT_V, r1, "R1");
  // No trace is named I(R1): the formula asks the running engine.
  CTrace* engine = AddTrace(TT_FUNCTION, nullptr, "I(R1)*10");
  BindTraces();
  EXPECT_EQ(twice->PreparedExpr().str(), "2*{1}");
  EXPECT_EQ(engine->PreparedExpr().str(), "I(R1)*10");
  doc_.SetRunning(true);
  ASSERT_TRUE(Record(0.5)) << calc_->ErrorText().str();
  EXPECT_EQ(Points(v), (PointList{{0.5, 2.0}}));
  EXPECT_EQ(Points(twice), (PointList{{0.5, 4.0}}));
  EXPECT_EQ(Points(engine), (PointList{{0.5, 5.0}}));
}

TEST_F(TraceRecord, FormulaFailuresStopThePointButNotTheOthers) {
  Circuit();
  CTrace* bad = AddTrace(TT_FUNCTION, nullptr, "1/0");
  CTrace* v = AddTrace(TT_V, r1, "R1");
  BindTraces();
  EXPECT_FALSE(Record(0.5));
  EXPECT_EQ(calc_->ErrorText().str(), "Division by zero");
  EXPECT_TRUE(Points(bad).empty());
  EXPECT_EQ(Points(v), (PointList{{0.5, 2.0}}));

  // Without a running engine V(...) is neither a trace nor a quantity.
  calc_->ClearError();
  bad->SetExprText("V(R2)");
  BindTraces();
  EXPECT_FALSE(Record(0.6));
  EXPECT_EQ(calc_->ErrorText().str(), "Function V not allowed");
}

TEST_F(TraceRecord, MissingTraceDataSkipsThePointSilently) {
  Circuit();
  CTrace* data = AddTrace(TT_DATA, nullptr, "");
  data->SetName("samples");
  data->SetCmpId(-1);
  CTrace* f = AddTrace(TT_FUNCTION, nullptr, "2*samples");
  BindTraces();
  EXPECT_EQ(data->GetData(0), nullptr);  // Data traces get no current run
  ASSERT_TRUE(Record(0.5));              // "_No data for trace samples"
  EXPECT_EQ(calc_->ErrorText().str(), "");
  EXPECT_TRUE(Points(f).empty());

  // The caller's samples (run -1) are what the formula reads.
  CData* given = data->CreateData(-1);
  ASSERT_TRUE(given->AddDataPoint(0.0, 1.0));
  ASSERT_TRUE(given->AddDataPoint(1.0, 3.0));
  ASSERT_TRUE(Record(0.5));
  EXPECT_EQ(Points(f), (PointList{{0.5, 4.0}}));
  EXPECT_EQ(given->GetSize(), 2);  // recording never touches them
}

TEST_F(TraceRecord, ScopeAndMathRecordNothing) {
  Circuit();
  CTrace* scope = AddTrace(TT_SCOPE, nullptr, "");
  CTrace* v = AddTrace(TT_V, r1, "R1");
  CTrace* math = AddTrace(TT_MATH, nullptr, "V(R1)");
  BindTraces();
  ASSERT_TRUE(Record(0.5));
  ASSERT_NE(scope->GetData(0), nullptr);
  ASSERT_NE(math->GetData(0), nullptr);
  EXPECT_EQ(scope->GetData(0)->GetSize(), 0);
  EXPECT_EQ(math->GetData(0)->GetSize(), 0);
  EXPECT_EQ(Points(v).size(), 1u);
}

TEST_F(TraceRecord, ReplaceOverwritesTheFirstPoint) {
  Circuit();
  CTrace* v = AddTrace(TT_V, r1, "R1");
  BindTraces();
  ASSERT_TRUE(Record(0.0, true));  // an empty run takes the point
  calc_->X()[2] = 6.0;
  ASSERT_TRUE(Record(0.1, true));
  EXPECT_EQ(Points(v), (PointList{{0.1, 3.0}}));
  calc_->X()[2] = 7.0;
  ASSERT_TRUE(Record(0.2));
  EXPECT_EQ(Points(v), (PointList{{0.1, 3.0}, {0.2, 4.0}}));
}

TEST_F(TraceRecord, FormulaTraceTakesNoPointBeforeItsLastOne) {
  Circuit();
  CTrace* f = AddTrace(TT_FUNCTION, nullptr, "t");
  BindTraces();
  ASSERT_TRUE(Record(1.0));
  ASSERT_TRUE(Record(0.5));
  EXPECT_EQ(Points(f), (PointList{{1.0, 1.0}}));
  ASSERT_TRUE(Record(1.0));  // the same time is not "before"
  EXPECT_EQ(Points(f), (PointList{{1.0, 1.0}, {1.0, 1.0}}));
}

TEST_F(TraceRecord, LostMemoryIsNotedByTheAnalysis) {
  Circuit();
  CTrace* v = AddTrace(TT_V, r1, "R1");
  BindTraces();
  ASSERT_TRUE(Record(0.0));
  EXPECT_FALSE(doc_.Tran()->DataLost());
  EXPECT_EQ(doc_.Tran()->Bytes(), 16 * 65536);  // one chunk of (t, v) points

  // A trace added now, while the first keeps its chunk, finds no room for
  // a chunk of its own.
  CTrace* w = AddTrace(TT_I, r1, "R1");
  ASSERT_TRUE(w->CreateRunData(false));
  Traces().InitTraces(calc_);
  doc_.Tran()->DataTran().max_bytes = doc_.Tran()->Bytes();
  EXPECT_TRUE(Record(0.1));  // the trace still succeeds
  EXPECT_TRUE(doc_.Tran()->DataLost());
  EXPECT_EQ(Points(w).size(), 0u);
  EXPECT_EQ(Points(v).size(), 2u);

  v->DeleteAllData();
  w->DeleteAllData();
  EXPECT_EQ(doc_.Tran()->Bytes(), 0);
}

TEST_F(TraceRecord, AcOnlyTracesBindToTheAcSource) {
  CProbe* src = AddProbe("V9", MC_V, 1, 0);
  CProbe* isrc = AddProbe("I9", MC_V, 1, 0, 1);  // type number 31
  Start();
  CTraces& ac = doc_.Freq()->Traces();
  CTrace* z = AddTrace(TT_Z, nullptr, "Z", &ac);
  CTrace* v = AddTrace(TT_V, nullptr, "V", &ac);  // not AC-only: no source

  doc_.FreqSettings().id = src->Id();
  ac.InitTraces(calc_);
  EXPECT_EQ(z->NodeA(), 1);
  EXPECT_EQ(z->NodeB(), 0);
  EXPECT_EQ(z->CurrentIndex(), src->FirstExtra());
  EXPECT_EQ(v->NodeA(), -1);

  doc_.FreqSettings().id = isrc->Id();  // a current source drives no current unknown
  ac.InitTraces(calc_);
  EXPECT_EQ(z->NodeA(), 1);
  EXPECT_EQ(z->CurrentIndex(), 0);

  doc_.FreqSettings().id = 0;
  ac.InitTraces(calc_);
  EXPECT_EQ(z->NodeA(), -1);
  EXPECT_EQ(z->NodeB(), -1);
}

// AC points: magnitude and phase (degrees) of x + j Yim.
TEST_F(TraceRecord, AcPointsFromTheComplexSolution) {
  CProbe* f1 = AddProbe("F1", MC_FILE, 1, 2);  // gives data + 10 * kind + j data_im
  f1->data = 3.0;
  f1->data_im = 4.0;
  Circuit();
  CTraces& ac = doc_.Freq()->Traces();
  double* re = calc_->X();
  double* im = calc_->Yim();
  re[1] = 0.0, im[1] = 0.0;
  re[2] = 3.0, im[2] = 4.0;
  re[3] = 0.0, im[3] = 0.5;
  CTrace* v = AddTrace(TT_V, r1, "R1", &ac);     // 3 + 4j
  CTrace* i = AddTrace(TT_I, r1, "R1", &ac);     // |3 + 4j| / 4 ohm
  CTrace* iv = AddTrace(TT_I, v1, "V1", &ac);    // x[3] = 0.5j
  CTrace* z = AddTrace(TT_Z, nullptr, "Z", &ac);  // 1 / 0.5j = -2j
  CTrace* fv = AddTrace(TT_V, f1, "F1", &ac);    // 3 + 4j
  CTrace* fp = AddTrace(TT_P, f1, "F1", &ac);    // 23 + 4j
  doc_.FreqSettings().id = v1->Id();
  ac.CreateRunData(true);
  ac.InitTraces(calc_);
  ASSERT_EQ(ac.CreateRecalcOrder().str(), "");
  ASSERT_TRUE(doc_.Freq()->AddFreqPoint(10.0));

  struct Row {
    CTrace* trace;
    double mag, phase;
  };
  const double deg = 180.0 / 3.14159265358;
  for (const Row& row : {Row{v, 5.0, std::atan2(4.0, 3.0) * deg}, Row{i, 1.25, std::atan2(4.0, 3.0) * deg},
                         Row{iv, 0.5, 90.0}, Row{z, 2.0, -90.0}, Row{fv, 5.0, std::atan2(4.0, 3.0) * deg},
                         Row{fp, std::hypot(23.0, 4.0), std::atan2(4.0, 23.0) * deg}}) {
    SCOPED_TRACE(row.trace->GetTraceName().str());
    double f, mag, ph;
    ASSERT_TRUE(row.trace->GetData(0)->GetFreqDataAt(0, &f, &mag, &ph));
    EXPECT_EQ(f, 10.0);
    EXPECT_NEAR(mag, row.mag, 1e-12);
    EXPECT_NEAR(ph, row.phase, 1e-9);
  }

  // A phase that crosses -180 degrees goes on below it.
  re[2] = -1.0, im[2] = 0.1;   // about 174 degrees
  ASSERT_TRUE(doc_.Freq()->AddFreqPoint(20.0));
  re[2] = -1.0, im[2] = -0.1;  // about -174 degrees, stored as 186
  ASSERT_TRUE(doc_.Freq()->AddFreqPoint(30.0));
  double f, mag, ph;
  ASSERT_TRUE(v->GetData(0)->GetFreqDataAt(2, &f, &mag, &ph));
  EXPECT_NEAR(ph, 180.0 + std::atan2(0.1, 1.0) * deg, 1e-9);
}

TEST_F(TraceRecord, OpenLoopTraceNeedsTheSourceBetweenItsNodes) {
  Circuit();
  CTraces& ac = doc_.Freq()->Traces();
  CTrace* loop = AddTrace(TT_LOOP, r1, "R1", &ac);
  loop->SetName("loop");
  ac.CreateRunData(true);
  ac.InitTraces(calc_);
  ASSERT_EQ(ac.CreateRecalcOrder().str(), "");
  calc_->X()[1] = 0.0;  // node B's voltage 5, node A's 0
  ASSERT_TRUE(doc_.Freq()->AddFreqPoint(1.0));
  double f, mag, ph;
  ASSERT_TRUE(loop->GetData(0)->GetFreqDataAt(0, &f, &mag, &ph));
  EXPECT_EQ(mag, 0.0);

  calc_->X()[1] = 2.0;  // gain |a| / |b| = 2 / 5, phase of -a against b
  calc_->X()[2] = 5.0;
  ASSERT_TRUE(doc_.Freq()->AddFreqPoint(2.0));
  ASSERT_TRUE(loop->GetData(0)->GetFreqDataAt(1, &f, &mag, &ph));
  EXPECT_DOUBLE_EQ(mag, 0.4);
  EXPECT_NEAR(std::fabs(ph), 180.0, 1e-9);

  calc_->X()[2] = 0.0;
  EXPECT_FALSE(doc_.Freq()->AddFreqPoint(3.0));
  EXPECT_EQ(calc_->ErrorText().str(), "loop : Wrong AC source location for open loop trace");
}

// --- Storage runs of one trace ---------------------------------------------------------

std::vector<int> RunIds(const CTrace& trace) {
  std::vector<int> ids;
  for (int i = 0; i < trace.GetDataSize(); ++i) ids.push_back(trace.GetDataAt(i)->RunId());
  return ids;
}

TEST(TraceRuns, DeleteDataRules) {
  struct Row {
    int id;
    std::vector<int> left;
    bool current_left;
  };
  const std::vector<Row> rows = {
      {1, {0, 2, -1}, true},        // every run with that id
      {-1, {0, 1, 2, 1}, true},
      {0, {1, 2, -1, 1}, false},    // the current run goes too
      {-2, {0, -1}, true},          // every kept result (id >= 1)
      {-3, {}, false},              // everything
      {7, {0, 1, 2, -1, 1}, true},  // no such run
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("DeleteData(" + std::to_string(row.id) + ")");
    CTran tran(nullptr, true);
    CTrace trace(&tran.Traces());
    for (int id : {1, 2, -1, 1}) ASSERT_NE(trace.CreateData(id), nullptr);
    CData* current = trace.CreateData(0);
    ASSERT_EQ(RunIds(trace), (std::vector<int>{0, 1, 2, -1, 1}));
    ASSERT_EQ(trace.GetData(0), current);
    trace.DeleteData(row.id);
    EXPECT_EQ(RunIds(trace), row.left);
    EXPECT_EQ(trace.GetData(0) != nullptr, row.current_left);
  }
}

TEST(TraceRuns, CurrentRunIsOneAndClearedOnDemand) {
  CTran tran(nullptr, true);
  CTrace trace(&tran.Traces());
  EXPECT_EQ(trace.GetData(0), nullptr);
  ASSERT_TRUE(trace.CreateRunData(false));
  CData* run = trace.GetData(0);
  ASSERT_NE(run, nullptr);
  ASSERT_TRUE(run->AddDataPoint(0.0, 1.0));
  ASSERT_TRUE(run->AddDataPoint(1.0, 2.0));
  EXPECT_EQ(trace.DataTrace().points_added, 2);

  ASSERT_TRUE(trace.CreateRunData(false));  // kept
  EXPECT_EQ(trace.GetData(0), run);
  EXPECT_EQ(run->GetSize(), 2);
  EXPECT_EQ(trace.DataTrace().points_added, 0);
  ASSERT_TRUE(trace.CreateRunData(true));  // emptied, same run
  EXPECT_EQ(trace.GetData(0), run);
  EXPECT_EQ(run->GetSize(), 0);

  CData* other = trace.CreateData(0);  // a new current run replaces the old one
  EXPECT_NE(other, nullptr);
  EXPECT_EQ(trace.GetData(0), other);
  EXPECT_EQ(trace.GetDataSize(), 1);

  trace.DeleteAllData();
  EXPECT_EQ(trace.GetDataSize(), 0);
  EXPECT_EQ(trace.GetData(0), nullptr);
}

TEST(TraceRuns, RunsReadTheTraceSettings) {
  CTran tran(nullptr, true);
  CTrace trace(&tran.Traces());
  CData* run = trace.CreateData(0);
  ASSERT_TRUE(run->AddDataPoint(0.0, 1.0));
  ASSERT_TRUE(run->AddDataPoint(1.0, 3.0));
  double v;
  ASSERT_TRUE(run->GetDataPoint(0.5, &v, true));
  EXPECT_EQ(v, 2.0);  // analog: interpolated
  trace.SetMode(TM_DIGITAL);
  trace.SetDigThreshold(2.5);
  ASSERT_TRUE(run->GetDataPoint(0.5, &v, true));
  EXPECT_EQ(v, 0.0);  // digital: held, 1 is below the threshold
  trace.SetShift(10.0);
  EXPECT_EQ(run->Find(10.5), 0);  // times read with the shift
  EXPECT_EQ(run->Find(0.5), -1);
}

// --- Stale traces ----------------------------------------------------------------------

TEST_F(TraceRecord, UpdateRemovesTracesOfGoneComponentsAndKinds) {
  CProbe* r = AddProbe("R1", MC_R, 1, 2);
  CProbe* v = AddProbe("V1", MC_V, 2, 0);
  CProbe* n = AddProbe("N", MC_VAR, 0, 0);
  AddTrace(TT_V, r, "R1");
  AddTrace(TT_I, v, "V1");
  AddTrace(TT_S, v, "V1");
  AddTrace(TT_VAR, n, "N");
  AddTrace(TT_V, n, "N");  // a variable offers no voltage
  AddTrace(TT_FUNCTION, nullptr, "t");
  auto names = [this] {
    std::vector<std::string> out;
    for (int i = 0; i < Traces().Count(); ++i) out.push_back(Traces().GetAt(i)->GetTraceName().str());
    return out;
  };

  EXPECT_TRUE(Traces().UpdateTraces());
  EXPECT_EQ(names(), (std::vector<std::string>{"V(R1)", "I(V1)", "S(V1)", "N", "t"}));
  EXPECT_FALSE(Traces().UpdateTraces());

  doc_.Cmps()->DeleteCmp(v->Id());
  EXPECT_TRUE(Traces().UpdateTraces());
  EXPECT_EQ(names(), (std::vector<std::string>{"V(R1)", "N", "t"}));

  r->SetModel(MC_LOGIC);  // a model without traces
  EXPECT_TRUE(Traces().UpdateTraces());
  EXPECT_EQ(names(), (std::vector<std::string>{"N", "t"}));
}

// --- V, I, P, S in formulas during a simulation -------------------------------------------

TEST_F(TraceRecord, FormulasReadQuantitiesOfTheRunningEngine) {
  CProbe* f1 = AddProbe("F1", MC_FILE, 1, 2);
  f1->data = 7.0;
  AddProbe("L1", MC_LOGIC, 1, 2);
  Circuit();
  v1->SetState(3);
  doc_.SetRunning(true);

  struct Row {
    std::string text;
    double want;
    std::string error;
  };
  const std::vector<Row> rows = {
      {"V(R1)", 2.0, ""},     {"I(R1)", 0.5, ""},   {"P(R1)", 1.0, ""},
      {"I( V1 )", 0.25, ""},  {"P(V1)", -1.25, ""}, {"S(V1)", 3.0, ""},
      {"V(F1)", 7.0, ""},     {"I(F1)", 17.0, ""},
      {"V(L1)", 0, "V trace not supported by L1"},
      {"I(L1)", 0, "I trace not supported by L1"},
      {"P(L1)", 0, "P trace not supported by L1"},
      {"S(R1)", 0, "State trace not supported by R1"},
      {"V(R9)", 0, "Unknown name 'R9'"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    double v = -1.0;
    const bool ok = formula(row.text.c_str(), &v, &doc_, nullptr, nullptr, true, nullptr, nullptr,
                            false, false, 0, false);
    if (row.error.empty()) {
      ASSERT_TRUE(ok) << m_global_errstr.str();
      EXPECT_EQ(v, row.want);
    } else {
      EXPECT_FALSE(ok);
      EXPECT_EQ(m_global_errstr.str(), row.error);
    }
  }

  doc_.SetRunning(false);
  double v = 0.0;
  EXPECT_FALSE(formula("V(R1)", &v, &doc_, nullptr, nullptr, true, nullptr, nullptr, false, false,
                       0, false));
  EXPECT_EQ(m_global_errstr.str(), "Function V not allowed");
}

TEST_F(TraceRecord, QuantitiesAreComplexDuringAnAcAnalysis) {
  Circuit();
  calc_->SetTransient(false);
  calc_->Yim()[1] = 1.0;  // V(R1) = (5 + 4j) - (3 + 1j) = 2 + 3j
  calc_->Yim()[2] = 4.0;
  doc_.SetRunning(true);
  struct Row {
    std::string text;
    double re, im;
  };
  for (const Row& row : {Row{"V(R1)", 2.0, 3.0}, Row{"I(R1)", 0.5, 0.75},
                         Row{"P(R1)", -1.25, 3.0}}) {  // (2 + 3j)^2 / 4
    SCOPED_TRACE(row.text);
    SNumber n;
    double v;
    ASSERT_TRUE(formula(row.text.c_str(), &v, &doc_, nullptr, nullptr, true, nullptr, &n, false,
                        false, 0, false))
        << m_global_errstr.str();
    ASSERT_EQ(n.kind, NUM_COMPLEX);
    EXPECT_DOUBLE_EQ(n.v.d, row.re);
    EXPECT_DOUBLE_EQ(n.im, row.im);
  }
}

}  // namespace
