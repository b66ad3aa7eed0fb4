// Circuit documents under arbitrary input, through the C interface as a
// host would open them: QVS_Open must never fault or hang, a failure must
// leave the function's own error text, and a document that opens must save
// and the saved file must open again.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "qvs_dll.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// Per-process names, so that parallel fuzzing jobs do not share files.
std::string TempName(const char* tag) {
  return "/tmp/qvs_doc_fuzz_" + std::to_string(getpid()) + "_" + tag + ".qvs";
}

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

bool StartsWith(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string in = TempName("in");
  const std::string out = TempName("out");
  if (!WriteFile(in, data, size)) return 0;

  const int h = QVS_Open(const_cast<char*>(in.c_str()));
  if (h < 0) {
    Check(StartsWith(QVS_GetError(), "QVS_Open: "));
  } else {
    Check(std::strcmp(QVS_GetError(), "OK") == 0);
    Check(QVS_SaveAs(h, const_cast<char*>(out.c_str())) == 0);
    Check(QVS_Close(h) == 0);
    // What this library writes, it reads.
    const int again = QVS_Open(const_cast<char*>(out.c_str()));
    Check(again >= 0);
    Check(QVS_Close(again) == 0);
    std::remove(out.c_str());
  }
  std::remove(in.c_str());
  return 0;
}
