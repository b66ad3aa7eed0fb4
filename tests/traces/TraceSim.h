#pragma once
// Helpers of the trace simulation tests: a probe element whose trace
// answers the tests choose, and a document with an engine whose solution
// vector the tests fill by hand.
//
// Probe models:
//   "R" (12): two pins, no extra unknown; GetTraceNodes gives the pins and
//             the parameter R (ohm) as the resistance. V, I and P traces.
//   "V" (16): two pins, one extra unknown (its current). V, I, P and S.
//   "Var" (1): GetTraceNodes gives the parameter R as the value. Var traces.
//   "File" (8): GetTraceNodes false; GetTraceData gives `data` + 10 * kind
//             (and `data_im` as the second value). V, I, P traces.
//   "Logic" (44): no trace flags at all.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "circuit/Cmp.h"
#include "circuit/Cmps.h"
#include "circuit/ElemSet.h"
#include "circuit/Param.h"
#include "doc/Doc.h"
#include "engine/Calc.h"
#include "expr/Formula.h"
#include "traces/Data.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"

inline CParam m_param_probe[] = {CParam(PK_FORMULA, "R", "Ohm"), CParam(PK_ON_OFF, "Active", ""),
                                 CParam()};

inline const SElemModel m_models_probe[] = {
    {"R", MC_R, m_param_probe, 0, 0, MF_TRACE_V | MF_TRACE_I | MF_TRACE_P},
    {"V", MC_V, m_param_probe, 0, 1, MF_TRACE_V | MF_TRACE_I | MF_TRACE_P | MF_TRACE_3},
    {"Var", MC_VAR, m_param_probe, 0, 0, MF_TRACE_4},
    {"File", MC_FILE, m_param_probe, 0, 0, MF_TRACE_V | MF_TRACE_I | MF_TRACE_P},
    {"Logic", MC_LOGIC, m_param_probe, 0, 0, 0},
    {}};

class CProbe;
inline CCmp* CreateProbe(const SElemType* type);

// Two element types: a plain one, and one with the current source's type
// number (31), which the AC-source rule of trace binding looks for.
inline const SElemType m_elemtype_probe[] = {
    {"R_R", 1, CreateProbe, 2, nullptr, m_models_probe, 0, "probe", 0},
    {"I_I", 31, CreateProbe, 2, nullptr, m_models_probe, 0, "current probe", 0},
    {}};

class CProbe : public CCmp {
 public:
  explicit CProbe(const SElemType* type) : CCmp(type) { r_.SetVal(4.0); }

  CParam* GetParams() override {
    m_param_probe[0].BindFormula(&r_);
    m_param_probe[1].BindInt(&active_);
    return m_param_probe;
  }
  bool GetTraceNodes(CCalc* /*calc*/, int /*kind*/, int& n1, int& n2, int& extra,
                     double& k) override {
    if (Model() == MC_FILE) return false;
    n1 = Node(0);
    n2 = Node(1);
    extra = FirstExtra();
    k = r_.Value();
    return true;
  }
  void GetTraceData(CCalc* /*calc*/, int kind, double* v, double* v2) override {
    *v = data + 10.0 * kind;
    if (v2 != nullptr) *v2 = data_im;
  }

  CFormula& R() { return r_; }
  double data = 0.0;
  double data_im = 0.0;

 private:
  CFormula r_;
  int active_ = 1;
};

inline CCmp* CreateProbe(const SElemType* type) { return new CProbe(type); }

// A document with probes, an engine with matrices, and traces of its
// transient collection.
class TraceSim : public ::testing::Test {
 protected:
  ~TraceSim() override {
    // The engine gives the probes their document node numbers back while
    // they still exist.
    if (calc_ != nullptr) calc_->ClearCalc();
    doc_.SetRunning(false);
  }

  CTraces& Traces() { return doc_.Tran()->Traces(); }

  // A probe named name in model `model` on document nodes a and b (a
  // negative node leaves the pin unconnected).
  CProbe* AddProbe(const char* name, int model, int a, int b, int type = 0) {
    auto* p = new CProbe(&m_elemtype_probe[type]);
    p->SetModel(model);
    p->SetName(name);
    p->SetId(doc_.Cmps()->GetNewCmpId());
    p->SetNode(0, a);
    p->SetNode(1, b);
    doc_.Cmps()->Add(p);
    return p;
  }

  // A trace of kind type bound to cmp (or to no component), named by its
  // kind as the library names traces it adds.
  CTrace* AddTrace(int type, CCmp* cmp, const std::string& text, CTraces* traces = nullptr) {
    CTraces* list = traces != nullptr ? traces : &Traces();
    auto* t = new CTrace(list);
    t->SetType(type);
    t->SetCmpId(cmp != nullptr ? cmp->Id() : 0);
    t->SetExprText(text.c_str());
    t->SetExpr(text.c_str());
    if (type != TT_DATA) t->SetName(t->Expr());
    list->Add(t);
    return t;
  }

  // Takes the probes into the engine and gives it its matrices; x[i] then
  // addresses node i (nodes keep their document numbers when they are 1,
  // 2, ... without gaps) and the extra unknowns follow.
  CCalc* Start() {
    calc_ = doc_.CreateCalc();
    EXPECT_NE(calc_, nullptr);
    EXPECT_TRUE(calc_->InitCmps(doc_.Cmps())) << calc_->ErrorText().str();
    EXPECT_TRUE(calc_->CreateMatr()) << calc_->ErrorText().str();
    return calc_;
  }

  // Binds, orders and gives every trace its run, as a simulation start does.
  void BindTraces() {
    Traces().CreateRunData(true);
    Traces().InitTraces(calc_);
    EXPECT_EQ(Traces().CreateRecalcOrder().str(), "");
  }

  // One recorded point at time t.
  bool Record(double t, bool replace = false) {
    calc_->SetTime(t);
    return doc_.Tran()->AddTranPoint(replace);
  }

  // The points of the trace's current run.
  static std::vector<std::pair<double, double>> Points(const CTrace* trace) {
    std::vector<std::pair<double, double>> out;
    const CData* run = trace->GetData(0);
    for (int i = 0; run != nullptr && i < run->GetSize(); ++i) {
      double t, v;
      run->GetDataAt(i, &t, &v, false);
      out.emplace_back(t, v);
    }
    return out;
  }

  CDoc doc_;
  CCalc* calc_ = nullptr;
};
