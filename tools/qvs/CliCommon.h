#pragma once
// Helpers the subcommands share: --set assignments, default traces, CSV
// fields and writing an output file.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "Circuit.h"

namespace qvs {

// Each NAME=VALUE through QVS_SetText, in order. A text without "=" or
// without a name is a UsageError; the library's refusal a LibError.
void ApplySets(Circuit& circuit, const std::vector<std::string>& sets);

// What is recorded without --trace and without traces in the document: the
// voltage of every capacitor, inductor and voltmeter and the current of
// every amperemeter, with `sources` also the voltage of every voltage and current
// source (in AC they read 1 for the AC source and 0 for the others, so they
// are left out there). Component order.
std::vector<std::string> DefaultTraces(const std::vector<ComponentInfo>& components, bool sources);

// The traces a run records: those asked for with --trace; without any, the
// document's own traces of the analysis (docTraces), by name; without
// those, DefaultTraces(components, sources).
std::vector<std::string> ChosenTraces(const std::vector<std::string>& asked,
                                      const std::vector<TraceInfo>& docTraces,
                                      const std::vector<ComponentInfo>& components, bool sources);

// s as one CSV field: in double quotes (inner ones doubled) when it holds a
// comma, a quote or a line break.
std::string CsvField(const std::string& s);

// Writes a file through `write`; LibError "cannot write " + what + " " +
// path when it cannot be opened or written.
void WriteOutputFile(const std::string& path, const std::string& what,
                     const std::function<void(std::ostream&)>& write);

}  // namespace qvs
