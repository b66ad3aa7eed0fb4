// AC results against closed-form transfer functions: an RC low-pass with
// its input impedance, reflection and VSWR, the impedance a current source
// sees, a series RLC at resonance and at its -3 dB frequencies,
// a swept resonance peak and its Q, and the phase of a third-order ladder
// carried continuously past -180 degrees.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "ACTestDoc.h"

using namespace actest;
using cplx = std::complex<double>;

namespace {

constexpr double kDeg = 180.0 / kPi;

// Relative closeness of magnitudes and absolute closeness of phases
// (degrees), with a message naming the frequency.
void ExpectPoint(const SPoint& p, cplx expected, double magTol, double phaseTol) {
  EXPECT_NEAR(p.mag, std::abs(expected), magTol * std::abs(expected)) << "f = " << p.f;
  EXPECT_NEAR(p.phase, std::arg(expected) * kDeg, phaseTol) << "f = " << p.f;
}

int Open(const char* name) {
  std::string path = TestData(std::string("api/") + name);
  return QVS_Open(S(path));
}

}  // namespace

TEST(ACPhysics, RcLowPassAndItsInputImpedance) {
  const double R = 1000, C = 1e-6;
  const int h = Open("ac_rc_lowpass.qvs");
  ASSERT_GE(h, 0) << Err();
  // The transient DC gain is +1, which pins the source's polarity: the AC
  // phase then starts at 0, not at 180 degrees.
  const int tran = QVS_GetTrace(h, S("V(C1)"));
  ASSERT_GE(tran, 0) << Err();
  ASSERT_EQ(QVS_Simulate(h, 0.02), 0) << Err();
  double t = 0, v = 0;
  ASSERT_EQ(QVS_GetLastData(h, tran, &t, &v), 0) << Err();
  EXPECT_NEAR(v, 1.0, 1e-6);

  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  const std::vector<SPoint> out = Points(h, "V(C1)");
  const std::vector<SPoint> z = Points(h, "Zin");
  ASSERT_EQ(out.size(), 5u);
  ASSERT_EQ(z.size(), 5u);
  const double fc = 1.0 / (2 * kPi * R * C);
  const double wanted[] = {10, 100, fc, 1000, 10000};
  for (size_t i = 0; i < out.size(); ++i) {
    EXPECT_NEAR(out[i].f, wanted[i], 1e-12 * wanted[i]);
    EXPECT_EQ(z[i].f, out[i].f);
    const double wrc = Omega(out[i].f) * R * C;
    EXPECT_NEAR(out[i].mag, 1 / std::sqrt(1 + wrc * wrc), 1e-9 / std::sqrt(1 + wrc * wrc));
    EXPECT_NEAR(out[i].phase, -std::atan(wrc) * kDeg, 1e-7);
    const double x = 1 / (Omega(out[i].f) * C);
    const double zmag = std::sqrt(R * R + x * x);
    EXPECT_NEAR(z[i].mag, zmag, 1e-9 * zmag);
    EXPECT_NEAR(z[i].phase, -std::atan(1 / wrc) * kDeg, 1e-7);
  }
  // Reflection against Z0 = 600 - j200 Ohm: (Z - conj(Z0)) / (Z + Z0).
  const std::vector<SPoint> gamma = Points(h, "Gin"), swr = Points(h, "Swr");
  ASSERT_EQ(gamma.size(), 5u);
  ASSERT_EQ(swr.size(), 5u);
  for (size_t i = 0; i < z.size(); ++i) {
    const cplx zz(R, -1 / (Omega(z[i].f) * C)), z0(600, -200);
    const cplx g = (zz - std::conj(z0)) / (zz + z0);
    ExpectPoint(gamma[i], g, 1e-9, 1e-7);
    const double s = (1 + std::abs(g)) / (1 - std::abs(g));
    EXPECT_NEAR(swr[i].mag, s, 1e-9 * s) << swr[i].f;
    EXPECT_EQ(swr[i].phase, 0.0);
  }
  // At the corner frequency: 1/sqrt(2) and -45 degrees, the impedance
  // sqrt(2) R at -45 degrees.
  EXPECT_NEAR(out[2].mag, std::sqrt(0.5), 1e-9);
  EXPECT_NEAR(out[2].phase, -45.0, 1e-7);
  EXPECT_NEAR(z[2].mag, std::sqrt(2.0) * R, 1e-9 * R);
  EXPECT_NEAR(z[2].phase, -45.0, 1e-7);
  QVS_Close(h);
}

TEST(ACPhysics, ImpedanceSeenByACurrentSource) {
  // A unit current into R || C: the Z trace is the voltage across the
  // source, R / (1 + j w RC), passive phase between 0 and -90 degrees.
  const int h = OpenCircuit(
      "z_current",
      "<Cmp type=\"I_I\" id=\"1\" name=\"I1\" node0=\"0\" node1=\"1\" model=\"I\" v=\"1m\" />\n"
      "<Cmp type=\"R_R\" id=\"2\" name=\"R1\" node0=\"1\" node1=\"0\" model=\"R\" r=\"1000\" />\n"
      "<Cmp type=\"C_C\" id=\"3\" name=\"C1\" node0=\"0\" node1=\"1\" model=\"C\" c=\"1e-6\" />",
      "<Traces><Trace id=\"0\" type=\"Z\" expr=\"Z\" name=\"Zin\" />"
      "<Trace id=\"1\" type=\"I\" expr=\"I(I1)\" name=\"\" /></Traces>"
      "<Settings from=\"1\" to=\"1e5\" points=\"11\" scale=\"0\" id=\"1\" />");
  ASSERT_GE(h, 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  const std::vector<SPoint> z = Points(h, "Zin");
  ASSERT_EQ(z.size(), 11u);
  for (const SPoint& p : z) ExpectPoint(p, 1000.0 / cplx(1, Omega(p.f) * 1e-3), 1e-9, 1e-7);
  QVS_Close(h);
}

TEST(ACPhysics, SeriesRlcAtResonanceAndItsHalfPowerFrequencies) {
  const double L = 10e-3, C = 1e-6, R = 10, Q = 10;
  const double f0 = 1 / (2 * kPi * std::sqrt(L * C));
  const double root = std::sqrt(1 + 1 / (4 * Q * Q));
  const double fl = f0 * (root - 1 / (2 * Q)), fh = f0 * (root + 1 / (2 * Q));
  const int h = Open("ac_rlc.qvs");
  ASSERT_GE(h, 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  const std::vector<SPoint> vr = Points(h, "V(R1)");
  const std::vector<SPoint> vc = Points(h, "V(C1)");
  ASSERT_EQ(vr.size(), 3u);
  ASSERT_EQ(vc.size(), 3u);
  struct {
    double f, mag, phase;
  } const expected[] = {{f0, 1.0, 0.0}, {fl, std::sqrt(0.5), 45.0}, {fh, std::sqrt(0.5), -45.0}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(vr[i].f, expected[i].f, 1e-12 * f0);
    EXPECT_NEAR(vr[i].mag, expected[i].mag, 1e-9 * expected[i].mag) << i;
    EXPECT_NEAR(vr[i].phase, expected[i].phase, 1e-6) << i;
    // And the full transfer functions at the frequency returned.
    const cplx s(0, Omega(vr[i].f));
    const cplx zt = R + s * L + 1.0 / (s * C);
    ExpectPoint(vr[i], R / zt, 1e-9, 1e-6);
    ExpectPoint(vc[i], 1.0 / (s * C) / zt, 1e-9, 1e-6);
  }
  EXPECT_NEAR(vc[0].mag, Q, 1e-9 * Q);
  QVS_Close(h);
}

TEST(ACPhysics, SweptResonancePeakAndQ) {
  const double f0 = 1 / (2 * kPi * std::sqrt(10e-3 * 1e-6));
  const int h = Open("ac_rlc.qvs");
  ASSERT_GE(h, 0) << Err();
  ASSERT_EQ(QVS_SetAC(h, 2001, 0, 100, 10000), 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  const std::vector<SPoint> p = Points(h, "V(R1)");
  ASSERT_EQ(p.size(), 2001u);
  EXPECT_NEAR(p.front().f, 100, 1e-12 * 100);
  EXPECT_NEAR(p.back().f, 10000, 1e-12 * 10000);
  size_t peak = 0;
  for (size_t i = 1; i < p.size(); ++i)
    if (p[i].mag > p[peak].mag) peak = i;
  ASSERT_GT(peak, 0u);
  ASSERT_LT(peak + 1, p.size());
  EXPECT_LE(std::fabs(p[peak].f - f0), p[peak + 1].f - p[peak].f);

  // The -3 dB points on both sides, interpolated in dB over log f.
  const double level = 20 * std::log10(p[peak].mag) - 10 * std::log10(2.0);
  const auto db = [&](size_t i) { return 20 * std::log10(p[i].mag); };
  const auto cross = [&](size_t a, size_t b) {
    const double u = (level - db(a)) / (db(b) - db(a));
    return std::exp(std::log(p[a].f) + u * (std::log(p[b].f) - std::log(p[a].f)));
  };
  size_t lo = peak, hi = peak;
  while (lo > 0 && db(lo) > level) --lo;
  while (hi + 1 < p.size() && db(hi) > level) ++hi;
  ASSERT_GT(peak, lo);
  ASSERT_GT(hi, peak);
  const double fl = cross(lo, lo + 1), fh = cross(hi - 1, hi);
  const double q = std::sqrt(fl * fh) / (fh - fl);
  EXPECT_NEAR(q, 10.0, 0.05);
  QVS_Close(h);
}

TEST(ACPhysics, LadderPhaseIsCarriedPastMinus180Degrees) {
  // Three RC sections: the output's phase falls from 0 towards -270
  // degrees; the stored phase goes on below -180 without a jump.
  const int h = OpenCircuit(
      "ladder3",
      "<Cmp type=\"V_V\" id=\"1\" name=\"V1\" node0=\"0\" node1=\"1\" model=\"V\" v=\"0\" />\n"
      "<Cmp type=\"R_R\" id=\"2\" name=\"R1\" node0=\"1\" node1=\"2\" model=\"R\" r=\"1000\" />\n"
      "<Cmp type=\"C_C\" id=\"3\" name=\"C1\" node0=\"0\" node1=\"2\" model=\"C\" c=\"1e-6\" />\n"
      "<Cmp type=\"R_R\" id=\"4\" name=\"R2\" node0=\"2\" node1=\"3\" model=\"R\" r=\"1000\" />\n"
      "<Cmp type=\"C_C\" id=\"5\" name=\"C2\" node0=\"0\" node1=\"3\" model=\"C\" c=\"1e-6\" />\n"
      "<Cmp type=\"R_R\" id=\"6\" name=\"R3\" node0=\"3\" node1=\"4\" model=\"R\" r=\"1000\" />\n"
      "<Cmp type=\"C_C\" id=\"7\" name=\"C3\" node0=\"0\" node1=\"4\" model=\"C\" c=\"1e-6\" />",
      "<Traces><Trace id=\"7\" type=\"V\" expr=\"V(C3)\" name=\"\" /></Traces>"
      "<Settings from=\"1\" to=\"1e5\" points=\"101\" scale=\"0\" id=\"1\" />");
  ASSERT_GE(h, 0) << Err();
  // The unwrapping starts afresh with every run: a second run repeats the
  // first instead of going on from its offset.
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  ASSERT_EQ(QVS_CalcAC(h), 0) << Err();
  const std::vector<SPoint> p = Points(h, "V(C3)");
  ASSERT_EQ(p.size(), 101u);
  double unwrap = 0, previous = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    // Node by node from the output back to the source: v4 = 1, then the
    // current through each resistor feeds the capacitors after it.
    const cplx y(0, Omega(p[i].f) * 1e-6);
    const cplx v4 = 1.0, v3 = v4 + 1000.0 * (y * v4);
    const cplx v2 = v3 + 1000.0 * (y * v3 + y * v4);
    const cplx v1 = v2 + 1000.0 * (y * v2 + y * v3 + y * v4);
    const cplx h4 = v4 / v1;
    const double phase = std::arg(h4) * kDeg;
    if (i > 0 && previous < -90 && phase > 90) unwrap -= 360;
    previous = phase;
    EXPECT_NEAR(p[i].mag, std::abs(h4), 1e-9 * std::abs(h4)) << "f = " << p[i].f;
    EXPECT_NEAR(p[i].phase, phase + unwrap, 1e-6) << "f = " << p[i].f;
  }
  EXPECT_EQ(unwrap, -360.0);  // the sweep does cross -180 degrees
  EXPECT_LT(p.back().phase, -250.0);
  EXPECT_GT(p.front().phase, -5.0);
  QVS_Close(h);
}
