// `qvs info FILE`.

#include <algorithm>

#include "Circuit.h"
#include "Commands.h"
#include "EngNumber.h"
#include "qvs_ext.h"

namespace qvs {

namespace {

// A value as the user reads it: numbers in engineering notation (the
// library writes 1.5e+3), other texts as they are.
std::string ShowValue(const std::string& text) {
  if (text.empty()) return "(empty)";
  if (auto v = ParseEng(text)) return FormatEng(*v, 6);
  return text;
}

// The type description on one line (descriptions may hold a line break).
std::string OneLine(std::string s) {
  std::replace(s.begin(), s.end(), '\n', ' ');
  return s;
}

void PrintTraces(std::ostream& out, const char* title, const std::vector<TraceInfo>& traces) {
  out << title << ": " << (traces.empty() ? "none" : std::to_string(traces.size())) << "\n";
  for (const TraceInfo& t : traces) {
    out << "  " << t.name << "  [" << t.type << "]";
    if (t.expr != t.name && !t.expr.empty()) out << "  " << t.expr;
    out << "\n";
  }
}

}  // namespace

int InfoCommand(const std::string& file, std::ostream& out) {
  Circuit circuit(file);
  const std::vector<ComponentInfo> cmps = circuit.Components();
  out << "file: " << file << "\n";
  out << "components: " << cmps.size() << "\n";
  std::size_t width = 0;
  for (const ComponentInfo& c : cmps) width = std::max(width, c.name.size());
  for (const ComponentInfo& c : cmps) {
    out << "  " << c.name << std::string(width - c.name.size() + 2, ' ') << OneLine(c.description)
        << " (" << c.type << "), model " << c.model << "\n";
    for (const ParameterInfo& p : circuit.Parameters(c.name)) {
      out << "  " << std::string(width + 2, ' ') << p.name << " = " << ShowValue(p.value);
      if (!p.unit.empty() && ParseEng(p.value)) out << " " << p.unit;
      if (!p.formula.empty()) out << "  (" << p.formula << ")";
      out << "\n";
    }
  }
  const TranSettings tran = circuit.Tran();
  out << "transient: start " << FormatEng(tran.start, 6) << "s, screen "
      << FormatEng(tran.screen, 6) << "s, step " << FormatEng(tran.step, 6) << "s\n";
  const AcSettings ac = circuit.Ac();
  out << "ac: " << FormatEng(ac.from, 6) << "Hz to " << FormatEng(ac.to, 6) << "Hz, "
      << ac.points << " points, scale " << ac.scale << ", source "
      << (ac.source.empty() ? "none" : ac.source) << "\n";
  PrintTraces(out, "transient traces", circuit.Traces(QVSX_TRANSIENT));
  PrintTraces(out, "ac traces", circuit.Traces(QVSX_AC));
  return kExitOk;
}

}  // namespace qvs
