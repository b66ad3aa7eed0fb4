// qvs: the command-line front of the simulator library.
//   qvs info FILE        what a circuit document holds
//   qvs run FILE [...]   a transient run: table of figures, CSV, SVG plot
//   qvs ac FILE [...]    an AC analysis: figures, CSV, Bode plot
//   qvs --version        the library's version text
// Exit status: see Commands.h.

#include <CLI/CLI.hpp>

#include <iostream>
#include <string>
#include <vector>

#include "Circuit.h"
#include "Commands.h"
#include "EngNumber.h"
#include "qvs_dll.h"

namespace {

// A time or value option: engineering notation ("10m", "4k7") is checked
// while parsing, so that a bad number is a usage error like any other.
const CLI::Validator kEngNumber(
    [](std::string& s) -> std::string {
      return qvs::ParseEng(s) ? std::string() : "not a number: " + s + " (examples: 10m, 4k7, 2e-3)";
    },
    "", "engineering number");

std::optional<double> Eng(const std::string& s) {
  if (s.empty()) return std::nullopt;
  return qvs::ParseEng(s);
}

// An engineering-number option, kept as text until parsing is over (an
// option not given stays "").
void AddEngOption(CLI::App* cmd, const std::string& name, std::string& text,
                  const std::string& help, const std::string& typeName) {
  cmd->add_option(name, text, help)->check(kEngNumber)->type_name(typeName);
}

// The document argument of a subcommand.
void AddFileArgument(CLI::App* cmd, std::string& file) {
  cmd->add_option("FILE", file, "Circuit document (.qvs)")->required()->type_name("");
}

void AddSetOption(CLI::App* cmd, std::vector<std::string>& sets) {
  cmd->add_option("--set", sets, "Set a parameter before the run (repeatable), e.g. R1.R=4k7")
      ->type_name("NAME=VALUE");
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"qvs - piece-wise-linear circuit simulator.\n"
               "Exit status: 0 done, 1 the library refused the document, a name or the run,\n"
               "or a file could not be written, 2 bad usage, 130 stopped by Ctrl-C.",
               "qvs"};
  app.set_version_flag("--version", [] { return std::string(QVS_GetInfo()); },
                       "Print the library's version and exit");
  app.require_subcommand(1);

  std::string infoFile;
  CLI::App* info = app.add_subcommand("info", "List a circuit document's components with "
                                              "their parameters, its settings and traces");
  AddFileArgument(info, infoFile);

  qvs::RunOptions run;
  std::string timeText, stepText, fromText;
  CLI::App* runCmd = app.add_subcommand(
      "run",
      "Run a transient simulation and print, per trace, the final value, minimum, maximum,\n"
      "mean and RMS over the reported window, then the run's figures. Times and values\n"
      "accept engineering notation (10m, 4k7).");
  AddFileArgument(runCmd, run.file);
  AddEngOption(runCmd, "--time,-t", timeText,
               "Simulated time, s (default: the document's screen width)", "T");
  AddEngOption(runCmd, "--step", stepText, "Calculation step, s (default: the document's)", "H");
  runCmd->add_option("--trace", run.traces,
                     "Trace to record (repeatable): a component (its voltage), V(R1), I(L1), "
                     "P(R1), a variable, a trace of the document or a formula. Default: the "
                     "document's traces, else every source, capacitor, inductor and voltmeter "
                     "voltage and amperemeter current")
      ->type_name("EXPR");
  AddSetOption(runCmd, run.sets);
  runCmd->add_option("--csv", run.csv, "Write time and one column per trace (- for standard "
                                       "output; the table then goes to standard error)")
      ->type_name("OUT");
  runCmd->add_option("--plot", run.plot, "Write an SVG plot, one panel per trace")
      ->type_name("OUT.svg");
  runCmd->add_flag("--plot-by-unit", run.plot_by_unit, "One plot panel per unit instead");
  runCmd->add_option("--save-data", run.save_data, "Write the trace data file")
      ->type_name("OUT.qvt");
  AddEngOption(runCmd, "--from", fromText, "Report and plot only from this time on, s", "T0");

  qvs::AcOptions ac;
  std::string acFrom, acTo;
  int acPoints = 0;
  bool acLin = false, acLog = false;
  CLI::App* acCmd = app.add_subcommand(
      "ac",
      "Run the small-signal AC analysis and print, per trace, the level (dB) and phase at\n"
      "the first and last frequency, the peak, the -3 dB frequency relative to the first\n"
      "point and, for a peak inside the sweep, its Q; then the run's figures. Frequencies\n"
      "accept engineering notation (100, 1k, 2M5; m is milli, M mega).");
  AddFileArgument(acCmd, ac.file);
  AddEngOption(acCmd, "--from", acFrom, "First frequency, Hz (default: the document's)", "F");
  AddEngOption(acCmd, "--to", acTo, "Last frequency, Hz (default: the document's)", "F");
  acCmd->add_option("--points", acPoints, "Number of frequencies (default: the document's)")
      ->check(CLI::PositiveNumber)
      ->type_name("N");
  CLI::Option* lin = acCmd->add_flag("--lin", acLin, "Linear frequency sweep");
  acCmd->add_flag("--log", acLog, "Logarithmic frequency sweep")->excludes(lin);
  acCmd->add_option("--source", ac.source,
                    "The AC source: a voltage or current source or a label (default: the "
                    "document's)")
      ->type_name("NAME");
  acCmd->add_option("--trace", ac.traces,
                    "Trace to record (repeatable): a component (its voltage), V(R1), I(L1) or "
                    "an AC trace of the document. Default: the document's AC traces, else "
                    "every capacitor, inductor and voltmeter voltage and amperemeter current")
      ->type_name("EXPR");
  AddSetOption(acCmd, ac.sets);
  acCmd->add_option("--csv", ac.csv,
                    "Write the frequency and per trace magnitude, dB and phase (- for "
                    "standard output; the figures then go to standard error)")
      ->type_name("OUT");
  acCmd->add_option("--plot", ac.plot, "Write a Bode plot (SVG)")->type_name("OUT.svg");
  acCmd->add_option("--save-data", ac.save_data, "Write the AC trace data file")
      ->type_name("OUT.qvf");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? qvs::kExitOk : qvs::kExitUsage;
  }

  try {
    if (*info) return qvs::InfoCommand(infoFile, std::cout);
    if (*acCmd) {
      ac.from = Eng(acFrom);
      ac.to = Eng(acTo);
      if (acCmd->count("--points") > 0) ac.points = acPoints;
      if (acLin || acLog) ac.scale = acLin ? 1 : 0;
      return qvs::AcCommand(ac, std::cout, std::cerr);
    }
    run.time = Eng(timeText);
    run.step = Eng(stepText);
    run.from = Eng(fromText).value_or(0.0);
    return qvs::RunCommand(run, std::cout, std::cerr);
  } catch (const qvs::UsageError& e) {
    std::cerr << "qvs: " << e.what() << "\n";
    return qvs::kExitUsage;
  } catch (const qvs::LibError& e) {
    std::cerr << "qvs: " << e.what() << "\n";
    return qvs::kExitFailed;
  } catch (const std::exception& e) {
    std::cerr << "qvs: " << e.what() << "\n";
    return qvs::kExitFailed;
  }
}
