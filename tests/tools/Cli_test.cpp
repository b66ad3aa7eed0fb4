// The qvs tool as a user runs it: the built executable, its exit status,
// its standard output and error, and the files it writes.
//
// Expected figures come from circuit theory, not from earlier runs:
//  - rc_filter.qvs: a 10 V step into 1 kOhm and 1 uF from 0 V, 5 ms:
//    Vout = 10 (1 - exp(-t / 1 ms)); over the run its mean is
//    10 (1 - (1 - exp(-5)) / 5).
//  - buck.qvs: 24 V chopped at 50 % into 100 uH, 100 uF and 5 Ohm with an
//    ideal diode: in steady state the output averages 24 * 0.5 = 12 V and
//    the inductor current 12 / 5 = 2.4 A; the filter's decay time 2RC is
//    1 ms, so from 10 ms on the start-up has died out.
//  - elements/src_divider.qvs: V1 = 10 V; I1 = 2 mA into R4 = 1.5 kOhm.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "CliRun.h"
#include "EngNumber.h"
#include "TestData.h"
#include "doc/xml.h"

namespace {

#ifdef QVS_CLI_PATH

using namespace clitest;  // Qvs, Example, ReadFile, ParseCsv, Figure, ...

// The table rows of a run: label -> {final, min, max, mean, rms}.
std::map<std::string, std::vector<double>> TableRows(const std::string& text) {
  std::map<std::string, std::vector<double>> rows;
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line) && !line.empty()) {
    std::istringstream ls(line);
    std::string label, cell;
    ls >> label;
    std::vector<double> v;
    for (int i = 0; i < 5 && ls >> cell; ++i) {
      const auto x = qvs::ParseEng(cell);
      EXPECT_TRUE(x.has_value()) << cell;
      v.push_back(x.value_or(NAN));
    }
    rows[label] = v;
  }
  return rows;
}

TEST(CliUsage, VersionPrintsTheLibraryText) {
  const Result r = Qvs({"--version"});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("Version 3.12.59.23, Date 04/24/2024\n", r.out);
}

TEST(CliUsage, EverySubcommandHasHelp) {
  const Result run = Qvs({"run", "--help"});
  EXPECT_EQ(0, run.status);
  for (const char* opt : {"--time", "--step", "--trace", "--set", "--csv", "--plot",
                          "--save-data", "--from"})
    EXPECT_NE(std::string::npos, run.out.find(opt)) << opt;
  const Result info = Qvs({"info", "--help"});
  EXPECT_EQ(0, info.status);
  EXPECT_NE(std::string::npos, info.out.find("FILE"));
  EXPECT_EQ(0, Qvs({"--help"}).status);
}

TEST(CliUsage, MalformedCommandLinesExitWithTwo) {
  const std::string rc = Example("rc_filter.qvs");
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"bogus"},
      {"run"},
      {"info"},
      {"run", rc, "--time", "abc"},
      {"run", rc, "--time", "10ms"},
      {"run", rc, "--step", "1x"},
      {"run", rc, "--unknown"},
      {"run", rc, "--set", "R1.R"},  // no "="
      {"run", rc, "--set", " =5"},   // no name
      {"run", rc, "--from", "1"},    // after the run's 5 ms
      {"run", rc, "--time", "0"},
  };
  ExpectUsageErrors(QVS_CLI_PATH, bad);
}

TEST(CliErrors, MissingOrMalformedDocumentUnknownTraceOrParameterGiveTheLibrarysTextAndOne) {
  const std::string path = ScratchDir() + "/no_such.qvs", bad = TestData("doc/noroot.qvs");
  for (const char* cmd : {"info", "run"})
    ExpectExit({cmd, path}, 1, "qvs: QVS_Open: cannot open file " + path + "\nCannot open file\n");
  ExpectExit({"run", bad}, 1,
             "qvs: QVS_Open: cannot open file " + bad + "\n" + bad + " : wrong file format\n");
  ExpectExit({"run", Example("rc_filter.qvs"), "--trace", "R9"}, 1,
             "qvs: --trace R9: QVS_AddVTrace: component R9 not found\n");
  ExpectExit({"run", Example("rc_filter.qvs"), "--set", "R1.X=5"}, 1,
             "qvs: QVS_SetText: parameter R1.X not found\n");
}

// tools/shorted.qvs: two voltage sources of 10 V and 5 V on the same node.
TEST(CliErrors, FailedSimulationGivesTheEnginesTextAndOne) {
  const std::string csv = ScratchDir() + "/shorted.csv";
  const Result r = Qvs({"run", TestData("tools/shorted.qvs"), "--csv", csv});
  EXPECT_EQ(1, r.status);
  // The run goes by whole-step slices: the first one meets the short.
  EXPECT_EQ(0u, r.err.find("qvs: QVS_Simulate: ")) << r.err;
  EXPECT_NE(std::string::npos, r.err.find("Short circuit")) << r.err;
  // What was asked for is still written: here a CSV with only its header.
  EXPECT_EQ("time,V(V1),V(V2)\n", ReadFile(csv));
}

TEST(CliInfo, ListsComponentsParametersSettingsAndTraces) {
  const Result r = Qvs({"info", Example("buck.qvs")});
  ASSERT_EQ(0, r.status) << r.err;
  for (const char* part : {"components: 7", "(S_S), model Pulse", "Period = 10u s",
                           "Width = 5u s", "L = 100u H", "C = 100u F", "R = 5 Ohm",
                           "transient: start 0s, screen 20ms, step 1us", "transient traces: 2",
                           "Vout  [V]", "IL  [I]", "ac traces: none"})
    EXPECT_NE(std::string::npos, r.out.find(part)) << part << "\n" << r.out;
}

TEST(CliRun, DefaultTracesAreSourceVoltagesAndSetChangesParameters) {
  const std::string doc = TestData("elements/src_divider.qvs");
  const Result r = Qvs({"run", doc});
  ASSERT_EQ(0, r.status) << r.err;
  auto rows = TableRows(r.out);
  ASSERT_EQ(1u, rows.count("V(V1)")) << r.out;
  ASSERT_EQ(1u, rows.count("V(I1)")) << r.out;
  EXPECT_NEAR(10.0, rows["V(V1)"][0], 1e-3);
  EXPECT_NEAR(3.0, rows["V(I1)"][0], 1e-3);  // 2 mA into 1.5 kOhm

  const Result s = Qvs({"run", doc, "--set", "R4.R=1k", "--trace", "V(I1)", "--time", "1m"});
  ASSERT_EQ(0, s.status) << s.err;
  rows = TableRows(s.out);
  ASSERT_EQ(1u, rows.size()) << s.out;
  EXPECT_NEAR(2.0, rows["V(I1)"][0], 1e-3);
  EXPECT_NEAR(2.0, rows["V(I1)"][3], 1e-3);  // constant: the mean too
}

TEST(CliRun, RcFilterTableCsvAndPlot) {
  const std::string csv = ScratchDir() + "/rc.csv", svg = ScratchDir() + "/rc.svg";
  const Result r = Qvs({"run", Example("rc_filter.qvs"), "--csv", csv, "--plot", svg});
  ASSERT_EQ(0, r.status) << r.err;

  auto rows = TableRows(r.out);
  ASSERT_EQ(1u, rows.count("Vout")) << r.out;
  EXPECT_NEAR(10.0 * (1 - std::exp(-5.0)), rows["Vout"][0], 5e-3);
  EXPECT_NEAR(10.0 * (1 - (1 - std::exp(-5.0)) / 5), rows["Vout"][3], 5e-3);
  EXPECT_NEAR(0.0, rows["Vout"][1], 1e-6);
  EXPECT_GT(Figure(r.out, "engine steps"), 0);
  EXPECT_NE(std::string::npos, r.out.find("simulated time: 5ms"));

  const auto table = ParseCsv(ReadFile(csv));
  ASSERT_GT(table.size(), 100u);
  EXPECT_EQ((std::vector<std::string>{"time", "Vin", "Vout"}), table[0]);
  double prev = -1.0;
  for (std::size_t i = 1; i < table.size(); ++i) {
    ASSERT_EQ(3u, table[i].size()) << i;
    const double t = std::strtod(table[i][0].c_str(), nullptr);
    const double v = std::strtod(table[i][2].c_str(), nullptr);
    ASSERT_GE(t, prev) << i;
    prev = t;
    // Trapezoidal steps of 10 us follow the exponential to far below 1 mV.
    if (t > 0) {
      EXPECT_NEAR(10.0 * (1 - std::exp(-t / 1e-3)), v, 1e-3) << t;
    }
  }
  EXPECT_NEAR(5e-3, prev, 1e-12);

  CXMLNode root("svg");
  ASSERT_TRUE(root.ReadFromFile(svg.c_str())) << root.GetError().c_str();
  EXPECT_EQ(2, CountElements(&root, "polyline"));
}

TEST(CliRun, CsvToStandardOutputMovesTheTableAside) {
  const Result r = Qvs({"run", Example("rc_filter.qvs"), "--csv", "-", "--from", "2m",
                        "--trace", "Vout"});
  ASSERT_EQ(0, r.status) << r.err;
  const auto table = ParseCsv(r.out);
  ASSERT_GT(table.size(), 2u);
  EXPECT_EQ((std::vector<std::string>{"time", "Vout"}), table[0]);
  EXPECT_GE(std::strtod(table[1][0].c_str(), nullptr), 2e-3);  // from 2 ms on
  EXPECT_NE(std::string::npos, r.err.find("Vout"));  // the table went to stderr
  EXPECT_NE(std::string::npos, r.err.find("reported from 2ms"));
}

TEST(CliRun, BuckConverterAveragesHalfItsSupply) {
  const Result r = Qvs({"run", Example("buck.qvs"), "--from", "10m"});
  ASSERT_EQ(0, r.status) << r.err;
  auto rows = TableRows(r.out);
  ASSERT_EQ(1u, rows.count("Vout")) << r.out;
  ASSERT_EQ(1u, rows.count("IL")) << r.out;
  EXPECT_NEAR(12.0, rows["Vout"][3], 0.12);  // mean within 1 %
  EXPECT_NEAR(2.4, rows["IL"][3], 0.024);
  // 2000 switching periods in 20 ms: each has its two edges as steps and
  // at least its turn-off as a switching event.
  EXPECT_GE(Figure(r.out, "engine steps"), 4000);
  EXPECT_GE(Figure(r.out, "switching events"), 2000);
}

TEST(CliRun, CtrlCStopsAndStillWritesTheCsv) {
  const std::string csv = ScratchDir() + "/interrupted.csv";
  const std::string err = ScratchDir() + "/interrupted.err";
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    // 10 s of a converter switching at 100 kHz: far longer than the test.
    const int fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, 1);
    dup2(fd, 2);
    execl(QVS_CLI_PATH, "qvs", "run", Example("buck.qvs").c_str(), "--time", "10", "--csv",
          csv.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // Long enough for the run to be under way even on a loaded machine.
  std::this_thread::sleep_for(std::chrono::seconds(3));
  kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(pid, waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(130, WEXITSTATUS(status));
  const std::string text = ReadFile(err);
  EXPECT_NE(std::string::npos, text.find("qvs: interrupted at t = ")) << text;
  const auto table = ParseCsv(ReadFile(csv));
  ASSERT_GT(table.size(), 1u);
  const double last = std::strtod(table.back()[0].c_str(), nullptr);
  EXPECT_GT(last, 0.0);
  EXPECT_LT(last, 10.0);
}

TEST(CliRun, SaveDataWritesTheFileOrSaysItCannot) {
  const std::string qvt = ScratchDir() + "/rc.qvt";
  const Result r = Qvs({"run", Example("rc_filter.qvs"), "--save-data", qvt});
  if (r.status == 0) {
    EXPECT_FALSE(ReadFile(qvt).empty());
  } else {
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("--save-data")) << r.err;
  }
}

#else
TEST(Cli, NotBuilt) { GTEST_SKIP() << "the qvs tool is not part of this build"; }
#endif

}  // namespace
