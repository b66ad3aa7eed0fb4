// How each element class takes part in the AC analysis, one circuit per
// rule, each built so that only that rule decides the result: the AC
// source's unit excitation, coupled windings, infinite C and L, the PWL
// resistor's and the diode's present zone with and without the operating
// point, sources that are not the AC source (inputs included), switches,
// labels, meters, and the frequency variables of formulas.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "ACTestDoc.h"
#include "engine/Calc.h"
#include "expr/VarList.h"

using namespace actest;
using cplx = std::complex<double>;

namespace {

constexpr double kDeg = 180.0 / kPi;

std::string Cmp(const std::string& type, int id, const std::string& name,
                const std::vector<int>& nodes, const std::string& rest) {
  std::string s = "<Cmp type=\"" + type + "\" id=\"" + std::to_string(id) + "\" name=\"" + name + "\"";
  for (size_t i = 0; i < nodes.size(); ++i)
    s += " node" + std::to_string(i) + "=\"" + std::to_string(nodes[i]) + "\"";
  return s + " " + rest + "\n";
}

std::string Trace(int id, const std::string& type, const std::string& expr,
                  const std::string& name = "") {
  return "<Trace id=\"" + std::to_string(id) + "\" type=\"" + type + "\" expr=\"" + expr +
         "\" name=\"" + name + "\" />";
}

// A sweep of 1 Hz .. 100 kHz over 11 points with source id 1.
std::string Freq(const std::string& traces, const std::string& extra = "") {
  return "<Traces>" + traces +
         "</Traces><Settings from=\"1\" to=\"1e5\" points=\"11\" scale=\"0\" id=\"1\" " + extra +
         " />";
}

// The unit AC voltage source V1 (id 1) from ground to node 1.
const std::string kSource = Cmp("V_V", 1, "V1", {0, 1}, "model=\"V\" v=\"0\" />");

// 1 kOhm into 1 uF seen from a unit source: 1 / (1 + j w RC).
cplx LowPass(double f) { return 1.0 / cplx(1.0, Omega(f) * 1e-3); }

void ExpectValues(const std::vector<SPoint>& p, size_t n, cplx (*expected)(double),
                  const std::string& what) {
  ASSERT_EQ(p.size(), n) << what << ": " << Err();
  for (const SPoint& s : p) {
    const cplx e = expected(s.f);
    EXPECT_NEAR(s.mag, std::abs(e), 1e-9 * std::abs(e) + 1e-12) << what << " f = " << s.f;
    if (std::abs(e) > 0) {
      EXPECT_NEAR(s.phase, std::arg(e) * kDeg, 1e-7) << what << " f = " << s.f;
    }
  }
}

}  // namespace

TEST(ACElements, TheACSourceDrivesOneUnitOfItsOwnQuantity) {
  // Each kind of source, whatever its own model and value, across 1 kOhm:
  // a voltage source's V trace reads 1 V at 0 degrees, a current source's
  // I trace 1 A at 0 degrees, which drives 1000 V across R1.
  struct {
    const char* name;
    std::string source;
    const char* trace;
    double load;  // |V(R1)|
  } const cases[] = {
      {"v", Cmp("V_V", 1, "S1", {0, 1}, "model=\"V\" v=\"7\" />"), "V(S1)", 1},
      {"v_pulse", Cmp("V_V", 1, "S1", {0, 1}, "model=\"Pulse\"><Signal u0=\"2\" u1=\"5\" /></Cmp>"),
       "V(S1)", 1},
      {"v_logic", Cmp("V_CV", 1, "S1", {0, 1, 0}, "model=\"One-shot\" />"), "V(S1)", 1},
      {"label", Cmp("label", 1, "S1", {1}, "model=\"Label\" />"), "V(S1)", 1},
      {"label_ic", Cmp("label", 1, "S1", {1}, "model=\"IC\" v=\"3\" r=\"1\" />"), "V(S1)", 1},
      {"i", Cmp("I_I", 1, "S1", {0, 1}, "model=\"I\" v=\"7\" />"), "I(S1)", 1000},
      {"i_logic", Cmp("I_CI", 1, "S1", {0, 1, 0}, "model=\"I\" v=\"7\" />"), "I(S1)", 1000},
  };
  for (const auto& c : cases) {
    const std::string kind = c.trace[0] == 'V' ? "V" : "I";
    const int h = OpenCircuit(std::string("unit_") + c.name,
                              c.source + Cmp("R_R", 2, "R1", {1, 0}, "model=\"R\" r=\"1000\" />"),
                              Freq(Trace(1, kind, c.trace) + Trace(2, "V", "V(R1)")));
    ASSERT_GE(h, 0) << Err();
    ASSERT_EQ(QVS_CalcAC(h), 0) << c.name << ": " << Err();
    ExpectValues(Points(h, c.trace), 11, [](double) { return cplx(1, 0); }, c.name);
    const std::vector<SPoint> load = Points(h, "V(R1)");
    ASSERT_EQ(load.size(), 11u);
    for (const SPoint& p : load) EXPECT_NEAR(p.mag, c.load, 1e-9 * c.load) << c.name;
    QVS_Close(h);
  }
}

TEST(ACElements, CoupledPairWithAnOpenSecondaryFollowsTheCouplingFactor) {
  // 10 Ohm into the first winding; the second, open, is read by a
  // voltmeter. V2 / V1 = M / L1 = K for equal inductances.
  const int h = OpenCircuit(
      "coupled",
      kSource + Cmp("R_R", 2, "R1", {1, 2}, "model=\"R\" r=\"10\" />") +
          Cmp("L_CL", 3, "L1", {0, 2, 0, 3}, "model=\"L\" l1=\"1e-3\" l2=\"1e-3\" k12=\"0.5\" />") +
          Cmp("V_VM", 4, "VM1", {0, 3}, "model=\"Voltmeter\" />"),
      Freq(Trace(3, "V", "V(L1)") + Trace(4, "V", "V(VM1)")));
  ASSERT_GE(h, 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  const std::vector<SPoint> v1 = Points(h, "V(L1)"), v2 = Points(h, "V(VM1)");
  // The primary voltage itself: j w L1 / (R + j w L1).
  ExpectValues(v1, 11, [](double f) { return cplx(0, Omega(f) * 1e-3) / cplx(10, Omega(f) * 1e-3); },
               "V(L1)");
  ASSERT_EQ(v2.size(), v1.size());
  for (size_t i = 0; i < v1.size(); ++i) {
    EXPECT_NEAR(v2[i].mag / v1[i].mag, 0.5, 1e-9) << v1[i].f;
    EXPECT_NEAR(v2[i].phase, v1[i].phase, 1e-7) << v1[i].f;
  }
  QVS_Close(h);
}

TEST(ACElements, DiodeZoneComesFromItsICOrFromTheOperatingPoint) {
  // V2 biases the diode D1 through R1; the AC source is the current source
  // I1 into the anode. An open diode leaves R1 (1 kOhm, V2 a short): 1000
  // V per A; a conducting one is an ideal short: 0.
  struct {
    const char* name;
    const char* model;
    int ic;
    const char* dcop;
    double bias;
    double expected;
  } const cases[] = {
      {"off_no_op", "Diode", 0, "false", 5, 1000},  // forward-biased but IC Off: open
      {"off_op", "Diode", 0, "true", 5, 0},         // the operating point turns it on
      {"on_no_op", "Diode", 1, "false", -5, 0},     // IC On holds without the operating point
      {"on_op", "Diode", 1, "true", -5, 1000},      // reverse-biased at the operating point
      // The charge row of a Storage diode belongs to transient analysis,
      // and a Soft diode takes its plain form outside it.
      {"storage_off", "Storage", 0, "false", 5, 1000},
      {"storage_on", "Storage", 1, "false", -5, 0},
      {"soft_on", "Soft", 1, "false", -5, 0},
      {"soft_op", "Soft", 0, "true", 5, 0},
  };
  for (const auto& c : cases) {
    const int h = OpenCircuit(
        std::string("diode_") + c.name,
        Cmp("I_I", 1, "I1", {0, 1}, "model=\"I\" v=\"0\" />") +
            Cmp("V_V", 2, "V2", {0, 3}, "model=\"V\" v=\"" + std::to_string(c.bias) + "\" />") +
            Cmp("R_R", 3, "R1", {3, 1}, "model=\"R\" r=\"1000\" />") +
            Cmp("D_D", 4, "D1", {0, 1},
                "model=\"" + std::string(c.model) + "\" vd=\"0.7\" t=\"1e-6\" ts=\"1e-7\" ic=\"" +
                    std::to_string(c.ic) + "\" icq=\"0\" />"),
        Freq(Trace(4, "V", "V(D1)"), std::string("dcop=\"") + c.dcop + "\""));
    ASSERT_GE(h, 0) << Err();
    ASSERT_EQ(QVS_CalcAC(h), 0) << c.name << ": " << Err();
    const std::vector<SPoint> p = Points(h, "V(D1)");
    ASSERT_EQ(p.size(), 11u) << c.name;
    for (const SPoint& s : p) EXPECT_NEAR(s.mag, c.expected, 1e-9 * c.expected + 1e-12) << c.name;
    QVS_Close(h);
  }
}

TEST(ACElements, InfiniteCapacitanceIsAShortAndInfiniteInductanceAnOpen) {
  const std::string rc = Cmp("R_R", 2, "R1", {1, 2}, "model=\"R\" r=\"1000\" />") +
                         Cmp("C_C", 3, "C1", {0, 3}, "model=\"C\" c=\"1e-6\" />");
  struct {
    const char* name;
    std::string cmps;
  } const cases[] = {
      {"c_in_series", Cmp("C_C", 4, "C9", {2, 3}, "model=\"C\" c=\"inf\" />")},
      {"c_in_series_with_ic", Cmp("C_C", 4, "C9", {2, 3}, "model=\"C\" c=\"inf\" ic=\"3\" />")},
      {"l_across", Cmp("R_R", 4, "R0", {2, 3}, "model=\"R\" r=\"0\" />") +
                       Cmp("L_L", 5, "L9", {3, 0}, "model=\"L\" l=\"inf\" />")},
      {"l_across_with_ic", Cmp("R_R", 4, "R0", {2, 3}, "model=\"R\" r=\"0\" />") +
                               Cmp("L_L", 5, "L9", {3, 0}, "model=\"L\" l=\"inf\" ic=\"1\" />")},
  };
  for (const auto& c : cases) {
    const int h = OpenCircuit(std::string("infinite_") + c.name, kSource + rc + c.cmps,
                              Freq(Trace(3, "V", "V(C1)")));
    ASSERT_GE(h, 0) << Err();
    ASSERT_EQ(QVS_CalcAC(h), 0) << c.name << ": " << Err();
    ExpectValues(Points(h, "V(C1)"), 11, LowPass, c.name);
    QVS_Close(h);
  }
}

TEST(ACElements, PwlResistorActsWithTheSlopeOfItsPresentSegment) {
  // RP: 1 mS up to 1 V, 10 mS above (mirrored below 0). 10 V through
  // R1 = 100 Ohm puts it at 5.45 V, on the steep segment, at the operating
  // point; without it RP stays on its first segment. The unit AC current
  // into the node sees R1 || 1 / slope; the segment's offset drops out.
  struct {
    const char* dcop;
    double expected;
  } const cases[] = {{"false", 1.0 / (1.0 / 100 + 1e-3)}, {"true", 1.0 / (1.0 / 100 + 1e-2)}};
  for (const auto& c : cases) {
    const int h = OpenCircuit(
        std::string("pwl_r_") + c.dcop,
        Cmp("I_I", 1, "I1", {0, 1}, "model=\"I\" v=\"0\" />") +
            Cmp("V_V", 2, "V2", {0, 3}, "model=\"V\" v=\"10\" />") +
            Cmp("R_R", 3, "R1", {3, 1}, "model=\"R\" r=\"100\" />") +
            Cmp("R_R", 4, "RP", {0, 1}, "model=\"PWL\" pwl=\"1e-3,1,1e-2\" pwlf=\"\" pwlm=\"0\" />"),
        Freq(Trace(4, "V", "V(RP)"), std::string("dcop=\"") + c.dcop + "\""));
    ASSERT_GE(h, 0) << Err();
    ASSERT_EQ(QVS_CalcAC(h), 0) << c.dcop << ": " << Err();
    const std::vector<SPoint> p = Points(h, "V(RP)");
    ASSERT_EQ(p.size(), 11u);
    for (const SPoint& s : p) EXPECT_NEAR(s.mag, c.expected, 1e-9 * c.expected) << c.dcop;
    QVS_Close(h);
  }
}

TEST(ACElements, SourcesThatAreNotTheACSourceActWithValueZero) {
  // A 5 V source in series with R1 is a short, a Pulse current source across
  // C1 an open, a driving label a short to ground: each circuit answers as
  // the plain RC low-pass (or, with the label, the low-pass loaded by R3).
  const std::string rc =
      Cmp("R_R", 2, "R1", {4, 2}, "model=\"R\" r=\"1000\" />") +
      Cmp("C_C", 3, "C1", {0, 2}, "model=\"C\" c=\"1e-6\" />");
  const std::string pulse =
      Cmp("I_I", 5, "I2", {0, 2}, "model=\"Pulse\">") +
      "<Signal u0=\"0\" u1=\"3\" p=\"1e-3\" w=\"5e-4\" r=\"0\" f=\"0\" d=\"0\" /></Cmp>\n";
  const std::string series = Cmp("V_V", 4, "V2", {1, 4}, "model=\"V\" v=\"5\" />");
  const std::string wire = Cmp("R_R", 4, "R0", {1, 4}, "model=\"R\" r=\"0\" />");
  const std::string label =
      Cmp("R_R", 6, "R3", {2, 6}, "model=\"R\" r=\"1000\" />") +
      Cmp("label", 7, "BIAS", {6}, "model=\"V\" v=\"2\" />");
  struct {
    const char* name;
    std::string cmps;
    cplx (*expected)(double);
  } const cases[] = {
      {"plain", wire, LowPass},
      {"dc_in_series", series, LowPass},
      {"pulse_in_parallel", wire + pulse, LowPass},
      {"both", series + pulse, LowPass},
      {"one_shot_in_series",
       Cmp("V_CV", 4, "V2", {1, 4, 0}, "model=\"One-shot\" />"), LowPass},
      {"driving_label", wire + label,
       [](double f) {
         const cplx zp = 1.0 / (1.0 / 1000.0 + cplx(0, Omega(f) * 1e-6));
         return zp / (1000.0 + zp);
       }},
  };
  for (const auto& c : cases) {
    const int h = OpenCircuit(std::string("sources_") + c.name, kSource + rc + c.cmps,
                              Freq(Trace(3, "V", "V(C1)")));
    ASSERT_GE(h, 0) << Err();
    ASSERT_EQ(QVS_CalcAC(h), 0) << c.name << ": " << Err();
    ExpectValues(Points(h, "V(C1)"), 11, c.expected, c.name);
    QVS_Close(h);
  }
}

TEST(ACElements, InputSourcesActWithValueZeroUnlessTheyAreTheACSource) {
  // V2 in series takes its value from the caller, and so does V1, the AC
  // source: the caller's values are constants, which AC leaves out.
  const int h = OpenCircuit(
      "inputs", kSource + Cmp("V_V", 4, "V2", {1, 4}, "model=\"V\" v=\"0\" />") +
                    Cmp("R_R", 2, "R1", {4, 2}, "model=\"R\" r=\"1000\" />") +
                    Cmp("C_C", 3, "C1", {0, 2}, "model=\"C\" c=\"1e-6\" />"),
      Freq(Trace(3, "V", "V(C1)") + Trace(1, "V", "V(V1)")));
  ASSERT_GE(h, 0) << Err();
  const int in2 = QVS_GetInput(h, S("V2"));
  ASSERT_GE(in2, 0) << Err();
  ASSERT_EQ(QVS_SetInputValue(h, in2, 3.0), 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  ExpectValues(Points(h, "V(C1)"), 11, LowPass, "V2 an input");
  const int in1 = QVS_GetInput(h, S("V1"));
  ASSERT_GE(in1, 0) << Err();
  ASSERT_EQ(QVS_SetInputValue(h, in1, 2.0), 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  ExpectValues(Points(h, "V(C1)"), 11, LowPass, "V1 an input too");
  ExpectValues(Points(h, "V(V1)"), 11, [](double) { return cplx(1, 0); }, "V(V1)");
  QVS_Close(h);
}

TEST(ACElements, SwitchesStampTheirPresentStateAndPassiveLabelsLoadNothing) {
  // V1 -> R1 -> contact -> C1. A closed contact gives the low-pass, an
  // open one leaves C1 without a source (0). The SPDT switch has its common
  // pin on C1, R1 on its first contact and R2 = 2 kOhm from the source on
  // its second: exactly one of the two low-passes, never both in parallel.
  const auto zero = [](double) { return cplx(0, 0); };
  const auto slow = [](double f) { return 1.0 / cplx(1.0, Omega(f) * 2e-3); };
  const std::string r2 = Cmp("R_R", 5, "R2", {1, 4}, "model=\"R\" r=\"2000\" />");
  const std::string signal = " p=\"1e-3\" w=\"5e-4\" d=\"0\" cw=\"0\" c=\"0\"";
  struct {
    const char* name;
    std::string sw;
    cplx (*expected)(double);
  } const cases[] = {
      {"on", Cmp("S_S", 4, "S1", {2, 3}, "model=\"On\" />"), LowPass},
      {"off", Cmp("S_S", 4, "S1", {2, 3}, "model=\"Off\" />"), zero},
      // Nothing advances a signal during AC: it keeps the level it has right
      // after its start, before its first edge, which is low; Active 0
      // inverts it.
      {"pulse", Cmp("S_S", 4, "S1", {2, 3}, "model=\"Pulse\" a=\"1\"" + signal + " />"), zero},
      {"pulse_inverted", Cmp("S_S", 4, "S1", {2, 3}, "model=\"Pulse\" a=\"0\"" + signal + " />"),
       LowPass},
      {"spdt_on", Cmp("S_S3", 4, "S1", {2, 3, 4}, "model=\"On\" />") + r2, LowPass},
      {"spdt_off", Cmp("S_S3", 4, "S1", {2, 3, 4}, "model=\"Off\" />") + r2, slow},
      // A plain label names its node and stamps nothing.
      {"label", Cmp("R_R", 4, "R0", {2, 3}, "model=\"R\" r=\"0\" />") +
                    Cmp("label", 6, "OUT", {3}, "model=\"Label\" />"),
       LowPass},
      // A label's IC keeps its current at 0 in AC: it loads nothing.
      {"label_ic", Cmp("R_R", 4, "R0", {2, 3}, "model=\"R\" r=\"0\" />") +
                       Cmp("label", 6, "ICL", {3}, "model=\"IC\" v=\"5\" r=\"1\" />"),
       LowPass},
  };
  for (const auto& c : cases) {
    const int h = OpenCircuit(
        std::string("switch_") + c.name,
        kSource + Cmp("R_R", 2, "R1", {1, 2}, "model=\"R\" r=\"1000\" />") +
            Cmp("C_C", 3, "C1", {0, 3}, "model=\"C\" c=\"1e-6\" />") + c.sw,
        Freq(Trace(3, "V", "V(C1)")));
    ASSERT_GE(h, 0) << Err();
    ASSERT_EQ(QVS_CalcAC(h), 0) << c.name << ": " << Err();
    ExpectValues(Points(h, "V(C1)"), 11, c.expected, c.name);
    QVS_Close(h);
  }
}

TEST(ACElements, AmperemeterReadsTheBranchCurrentAndTheWattmeterRecordsZero) {
  // V1 -> A1 -> R1 -> C1 -> W1 (current path) -> ground. The DC run fixes
  // the meters' sign convention; AC must keep it: I(A1) = V(R1) / R.
  const int h = OpenCircuit(
      "meters",
      Cmp("V_V", 1, "V1", {0, 1}, "model=\"V\" v=\"1\" />") +
          Cmp("A_A", 2, "A1", {1, 2}, "model=\"Amperemeter\" />") +
          Cmp("R_R", 3, "R1", {2, 3}, "model=\"R\" r=\"1000\" />") +
          Cmp("C_C", 4, "C1", {3, 4}, "model=\"C\" c=\"1e-6\" ic=\"0\" />") +
          Cmp("W_WM", 5, "W1", {3, 4, 0}, "model=\"Wattmeter\" />"),
      Freq(Trace(2, "I", "I(A1)") + Trace(3, "V", "V(R1)") + Trace(5, "P", "P(W1)") +
           Trace(5, "I", "I(W1)") + Trace(3, "I", "I(R1)")),
      "<Traces>" + Trace(2, "I", "I(A1)") + Trace(3, "V", "V(R1)") +
          "</Traces><Settings step=\"1e-5\" screen=\"0.01\" />");
  ASSERT_GE(h, 0) << Err();
  // Just after the start C1 holds almost no charge: about 1 mA flows
  // through A1 and R1.
  ASSERT_EQ(QVS_Simulate(h, 2e-5), 0) << Err();
  double t = 0, ia = 0, vr = 0;
  ASSERT_EQ(QVS_GetDataAt(h, QVS_GetTrace(h, S("I(A1)")), 1, &t, &ia), 0) << Err();
  ASSERT_EQ(QVS_GetDataAt(h, QVS_GetTrace(h, S("V(R1)")), 1, &t, &vr), 0) << Err();
  ASSERT_GT(std::fabs(ia), 0.9e-3);
  const double sign = ia * 1000.0 / vr;  // +1 or -1 by the two conventions
  ASSERT_NEAR(std::fabs(sign), 1.0, 1e-9);

  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  const std::vector<SPoint> i = Points(h, "I(A1)"), v = Points(h, "V(R1)");
  const std::vector<SPoint> p = Points(h, "P(W1)"), iw = Points(h, "I(W1)");
  const std::vector<SPoint> ir = Points(h, "I(R1)");
  ASSERT_EQ(ir.size(), 11u);
  ASSERT_EQ(i.size(), 11u);
  ASSERT_EQ(v.size(), 11u);
  ASSERT_EQ(p.size(), 11u);
  ASSERT_EQ(iw.size(), 11u);
  for (size_t k = 0; k < i.size(); ++k) {
    const cplx vz = std::polar(v[k].mag, v[k].phase / kDeg) * sign / 1000.0;
    const cplx iz = std::polar(i[k].mag, i[k].phase / kDeg);
    EXPECT_LT(std::abs(iz - vz), 1e-9 * std::abs(vz)) << i[k].f;
    // The series current, 1 / (R + 1 / (j w C)).
    const double expected = std::abs(1.0 / (1000.0 + 1.0 / cplx(0, Omega(i[k].f) * 1e-6)));
    EXPECT_NEAR(i[k].mag, expected, 1e-9 * expected);
    EXPECT_NEAR(iw[k].mag, expected, 1e-9 * expected);  // the wattmeter carries it too
    EXPECT_EQ(p[k].mag, 0.0);
    EXPECT_EQ(p[k].phase, 0.0);
    // A resistor's current is its voltage over R, in phase with it.
    EXPECT_NEAR(ir[k].mag, v[k].mag / 1000.0, 1e-9 * ir[k].mag);
    EXPECT_NEAR(ir[k].phase, v[k].phase, 1e-7);
  }
  QVS_Close(h);
}

TEST(ACElements, FormulasSeeTheFrequencyVariables) {
  // The engine's list: f, w, s, p in this order, w = 2 pi f with the
  // analysis's pi.
  CCalc calc(nullptr);
  calc.SetFreqVarlist(1.0);
  CVarList* vars = calc.VarList();
  ASSERT_GE(vars->Count(), 4);
  const char* names[] = {"f", "w", "s", "p"};
  for (int i = 0; i < 4; ++i) EXPECT_STREQ(vars->At(i)->name, names[i]);
  EXPECT_EQ(vars->At(0)->values[0].v.d, 1.0);
  EXPECT_DOUBLE_EQ(vars->At(1)->values[0].v.d, 6.28318530716);
  for (int i = 2; i < 4; ++i) {
    EXPECT_EQ(vars->At(i)->values[0].v.d, 0.0);
    EXPECT_DOUBLE_EQ(vars->At(i)->values[0].im, 6.28318530716);
  }

  // Function traces of the AC collection read them in complex arithmetic:
  // V(C1) (1 + s RC) undoes the low-pass.
  const int h = OpenCircuit(
      "formulas",
      kSource + Cmp("R_R", 2, "R1", {1, 2}, "model=\"R\" r=\"1000\" />") +
          Cmp("C_C", 3, "C1", {0, 2}, "model=\"C\" c=\"1e-6\" />"),
      Freq(Trace(3, "V", "V(C1)") + Trace(0, "Function", "w/f") + Trace(0, "Function", "s/w") +
           Trace(0, "Function", "V(C1)*(1+s*1e-3)")));
  ASSERT_GE(h, 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  for (const SPoint& p : Points(h, "w/f")) {
    EXPECT_DOUBLE_EQ(p.mag, 6.28318530716) << p.f;
    EXPECT_EQ(p.phase, 0.0);
  }
  ExpectValues(Points(h, "s/w"), 11, [](double) { return cplx(0, 1); }, "s/w");
  ExpectValues(Points(h, "V(C1)*(1+s*1e-3)"), 11, [](double) { return cplx(1, 0); }, "undo");
  QVS_Close(h);
}
