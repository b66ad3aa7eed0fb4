// Helpers of the AC tests: small circuit documents written next to the
// test that uses them, and the samples of an AC trace read back through
// the C interface.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "ApiTest.h"
#include "TestData.h"
#include "qvs_dll.h"

namespace actest {

using apitest::Err;
using apitest::S;

// The value of pi the analysis uses for omega = 2 pi f; expected values are
// computed with it so that they compare to round-off.
constexpr double kPi = 3.14159265358;
inline double Omega(double f) { return 2.0 * kPi * f; }

// Writes a document with the given "Cmp" elements, AC part (the content of
// "Freq": traces and settings) and transient part, and opens it. Returns
// the circuit handle, or -1 with the error text left by QVS_Open.
inline int OpenCircuit(const std::string& name, const std::string& cmps, const std::string& freq,
                       const std::string& tran = "<Settings step=\"1e-5\" screen=\"0.01\" />") {
  const std::string path = ScratchDir() + "/" + name + ".qvs";
  FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return -1;
  std::fprintf(file,
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<QVS>\n"
               "  <Version ver=\"3\" rev=\"12\" core=\"59\" build=\"23\" />\n  <Doc>\n"
               "    <Cir><Cmps>\n%s\n    </Cmps></Cir>\n"
               "    <Freq>\n%s\n    </Freq>\n"
               "    <Tran>\n%s\n    </Tran>\n"
               "    <Advanced to=\"0\" />\n  </Doc>\n</QVS>\n",
               cmps.c_str(), freq.c_str(), tran.c_str());
  std::fclose(file);
  return QVS_Open(S(path));
}

struct SPoint {
  double f = 0.0, mag = 0.0, phase = 0.0;
};

// Every sample of the AC trace; empty when the trace is not found (the
// test then fails on the error text).
inline std::vector<SPoint> Points(int h, const std::string& trace) {
  std::vector<SPoint> out;
  const int tr = QVS_GetACTrace(h, S(trace));
  if (tr < 0) return out;
  const int n = QVS_GetACDataSize(h, tr);
  for (int i = 0; i < n; ++i) {
    SPoint p;
    if (QVS_GetACDataAt(h, tr, i, &p.f, &p.mag, &p.phase) != 0) break;
    out.push_back(p);
  }
  return out;
}

inline std::vector<double> Frequencies(int h, const std::string& trace) {
  std::vector<double> out;
  for (const SPoint& p : Points(h, trace)) out.push_back(p.f);
  return out;
}

}  // namespace actest
