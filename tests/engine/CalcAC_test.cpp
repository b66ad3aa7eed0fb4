// The AC analysis of a document: an RC low-pass against its transfer
// function, the frequency points of sweeps and lists, and the settings and
// source messages.

#include <cmath>
#include <vector>

#include "engine/EngineTestElem.h"
#include "traces/Data.h"
#include "traces/Trace.h"
#include "traces/Traces.h"
#include "traces/Tran.h"
#include "api/CallFrame.h"

namespace {

constexpr double kPi = 3.14159265358;

struct SPoint {
  double f, mag, phase;
};

}  // namespace

class CalcAC : public EngineFixture {
 protected:
  // 1 V AC source on node 1, R = 1 kOhm to node 2, C = 1 uF to ground.
  void LowPass() {
    source_ = Add({0, 1}, 1);
    source_->stamp = [](CCalc* c, CEngineTestElem* e) {
      return c->SetV(e->Node(0), e->Node(1), e->FirstExtra(), 0.0);
    };
    Resistor(1, 2, 1000.0);
    CEngineTestElem* cap = Add({0, 2}, 1);
    cap->stamp = [](CCalc* c, CEngineTestElem* e) {
      const int a = e->Node(0), b = e->Node(1);
      const double y = c->Omega() * 1e-6;  // susceptance of 1 uF
      c->AddC(a, a, -y);
      c->AddC(a, b, y);
      c->AddC(b, a, y);
      c->AddC(b, b, -y);
      c->SetB(e->FirstExtra(), e->FirstExtra(), 1.0);
      return true;
    };
    auto* trace = new CTrace(&doc.Freq()->Traces());
    trace->SetType(TT_V);
    trace->SetCmpId(cap->Id());
    trace->SetExpr(cap->Name());
    doc.Freq()->Traces().Add(trace);
    doc.FreqSettings().id = source_->Id();
  }
  std::vector<SPoint> Points() {
    std::vector<SPoint> out;
    const CData* run = doc.Freq()->Traces().GetAt(0)->GetData(0);
    if (run == nullptr) return out;
    for (int i = 0; i < run->GetSize(); ++i) {
      SPoint p{};
      run->GetFreqDataAt(i, &p.f, &p.mag, &p.phase);
      out.push_back(p);
    }
    return out;
  }
  std::string Error() { return dll_error_text(); }
  bool Run() {
    dll_set_error("");
    return doc.CalcDLLAC();
  }
  CEngineTestElem* source_ = nullptr;
};

TEST_F(CalcAC, LowPassFollowsItsTransferFunction) {
  LowPass();
  SFreqSettings& f = doc.FreqSettings();
  f.from = 10;
  f.to = 1e5;
  f.points = 9;
  ASSERT_TRUE(Run()) << Error();
  const std::vector<SPoint> points = Points();
  ASSERT_EQ(points.size(), 9u);
  for (const SPoint& p : points) {
    const double wrc = 2 * kPi * p.f * 1e-3;
    EXPECT_NEAR(p.mag, 1.0 / std::sqrt(1.0 + wrc * wrc), 1e-12) << p.f;
    EXPECT_NEAR(p.phase, -std::atan(wrc) * 180.0 / kPi, 1e-9) << p.f;
  }
  EXPECT_NEAR(points.front().f, 10.0, 1e-12);
  EXPECT_NEAR(points[4].f, 1000.0, 1e-9);
  // The engine is left cleared.
  EXPECT_FALSE(doc.Calc()->HasMatrices());
}

TEST_F(CalcAC, SweepAndListFrequencies) {
  LowPass();
  SFreqSettings& f = doc.FreqSettings();
  struct Case {
    int type, scale, points;
    double from, to;
    const char* list;
    std::vector<double> want;
  };
  const std::vector<Case> cases = {
      {0, 0, 3, 1, 100, "", {1, 10, 100}},
      {0, 1, 3, 1, 100, "", {1, 50.5, 100}},
      {0, 0, 1, 5, 100, "", {5}},
      {1, 0, 0, 0, 0, "1, 10,100", {1, 10, 100}},
  };
  for (const Case& k : cases) {
    f.type = k.type;
    f.scale = k.scale;
    f.points = k.points;
    f.from = k.from;
    f.to = k.to;
    f.list = k.list;
    ASSERT_TRUE(Run()) << Error();
    const std::vector<SPoint> points = Points();
    ASSERT_EQ(points.size(), k.want.size());
    for (std::size_t i = 0; i < points.size(); ++i) EXPECT_NEAR(points[i].f, k.want[i], 1e-9);
  }
}

TEST_F(CalcAC, FailuresNameTheirReason) {
  LowPass();
  SFreqSettings& f = doc.FreqSettings();
  f.from = 10;
  f.to = 1;
  EXPECT_FALSE(Run());
  EXPECT_EQ(Error(), "AC error:\nTo < From");
  // No component was taken into the analysis; all are released at the end.
  EXPECT_EQ(source_->modes, std::vector<int>{CM_CLEAR});
  f.to = 100;
  f.from = 0;
  EXPECT_FALSE(Run());
  EXPECT_EQ(Error(), "AC error:\nFrom <= 0");
  f.scale = 1;
  f.alg = 1;
  EXPECT_FALSE(Run());
  EXPECT_EQ(Error(), "AC error:\nWrong AC Method");
  f.alg = 0;
  f.type = 1;
  f.list = " ";
  EXPECT_FALSE(Run());
  EXPECT_EQ(Error(), "AC error:\nFrequency list is empty");
  f.list = "1,10,x,100";
  EXPECT_FALSE(Run());
  EXPECT_EQ(Error().rfind("AC error:\nf = 10\n", 0), 0u) << Error();
  EXPECT_EQ(Points().size(), 2u);
  f.type = 0;
  f.id = 0;
  EXPECT_FALSE(Run());
  EXPECT_EQ(Error(), "AC error:\nNo AC source");
  // The source's model is back after the analysis.
  EXPECT_EQ(source_->Model(), MC_R);
}
