#pragma once
// Running the built qvs tool from a test: its exit status, standard output
// and error. Only meaningful where QVS_CLI_PATH is defined (the tool is part
// of the build).

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TestData.h"
#include "doc/xml.h"

namespace clitest {

struct Result {
  int status = -1;  // exit status; -1 when the tool did not exit normally
  std::string out, err;
};

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// Runs `tool args...` with standard input from /dev/null.
inline Result RunTool(const std::string& tool, const std::vector<std::string>& args) {
  static int n = 0;
  const std::string base = ScratchDir() + "/clirun" + std::to_string(++n);
  std::string cmd = ShellQuote(tool);
  for (const std::string& a : args) cmd += " " + ShellQuote(a);
  cmd += " >" + ShellQuote(base + ".out") + " 2>" + ShellQuote(base + ".err") + " </dev/null";
  const int rc = std::system(cmd.c_str());
  Result r;
  r.status = rc != -1 && WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.out = ReadFile(base + ".out");
  r.err = ReadFile(base + ".err");
  return r;
}

#ifdef QVS_CLI_PATH
// Runs the built qvs tool.
inline Result Qvs(const std::vector<std::string>& args) { return RunTool(QVS_CLI_PATH, args); }

// Runs qvs, which must end with `status` and exactly `err` on standard error.
inline Result ExpectExit(const std::vector<std::string>& args, int status,
                         const std::string& err) {
  const Result r = Qvs(args);
  std::string line;
  for (const auto& a : args) line += a + " ";
  EXPECT_EQ(status, r.status) << line;
  EXPECT_EQ(err, r.err) << line;
  return r;
}
#endif

// An example document of the repository.
inline std::string Example(const char* name) {
  return std::string(QVS_EXAMPLES_DIR) + "/" + name;
}

// The integer after "key: " in a printout's closing figures; -1 when absent.
inline long long Figure(const std::string& text, const std::string& key) {
  const std::size_t p = text.find(key + ": ");
  return p == std::string::npos ? -1 : std::atoll(text.c_str() + p + key.size() + 2);
}

// Each command line must end with exit status 2 (bad usage) and a reason on
// standard error.
inline void ExpectUsageErrors(const std::string& tool,
                              const std::vector<std::vector<std::string>>& commandLines) {
  for (const auto& args : commandLines) {
    const Result r = RunTool(tool, args);
    std::string line;
    for (const auto& a : args) line += a + " ";
    EXPECT_EQ(2, r.status) << line << "\n" << r.err;
    EXPECT_FALSE(r.err.empty()) << line;
  }
}

// Rows of comma-separated fields; no quoting (the tests' labels need none).
inline std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream ls(line);
    std::string cell;
    while (std::getline(ls, cell, ',')) f.push_back(cell);
    if (!line.empty() && line.back() == ',') f.push_back("");
    rows.push_back(f);
  }
  return rows;
}

// The number of elements named `name` in the tree under node, node included.
inline int CountElements(CXMLNode* node, const char* name) {
  int n = node->GetName() == name ? 1 : 0;
  for (int i = 0; i < node->NodeCount(); ++i) n += CountElements(node->GetNode(i), name);
  return n;
}

}  // namespace clitest
