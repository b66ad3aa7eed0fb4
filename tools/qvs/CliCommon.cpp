#include "CliCommon.h"

#include <fstream>

#include "Commands.h"

namespace qvs {

void ApplySets(Circuit& circuit, const std::vector<std::string>& sets) {
  for (const std::string& s : sets) {
    const std::size_t eq = s.find('=');
    const std::size_t b = s.find_first_not_of(" \t");
    if (eq == std::string::npos || b == eq)
      throw UsageError("--set " + s + ": expected NAME=VALUE");
    const std::size_t e = s.find_last_not_of(" \t", eq - 1);
    circuit.SetText(s.substr(b, e - b + 1), s.substr(eq + 1));
  }
}

std::vector<std::string> DefaultTraces(const std::vector<ComponentInfo>& cmps, bool sources) {
  std::vector<std::string> out;
  for (const ComponentInfo& c : cmps) {
    // The first letter of the type key, past the "_" of a drawing variant.
    const std::size_t i = !c.type.empty() && c.type[0] == '_' ? 1 : 0;
    const char l = i < c.type.size() ? c.type[i] : '\0';
    if (c.type == "A_A")
      out.push_back("I(" + c.name + ")");
    else if (l == 'C' || l == 'L' || c.type == "V_VM" || (sources && (l == 'V' || l == 'I')))
      out.push_back("V(" + c.name + ")");
  }
  return out;
}

std::vector<std::string> ChosenTraces(const std::vector<std::string>& asked,
                                      const std::vector<TraceInfo>& docTraces,
                                      const std::vector<ComponentInfo>& components, bool sources) {
  if (!asked.empty()) return asked;
  std::vector<std::string> out;
  for (const TraceInfo& t : docTraces) out.push_back(t.name);
  return out.empty() ? DefaultTraces(components, sources) : out;
}

std::string CsvField(const std::string& s) {
  if (s.find_first_of(",\"\n") == std::string::npos) return s;
  std::string q = "\"";
  for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

void WriteOutputFile(const std::string& path, const std::string& what,
                     const std::function<void(std::ostream&)>& write) {
  std::ofstream f(path, std::ios::binary);
  if (!f) throw LibError("cannot write " + what + " " + path);
  write(f);
  f.flush();
  if (!f) throw LibError("cannot write " + what + " " + path);
}

}  // namespace qvs
