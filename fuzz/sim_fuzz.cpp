// Circuit documents under arbitrary input, simulated as a host would: open,
// a short transient run, an AC analysis, close. Whatever the document, no
// call may fault or hang; a failing call must leave its own error text.
// Runs are short (a few hundred steps) and the time-out is one second, so a
// pathological circuit ends with a message instead of holding the fuzzer.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "qvs_dll.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

bool StartsWith(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in = "/tmp/qvs_sim_fuzz_" + std::to_string(getpid()) + ".qvs";
  FILE* f = std::fopen(in.c_str(), "wb");
  if (f == nullptr) return 0;
  const bool written = std::fwrite(data, 1, size, f) == size;
  if (std::fclose(f) != 0 || !written) return 0;

  const int h = QVS_Open(const_cast<char*>(in.c_str()));
  if (h >= 0) {
    Check(QVS_SetTimeout(h, 1) == 0);
    Check(QVS_SetStep(h, 1e-5) == 0 || StartsWith(QVS_GetError(), "QVS_SetStep: "));
    for (int i = 0; i < 3; ++i) {
      if (QVS_Simulate(h, 1e-3) != 0) {
        Check(StartsWith(QVS_GetError(), "QVS_Simulate: "));
        break;
      }
    }
    if (QVS_CalcAC(h) != 0) Check(StartsWith(QVS_GetError(), "QVS_CalcAC: "));
    Check(QVS_Close(h) == 0);
  }
  std::remove(in.c_str());
  return 0;
}
