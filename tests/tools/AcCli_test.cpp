// `qvs ac` as a user runs it: the built executable, its exit status, its
// printout and the files it writes.
//
// Expected figures come from circuit theory (w = 2 pi f):
//  - rc_lowpass.qvs: 1 kOhm into 1 uF, output across C1 ("Vout"), sweep
//    1 Hz ... 100 kHz in 201 points: H = 1 / (1 + jwRC), corner
//    1 / (2 pi RC) = 159.155 Hz, phase -atan(wRC); the loop current is
//    |I| = wC / sqrt(1 + (wRC)^2).
//  - rlc_resonance.qvs: 10 mH, 1 uF and 10 Ohm in series, "VR" across R1
//    and "VC" across C1, sweep 100 Hz ... 10 kHz in 401 points:
//    f0 = 1 / (2 pi sqrt(LC)) = 1591.55 Hz, Q = sqrt(L/C) / R = 10;
//    |VC| peaks at Q / sqrt(1 - 1/(4 Q^2)) = 10.0125 (20.011 dB).

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "CliRun.h"
#include "EngNumber.h"
#include "TestData.h"
#include "doc/xml.h"

namespace {

#ifdef QVS_CLI_PATH

using namespace clitest;  // Qvs, Example, ReadFile, ParseCsv, Figure, ...

const double kPi = 3.14159265358979;

// The figures printed for one trace: "at" lines in order, and the value
// text of the "peak", "-3 dB" and "Q" lines.
struct Block {
  std::vector<std::string> at;
  std::map<std::string, std::string> value;
};

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(' ');
  return b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// The block under the line that starts with `label`; empty when absent.
Block FiguresOf(const std::string& text, const std::string& label) {
  Block b;
  std::istringstream in(text);
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!inside) {
      inside = line.compare(0, label.size() + 1, label + " ") == 0;
      continue;
    }
    if (line.compare(0, 2, "  ") != 0) break;
    const std::string body = line.substr(2);
    if (body.compare(0, 3, "at ") == 0) {
      b.at.push_back(body.substr(3));
      continue;
    }
    for (const char* key : {"peak", "-3 dB", "Q"}) {
      const std::string k = key;
      if (body.compare(0, k.size() + 1, k + " ") == 0) b.value[k] = Trim(body.substr(k.size()));
    }
  }
  return b;
}

// A frequency as printed: engineering notation and "Hz".
double Freq(const std::string& text) {
  std::string t = Trim(text);
  if (t.size() > 2 && t.compare(t.size() - 2, 2, "Hz") == 0) t.resize(t.size() - 2);
  return qvs::ParseEng(t).value_or(NAN);
}

// "<f>Hz  <dB> dB  <phase> deg" of an "at" line -> {f, dB, phase}.
std::vector<double> AtLine(const std::string& text) {
  std::istringstream in(text);
  std::string f, db, unit, phase;
  in >> f >> db >> unit >> phase;
  return {Freq(f), std::strtod(db.c_str(), nullptr), std::strtod(phase.c_str(), nullptr)};
}

// "<dB> dB  at <f>Hz" of the peak line -> {dB, f}.
std::vector<double> PeakLine(const std::string& text) {
  std::istringstream in(text);
  std::string db, unit, at, f;
  in >> db >> unit >> at >> f;
  return {std::strtod(db.c_str(), nullptr), Freq(f)};
}

TEST(AcCli, RcLowPassCornerEndsPointsAndDataFile) {
  const std::string qvf = ScratchDir() + "/rc.qvf";
  const Result r = Qvs({"ac", Example("rc_lowpass.qvs"), "--save-data", qvf});
  ASSERT_EQ(0, r.status) << r.err;
  const Block b = FiguresOf(r.out, "Vout");
  ASSERT_EQ(2u, b.at.size()) << r.out;
  const double rc = 1e-3, fc = 1 / (2 * kPi * rc);
  EXPECT_NEAR(fc, Freq(b.value.at("-3 dB")), fc * 0.005) << r.out;
  // Both ends: the level to 3 decimals of a dB, the phase to 2 of a degree.
  for (const std::string& line : b.at) {
    const std::vector<double> v = AtLine(line);
    const double wrc = 2 * kPi * v[0] * rc;
    EXPECT_NEAR(-10 * std::log10(1 + wrc * wrc), v[1], 1e-3) << line;
    EXPECT_NEAR(-std::atan(wrc) * 180 / kPi, v[2], 0.01) << line;
  }
  EXPECT_NEAR(1.0, AtLine(b.at[0])[0], 1e-9);
  EXPECT_NEAR(1e5, AtLine(b.at[1])[0], 1e-4);
  // A low-pass peaks at its first point: no resonance, no Q.
  EXPECT_NEAR(1.0, PeakLine(b.value.at("peak"))[1], 1e-9);
  EXPECT_EQ(0u, b.value.at("Q").find("none")) << b.value.at("Q");
  EXPECT_EQ(201, Figure(r.out, "points"));
  EXPECT_NE(std::string::npos, r.out.find("wall time: "));

  // The ".qvf" file: its XML head up to a zero byte, then one trace of 201
  // points, each frequency, magnitude and phase as 8-byte doubles.
  const std::string data = ReadFile(qvf);
  const std::size_t zero = data.find('\0');
  ASSERT_NE(std::string::npos, zero);
  EXPECT_NE(std::string::npos, data.substr(0, zero).find("QVS_freq"));
  EXPECT_EQ(201u * 24u, data.size() - zero - 1);
}

TEST(AcCli, RlcResonancePeakAndQ) {
  const Result r = Qvs({"ac", Example("rlc_resonance.qvs")});
  ASSERT_EQ(0, r.status) << r.err;
  const double f0 = 1 / (2 * kPi * std::sqrt(10e-3 * 1e-6));
  const Block vr = FiguresOf(r.out, "VR");
  ASSERT_EQ(1u, vr.value.count("Q")) << r.out;
  const std::vector<double> peak = PeakLine(vr.value.at("peak"));
  EXPECT_NEAR(f0, peak[1], f0 * 0.01) << r.out;
  EXPECT_NEAR(0.0, peak[0], 0.01);  // |VR| = 1 at resonance
  EXPECT_NEAR(10.0, std::strtod(vr.value.at("Q").c_str(), nullptr), 0.1) << r.out;

  const Block vc = FiguresOf(r.out, "VC");
  ASSERT_EQ(1u, vc.value.count("peak")) << r.out;
  EXPECT_NEAR(20 * std::log10(10 / std::sqrt(1 - 1 / 400.0)), PeakLine(vc.value.at("peak"))[0],
              0.01);
  // Far above resonance the capacitor's voltage lags by nearly 180 degrees.
  EXPECT_LT(AtLine(vc.at[1])[2], -170.0);
  EXPECT_EQ(401, Figure(r.out, "points"));
}

TEST(AcCli, CsvParsesBackWithMonotoneFrequencies) {
  const std::string csv = ScratchDir() + "/rlc.csv";
  const Result r = Qvs({"ac", Example("rlc_resonance.qvs"), "--csv", csv});
  ASSERT_EQ(0, r.status) << r.err;
  const auto table = ParseCsv(ReadFile(csv));
  ASSERT_EQ(402u, table.size());
  EXPECT_EQ((std::vector<std::string>{"frequency", "VR mag", "VR dB", "VR phase", "VC mag",
                                      "VC dB", "VC phase"}),
            table[0]);
  double prev = 0.0;
  for (std::size_t i = 1; i < table.size(); ++i) {
    ASSERT_EQ(7u, table[i].size()) << i;
    const double f = std::strtod(table[i][0].c_str(), nullptr);
    ASSERT_GT(f, prev) << i;
    prev = f;
    for (int k : {1, 4}) {
      const double mag = std::strtod(table[i][k].c_str(), nullptr);
      EXPECT_NEAR(20 * std::log10(mag), std::strtod(table[i][k + 1].c_str(), nullptr), 1e-9);
    }
  }
  EXPECT_NEAR(100.0, std::strtod(table[1][0].c_str(), nullptr), 1e-9);
  EXPECT_NEAR(1e4, prev, 1e-7);
}

TEST(AcCli, BodePlotHasTwoPanelsAndTwoPolylinesPerTrace) {
  const std::string svg = ScratchDir() + "/rlc.svg";
  const Result r = Qvs({"ac", Example("rlc_resonance.qvs"), "--plot", svg});
  ASSERT_EQ(0, r.status) << r.err;
  CXMLNode root("svg");
  ASSERT_TRUE(root.ReadFromFile(svg.c_str())) << root.GetError().c_str();
  EXPECT_EQ(2, CountElements(&root, "g"));
  EXPECT_EQ(4, CountElements(&root, "polyline"));
  const std::string text = ReadFile(svg);
  for (const char* label : {">100<", ">1k<", ">10k<"})
    EXPECT_NE(std::string::npos, text.find(label)) << label;
}

TEST(AcCli, SweepOptionsReplaceTheDocumentsSweep) {
  const Result lin = Qvs({"ac", Example("rc_lowpass.qvs"), "--from", "10", "--to", "1k",
                          "--points", "3", "--lin", "--csv", "-"});
  ASSERT_EQ(0, lin.status) << lin.err;
  const auto table = ParseCsv(lin.out);
  ASSERT_EQ(4u, table.size()) << lin.out;
  EXPECT_DOUBLE_EQ(10.0, std::strtod(table[1][0].c_str(), nullptr));
  EXPECT_DOUBLE_EQ(505.0, std::strtod(table[2][0].c_str(), nullptr));
  EXPECT_DOUBLE_EQ(1000.0, std::strtod(table[3][0].c_str(), nullptr));
  // With the CSV on standard output the figures go to standard error.
  EXPECT_EQ(3, Figure(lin.err, "points"));
}

TEST(AcCli, TraceSetAndSourceOptions) {
  // The current through the loop, at the last frequency: |I| = wC /
  // sqrt(1 + (wRC)^2); with C1 = 2 uF the corner halves.
  const Result r = Qvs({"ac", Example("rc_lowpass.qvs"), "--trace", "I(R1)", "--trace", "C1",
                        "--set", "C1.C=2u"});
  ASSERT_EQ(0, r.status) << r.err;
  const double rc = 2e-3, fc = 1 / (2 * kPi * rc);
  const Block i = FiguresOf(r.out, "I(R1)");
  ASSERT_EQ(2u, i.at.size()) << r.out;
  const double w = 2 * kPi * 1e5;
  EXPECT_NEAR(20 * std::log10(w * 2e-6 / std::sqrt(1 + w * rc * w * rc)), AtLine(i.at[1])[1],
              1e-3);
  EXPECT_NE(std::string::npos, r.out.find("I(R1)  [A]"));
  const Block v = FiguresOf(r.out, "V(C1)");
  ASSERT_EQ(1u, v.value.count("-3 dB")) << r.out;
  EXPECT_NEAR(fc, Freq(v.value.at("-3 dB")), fc * 0.005);

  ExpectExit({"ac", Example("rc_lowpass.qvs"), "--source", "R1"}, 1,
             "qvs: QVS_SetACSource: component R1 cannot be set as AC source\n");
}

// tools/ac_list.qvs: the RC low-pass of rc_lowpass.qvs in list mode,
// "1k,10,100", with a sweep 1 ... 100 Hz in 50 points stored beside it and
// no AC source.
TEST(AcCli, ListDocumentKeepsItsListUnlessASweepOptionIsGiven) {
  const std::string doc = TestData("tools/ac_list.qvs");
  const Result list = Qvs({"ac", doc, "--source", "V1", "--csv", "-"});
  ASSERT_EQ(0, list.status) << list.err;
  auto table = ParseCsv(list.out);
  ASSERT_EQ(4u, table.size()) << list.out;
  // In frequency order, whatever the list's.
  EXPECT_EQ("10", table[1][0]);
  EXPECT_EQ("100", table[2][0]);
  EXPECT_EQ("1000", table[3][0]);
  const double wrc = 2 * kPi * 100 * 1e-3;
  EXPECT_NEAR(1 / std::sqrt(1 + wrc * wrc), std::strtod(table[2][1].c_str(), nullptr), 1e-9);

  // --points alone turns the list into the stored sweep, 3 points now.
  const Result sweep = Qvs({"ac", doc, "--source", "V1", "--points", "3", "--csv", "-"});
  ASSERT_EQ(0, sweep.status) << sweep.err;
  table = ParseCsv(sweep.out);
  ASSERT_EQ(4u, table.size()) << sweep.out;
  EXPECT_NEAR(1.0, std::strtod(table[1][0].c_str(), nullptr), 1e-12);
  EXPECT_NEAR(10.0, std::strtod(table[2][0].c_str(), nullptr), 1e-12);
  EXPECT_NEAR(100.0, std::strtod(table[3][0].c_str(), nullptr), 1e-12);
}

TEST(AcCliErrors, FailedRunGivesTheLibrarysTextAndOne) {
  const Result r = ExpectExit({"ac", TestData("tools/ac_list.qvs")}, 1,
                              "qvs: QVS_CalcAC: AC error:\nNo AC source\n");
  // The figures of what was computed (nothing) come first, then the reason.
  EXPECT_NE(std::string::npos, r.out.find("Vout  [V]\n  (no data)\n")) << r.out;
  EXPECT_EQ(0, Figure(r.out, "points"));
}

TEST(AcCliErrors, MissingFileAndUnknownTrace) {
  const std::string path = ScratchDir() + "/no_such.qvs";
  ExpectExit({"ac", path}, 1, "qvs: QVS_Open: cannot open file " + path + "\nCannot open file\n");
  const Result t = ExpectExit({"ac", Example("rc_lowpass.qvs"), "--trace", "R9"}, 1,
                              "qvs: --trace R9: QVSX_AddACTrace: component R9 not found\n");
  EXPECT_TRUE(t.out.empty()) << t.out;

  // A formula or a power has no AC trace of its own: a usage error.
  const Result f = Qvs({"ac", Example("rc_lowpass.qvs"), "--trace", "2*V(C1)"});
  EXPECT_EQ(2, f.status);
  EXPECT_EQ(0u, f.err.find("qvs: --trace 2*V(C1): an AC trace is")) << f.err;
  EXPECT_EQ(2, Qvs({"ac", Example("rc_lowpass.qvs"), "--trace", "P(R1)"}).status);
}

TEST(AcCliUsage, HelpAndMalformedCommandLines) {
  const Result help = Qvs({"ac", "--help"});
  EXPECT_EQ(0, help.status);
  for (const char* opt : {"--from", "--to", "--points", "--lin", "--source", "--trace", "--set",
                          "--csv", "--plot", "--save-data"})
    EXPECT_NE(std::string::npos, help.out.find(opt)) << opt;
  const std::string rc = Example("rc_lowpass.qvs");
  const std::vector<std::vector<std::string>> bad = {
      {"ac"},
      {"ac", rc, "--from", "abc"},
      {"ac", rc, "--points", "0"},
      {"ac", rc, "--points", "2.5"},
      {"ac", rc, "--lin", "--log"},
      {"ac", rc, "--set", "C1.C"},
  };
  ExpectUsageErrors(QVS_CLI_PATH, bad);
  // A sweep the library refuses is its text and 1.
  ExpectExit({"ac", rc, "--from", "1k", "--to", "10"}, 1, "qvs: QVS_SetAC: to < from\n");
}

#else
TEST(AcCli, NotBuilt) { GTEST_SKIP() << "the qvs tool is not part of this build"; }
#endif

}  // namespace
