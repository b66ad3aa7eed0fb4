#include "TestData.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

std::string TestData(const std::string& name) {
  return std::string(QVS_TEST_DATA_DIR) + "/" + name;
}

namespace {
struct Scratch {
  std::filesystem::path dir;
  Scratch() {
    dir = std::filesystem::temp_directory_path() /
          ("qvs_tests_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  ~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};
}  // namespace

std::string ScratchDir() {
  static Scratch s;
  return s.dir.string() + "/";
}
