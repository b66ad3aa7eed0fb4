// The engine's equations: numbering, stamps, elimination, ties, outputs
// and messages, checked on small hand-built circuits.

#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>

#include "engine/EngineTestElem.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using Entries = std::map<std::pair<int, int>, double>;

// Every non-zero entry of B (rows and columns 1 .. N-1).
Entries NonZeroB(const CCalc* c) {
  Entries e;
  for (int i = 1; i < c->Size(); ++i)
    for (int j = 1; j < c->Size(); ++j)
      if (c->B()[i][j] != 0.0) e[{i, j}] = c->B()[i][j];
  return e;
}

}  // namespace

class CalcMatrix : public EngineFixture {
 protected:
  // Four nodes 1..4 and three extra unknowns 5..7: N = 8.
  CCalc* Grid() {
    Add({1, 2, 3, 4}, 3);
    CCalc* c = Built();
    EXPECT_EQ(c->Size(), 8);
    c->ZeroMatr();
    return c;
  }
};

TEST_F(CalcMatrix, NodesAreNumberedInOrderAndFunctionNodesComeAfterTheSystem) {
  CEngineTestElem* a = Add({3, 20}, 1);
  CEngineTestElem* b = Add({7, 0, 20, 9});
  b->pin_types = {1, 1, 1, 2};  // node 9 carries only a computed signal
  CCalc* c = Built();
  EXPECT_EQ(c->NodeCount(), 3);
  EXPECT_EQ(c->ExtraCount(), 1);
  EXPECT_EQ(c->Size(), 5);
  EXPECT_EQ(c->FullSize(), 6);
  EXPECT_EQ(a->Node(0), 1);
  EXPECT_EQ(a->Node(1), 3);
  EXPECT_EQ(b->Node(0), 2);
  EXPECT_EQ(b->Node(1), 0);
  EXPECT_EQ(b->Node(3), 5);
  EXPECT_TRUE(c->IsFunctionNode(5));
  EXPECT_EQ(a->FirstExtra(), 4);
  EXPECT_EQ(c->GetNodeType(9), 2);
  EXPECT_EQ(c->GetNodeType(20), 1);
  // The document's own numbers come back when the engine is cleared.
  c->ClearCalc();
  EXPECT_EQ(a->Node(1), 20);
  EXPECT_EQ(b->Node(3), 9);
}

TEST_F(CalcMatrix, AcAnalysisMakesEveryNodeAnalog) {
  CEngineTestElem* b = Add({1, 2});
  b->pin_types = {2, 2};
  CCalc* c = Engine();
  c->SetTransient(false);
  ASSERT_TRUE(c->InitCmps(doc.Cmps()));
  ASSERT_TRUE(c->CreateMatr());
  EXPECT_EQ(c->NodeCount(), 2);
  EXPECT_EQ(c->FullSize(), c->Size());
}

TEST_F(CalcMatrix, EachStampWritesItsEntries) {
  struct Case {
    const char* what;
    std::function<bool(CCalc*)> stamp;
    Entries b;
    std::map<int, double> u;  // U values (stored negated)
  };
  const std::vector<Case> cases = {
      {"SetR", [](CCalc* c) { return c->SetR(1, 2, 4.0); },
       {{{1, 1}, -0.25}, {{1, 2}, 0.25}, {{2, 1}, 0.25}, {{2, 2}, -0.25}}, {}},
      {"SetR to ground", [](CCalc* c) { return c->SetR(3, 0, 2.0); }, {{{3, 3}, -0.5}}, {}},
      {"SetR infinite", [](CCalc* c) { return c->SetR(1, 2, kInf); }, {}, {}},
      {"SetR same node", [](CCalc* c) { return c->SetR(2, 2, 5.0); }, {}, {}},
      {"SetShort", [](CCalc* c) { return c->SetShort(1, 2, 5, 3.0); },
       {{{1, 5}, 1}, {{2, 5}, -1}, {{5, 1}, -1}, {{5, 2}, 1}}, {{5, -3.0}}},
      {"SetV", [](CCalc* c) { return c->SetV(1, 2, 5, 3.0); },
       {{{1, 5}, -1}, {{2, 5}, 1}, {{5, 1}, -1}, {{5, 2}, 1}}, {{5, -3.0}}},
      {"SetOpen", [](CCalc* c) { return c->SetOpen(1, 2, 5, 2.0); },
       {{{1, 5}, 1}, {{2, 5}, -1}, {{5, 5}, 1}}, {{5, -2.0}}},
      {"SetI", [](CCalc* c) { return c->SetI(1, 2, 5, 2.0); },
       {{{1, 5}, -1}, {{2, 5}, 1}, {{5, 5}, 1}}, {{5, -2.0}}},
      {"SetSwitch on", [](CCalc* c) { return c->SetSwitch(1, 2, 5, true); },
       {{{1, 5}, 1}, {{2, 5}, -1}, {{5, 1}, -1}, {{5, 2}, 1}}, {}},
      {"SetSwitch off", [](CCalc* c) { return c->SetSwitch(1, 2, 5, false); }, {{{5, 5}, 1}}, {}},
      {"SetSwitchR", [](CCalc* c) { return c->SetSwitchR(1, 2, 5, 4.0); },
       {{{1, 5}, 1}, {{2, 5}, -1}, {{5, 1}, -0.25}, {{5, 2}, 0.25}, {{5, 5}, -1}}, {}},
      {"SetSwitchR zero", [](CCalc* c) { return c->SetSwitchR(1, 2, 5, 0.0); },
       {{{1, 5}, 1}, {{2, 5}, -1}, {{5, 1}, -1}, {{5, 2}, 1}}, {}},
      {"SetVCVS", [](CCalc* c) { return c->SetVCVS(1, 2, 3, 4, 5, 10.0); },
       {{{1, 5}, -1}, {{2, 5}, 1}, {{5, 1}, -1}, {{5, 2}, 1}, {{5, 3}, 10}, {{5, 4}, -10}}, {}},
      {"SetVCVS infinite", [](CCalc* c) { return c->SetVCVS(1, 2, 3, 4, 5, kInf); },
       {{{1, 5}, -1}, {{2, 5}, 1}, {{5, 3}, 1}, {{5, 4}, -1}}, {}},
      {"SetVCCS", [](CCalc* c) { return c->SetVCCS(1, 2, 3, 4, 5, 10.0); },
       {{{1, 5}, -1}, {{2, 5}, 1}, {{5, 5}, 1}, {{5, 3}, 10}, {{5, 4}, -10}}, {}},
      {"SetCCVS", [](CCalc* c) { return c->SetCCVS(1, 2, 5, 6, 3.0); },
       {{{1, 5}, -1}, {{2, 5}, 1}, {{5, 1}, -1}, {{5, 2}, 1}, {{5, 6}, -3}}, {}},
      {"SetCCCS", [](CCalc* c) { return c->SetCCCS(1, 2, 5, 6, 3.0); },
       {{{1, 5}, -1}, {{2, 5}, 1}, {{5, 5}, 1}, {{5, 6}, -3}}, {}},
      {"SetCCCS infinite", [](CCalc* c) { return c->SetCCCS(1, 2, 5, 6, kInf); },
       {{{1, 5}, -1}, {{2, 5}, 1}, {{5, 6}, -1}}, {}},
      {"SetD on with drop", [](CCalc* c) { return c->SetD(1, 2, 5, true, 0.7, false); },
       {{{1, 5}, 1}, {{2, 5}, -1}, {{5, 1}, -1}, {{5, 2}, 1}}, {{5, -0.7}}},
      {"SetD off with leak", [](CCalc* c) { return c->SetD(1, 2, 5, false, 0.0, true); },
       {{{5, 5}, 1}, {{5, 1}, 10.0 * 1e-12}, {{5, 2}, -10.0 * 1e-12}}, {}},
  };
  CCalc* c = Grid();
  for (const Case& k : cases) {
    c->ZeroMatr();
    ASSERT_TRUE(k.stamp(c)) << k.what;
    EXPECT_EQ(NonZeroB(c), k.b) << k.what;
    for (int i = 1; i < c->Size(); ++i) {
      const auto it = k.u.find(i);
      EXPECT_EQ(c->U()[i], it == k.u.end() ? 0.0 : it->second) << k.what << " U[" << i << "]";
    }
  }
}

TEST_F(CalcMatrix, OffSwitchAndOffDiodeExcludeTheirCurrent) {
  CCalc* c = Grid();
  c->SetSwitch(1, 2, 5, false);
  c->SetD(3, 4, 6, false, 0.0, false);
  c->SetSwitchR(1, 2, 7, kInf);
  EXPECT_TRUE(c->Xzero()[5]);
  EXPECT_TRUE(c->Xzero()[6]);
  EXPECT_TRUE(c->Xzero()[7]);
  EXPECT_FALSE(c->Xzero()[1]);
}

TEST_F(CalcMatrix, StampFailuresGiveTheirMessages) {
  CCalc* c = Grid();
  EXPECT_FALSE(c->SetR(1, 2, 0.0));
  EXPECT_EQ(c->ErrorText(), "Zero resistance");
  c->ClearError();
  EXPECT_TRUE(c->SetV(3, 3, 5, 0.0));
  EXPECT_FALSE(c->SetV(3, 3, 5, 1.0));
  EXPECT_EQ(c->ErrorText(), "Short circuit");
  // The element puts its full name in front.
  CEngineTestElem* t = static_cast<CEngineTestElem*>(doc.Cmps()->GetAt(0));
  EXPECT_FALSE(c->SetCmpError(t, nullptr));
  EXPECT_EQ(c->ErrorText(), "T1 : Short circuit");
  c->ClearError();
  EXPECT_FALSE(c->SetCmpError(t, "R : formula error"));
  EXPECT_EQ(c->ErrorText(), "T1 : R : formula error\n");
  c->SetUnknownError("1008");
  EXPECT_EQ(c->ErrorText(), "T1 : R : formula error\n");
  c->ClearError();
  EXPECT_EQ(c->GetError(), nullptr);
  c->SetUnknownError("1008");
  EXPECT_EQ(c->ErrorText(), "Unknown error 1008");
}

TEST_F(CalcMatrix, CancellationRule) {
  CCalc* c = Engine();  // "zero" = 1e-12
  const double big = std::numeric_limits<double>::max();
  struct Case {
    double a, b;
    bool nonzero;
    double sum;  // NaN: not checked
  } cases[] = {
      {1.0 + 1e-13, -1.0, false, 0.0}, {1.0 + 1e-9, -1.0, true, 1e-9}, {0.0, 2.5, true, 2.5},
      {2.5, 0.0, true, kNaN},          {0.0, 0.0, false, kNaN},        {2.0, -2.0, false, kNaN},
      {big, big, true, kInf},
  };
  for (const Case& k : cases) {
    double a = k.a;
    EXPECT_EQ(k.nonzero, c->sum_new(a, k.b)) << k.a << " + " << k.b;
    if (std::isnan(k.sum)) continue;
    if (std::isinf(k.sum)) {
      EXPECT_EQ(k.sum, a) << k.a;  // overflow is kept, not cancelled
      continue;
    }
    // Only the uncancelled difference carries round-off; the rest are exact.
    EXPECT_NEAR(k.sum, a, k.sum == 1e-9 ? 1e-15 : 0.0) << k.a;
  }
}

// Solves B x = -rhs for a filled system by the engine's elimination.
class CalcGauss : public EngineFixture {
 protected:
  CCalc* System(int n) {
    Add({0}, n);
    CCalc* c = Built();
    c->ZeroMatr();
    return c;
  }
  static void Mark(CCalc* c) {
    for (int i = 1; i < c->Size(); ++i) {
      unsigned char any = 0;
      for (int j = 1; j < c->Size(); ++j) any |= c->BMarks()[i][j] = c->B()[i][j] != 0.0;
      c->BMarks()[i][0] = any;
    }
  }
};

TEST_F(CalcGauss, DenseSystemIsSolved) {
  const int n = 12;
  CCalc* c = System(n);
  std::srand(7);
  std::vector<std::vector<double>> a(n + 1, std::vector<double>(n + 1));
  std::vector<double> rhs(n + 1);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) a[i][j] = std::rand() / (RAND_MAX + 1.0) - 0.5;
    a[i][i] += (i % 3 == 0) ? 0.0 : 0.1;  // not diagonally dominant: pivoting must work
    rhs[i] = std::rand() / (RAND_MAX + 1.0);
  }
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) c->B()[i][j] = a[i][j];
    c->X()[i] = rhs[i];
  }
  Mark(c);
  c->gauss();
  ASSERT_FALSE(c->HasUndetermined());
  for (int i = 1; i <= n; ++i) {
    double s = 0.0;
    for (int j = 1; j <= n; ++j) s += a[i][j] * c->X()[j];
    EXPECT_NEAR(s, -rhs[i], 1e-9) << "row " << i;
  }
}

TEST_F(CalcGauss, TridiagonalSystemCreatesNoFillIn) {
  const int n = 30;
  CCalc* c = System(n);
  for (int i = 1; i <= n; ++i) {
    c->B()[i][i] = -2.0;
    if (i > 1) c->B()[i][i - 1] = 1.0;
    if (i < n) c->B()[i][i + 1] = 1.0;
    c->X()[i] = i == 1 ? 1.0 : 0.0;
  }
  Mark(c);
  c->gauss();
  // Exact solution of the discrete Laplacian with x0 = 0, x(n+1) = 0 and a
  // unit source at 1: x_i = (n + 1 - i) / (n + 1).
  for (int i = 1; i <= n; ++i) EXPECT_NEAR(c->X()[i], double(n + 1 - i) / (n + 1), 1e-12);
  for (int i = 1; i <= n; ++i)
    for (int j = i + 2; j <= n; ++j)
      EXPECT_EQ(c->BMarks()[i][j], 0) << i << "," << j;
}

TEST_F(CalcGauss, UndeterminedUnknownsAreMarkedNotDividedByZero) {
  // x1 + x2 = 1 twice (consistent but singular) and x3 with no equation but
  // a non-zero right-hand side.
  CCalc* c = System(3);
  c->B()[1][1] = 1;
  c->B()[1][2] = 1;
  c->B()[2][1] = 1;
  c->B()[2][2] = 1;
  c->X()[1] = 1;
  c->X()[2] = 1;
  c->X()[3] = 5;
  Mark(c);
  c->gauss();
  for (int i = 1; i <= 3; ++i) EXPECT_TRUE(std::isfinite(c->X()[i]));
  EXPECT_EQ(c->Undetermined()[3], 255);
  EXPECT_TRUE(c->HasUndetermined());
  EXPECT_NE(c->Undetermined()[2], 255);
}

TEST_F(CalcMatrix, ParallelSourcesWithDifferentValuesAreInconsistent) {
  Source(0, 1, [](double) { return 1.0; });
  Source(0, 1, [](double) { return 2.0; });
  Resistor(1, 0, 10.0);
  CCalc* c = Built();
  ASSERT_TRUE(c->calc_stat());
  EXPECT_TRUE(c->HasUndetermined());
  for (int i = 0; i < c->Size(); ++i) EXPECT_TRUE(std::isfinite(c->X()[i]));
}

TEST_F(CalcMatrix, DividerAndTiedNodesAreExact) {
  // 10 V over 1k + 3k; a zero-volt short ties node 3 to node 2 and a 2.5 V
  // constant tie puts node 4 above node 2.
  Source(0, 1, [](double) { return 10.0; });
  Resistor(1, 2, 1000.0);
  Resistor(2, 0, 3000.0);
  CEngineTestElem* s = Add({2, 3}, 1);
  s->stamp = [](CCalc* c, CEngineTestElem* e) {
    c->SetYzShort(e->Node(0), e->Node(1));
    return c->SetShort(e->Node(0), e->Node(1), e->FirstExtra(), 0.0);
  };
  CEngineTestElem* d = Add({2, 4}, 1);
  d->stamp = [](CCalc* c, CEngineTestElem* e) {
    return c->SetD(e->Node(0), e->Node(1), e->FirstExtra(), true, 2.5, false);
  };
  Resistor(4, 0, 1e6);
  CCalc* c = Built();
  ASSERT_TRUE(c->calc_stat()) << c->ErrorText().str();
  EXPECT_NEAR(c->X()[1], 10.0, 1e-12);
  // Node 2: (10 - v)/1k = v/3k + (v + 2.5)/1M.
  const double v2 = (10.0 / 1000 - 2.5 / 1e6) / (1.0 / 1000 + 1.0 / 3000 + 1.0 / 1e6);
  EXPECT_NEAR(c->X()[2], v2, 1e-12);
  EXPECT_EQ(c->X()[3], c->X()[2]);  // bit for bit
  EXPECT_EQ(c->X()[4], c->X()[2] + 2.5);
  EXPECT_EQ(c->TieKind(3), YZ_SHORT);
}

TEST_F(CalcMatrix, NonFiniteSolutionIsRefused) {
  Resistor(1, 0, 1.0);
  CCalc* c = Built();
  c->X()[1] = kNaN;
  EXPECT_FALSE(c->AdjustX());
  EXPECT_EQ(c->ErrorText(), "Infinite or invalid solution");
}

TEST_F(CalcMatrix, OutputsMayNotBeGroundedOrShared) {
  CEngineTestElem* a = Add({1, 0});
  a->pin_names = {"Q", ""};
  CEngineTestElem* b = Add({1, 0});
  CCalc* c = Built();
  c->ZeroMatr();
  EXPECT_FALSE(c->CheckOut(0, a, 0));
  EXPECT_EQ(c->ErrorText(), "T1 : grounded output Q\n");
  c->ClearError();
  EXPECT_TRUE(c->CheckOut(1, a, 0));
  EXPECT_FALSE(c->CheckOut(1, b, 1));
  EXPECT_EQ(c->ErrorText(), "Short circuit: Q of T1, T2");
}

TEST_F(CalcMatrix, OversizedSchematicIsRefused) {
  Add({1, 0}, 11200);
  CCalc* c = Engine();
  ASSERT_TRUE(c->InitCmps(doc.Cmps()));
  EXPECT_FALSE(c->CreateMatr());
  EXPECT_EQ(c->ErrorText(), "Schematic too big");
  EXPECT_FALSE(c->HasMatrices());
}

TEST_F(CalcMatrix, FloatingSectionGetsOneSmallConductance) {
  // Node 1 is grounded through R; a capacitor joins nodes 2 and 3 and
  // nothing else touches them.
  Resistor(1, 0, 1.0)->groups = {1, 1};
  Capacitor(2, 3, 1e-6)->groups = {1, 1};
  CCalc* c = Built();
  ASSERT_TRUE(c->FillMatr());
  EXPECT_EQ(c->B()[2][2], 0.0);  // only in floating-node mode
  c->SetFloatingMode(true);
  ASSERT_TRUE(c->FillMatr());
  EXPECT_EQ(c->B()[1][1], -1.0);
  EXPECT_EQ(c->B()[2][2], -10.0 * c->Zero());
  EXPECT_EQ(c->B()[3][3], 0.0);
  // Without group codes every pin counts as grounded.
  static_cast<CEngineTestElem*>(doc.Cmps()->GetAt(1))->groups = {};
  ASSERT_TRUE(c->FillMatr());
  EXPECT_EQ(c->B()[2][2], 0.0);
}

TEST_F(CalcMatrix, EmptyRowsAreOfferedToTheComponents) {
  CEngineTestElem* a = Add({1, 2});
  a->stamp = [](CCalc* c, CEngineTestElem* e) { return c->SetR(e->Node(0), 0, 2.0); };
  a->empty_rows = [](CCalc* c, CEngineTestElem* e) {
    c->SetR(e->Node(1), 0, 4.0);
    return false;  // something was added
  };
  CCalc* c = Built();
  ASSERT_TRUE(c->FillMatr());
  EXPECT_EQ(c->B()[2][2], -0.25);
  EXPECT_EQ(c->BMarks()[2][2], 1);
  EXPECT_EQ(c->BMarks()[2][0], 1);
}

TEST_F(CalcMatrix, InfiniteSolutionNamesWhatIsInfinite) {
  // Two current sources in series with different currents: node 1 has no
  // consistent voltage, named by the components on it.
  CEngineTestElem* i1 = CurrentSource(0, 1, 1.0);
  CurrentSource(1, 0, 2.0);
  CCalc* c = Built();
  ASSERT_TRUE(c->calc_stat());
  ASSERT_EQ(c->Undetermined()[1], 255);
  c->calc_infinity_error();
  EXPECT_EQ(c->ErrorText(), "Infinite voltage : T1, T2");
  // An output owner names its pin instead.
  i1->pin_names = {"", "OUT"};
  c->SetOut(1, i1, 1);
  c->calc_infinity_error();
  EXPECT_EQ(c->ErrorText(), "Infinite voltage : OUT of T1");
}

TEST_F(CalcMatrix, InfiniteCurrentNamesTheOwnerOfTheUnknown) {
  Resistor(1, 0, 1.0);
  // An extra unknown with a source term but no equation.
  CEngineTestElem* e = Add({1, 0}, 1);
  e->stamp = [](CCalc* c, CEngineTestElem* self) {
    c->SetU(self->FirstExtra(), 1.0);
    return true;
  };
  CCalc* c = Built();
  ASSERT_TRUE(c->calc_stat());
  ASSERT_EQ(c->Undetermined()[e->FirstExtra()], 255);
  c->calc_infinity_error();
  EXPECT_EQ(c->ErrorText(), "Infinite current : T2");
}
