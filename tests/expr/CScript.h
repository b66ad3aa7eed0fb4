#pragma once
// Shared set-up of the C language tests: a deterministic engine, and a
// fixture that runs programs on its own variable list and shows variables
// and statement trees as text, so that each example fits on one line.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/CLocale.h"
#include "base/globals.h"
#include "expr/VarList.h"
#include "expr/xml_C.h"

// Stands in for the simulation engine: keeps the error text, reports a
// time-out from the timeout_at-th question on (never when 0), so that loop
// time-outs happen at a known pass instead of after processor seconds, and
// sets the array limit.
class CTestEngine : public CEngineLink {
 public:
  void SetError(const AnsiString& text) override { error = text; }
  bool IsTimeout() override {
    ++checks;
    return timeout_at > 0 && checks >= timeout_at;
  }
  bool IsStopRequested() const override { return stop; }
  CDoc* GetDoc() const override { return nullptr; }
  int MaxArraySize() const override { return max_array; }

  AnsiString error;
  int max_array = kMaxCArraySize;
  bool stop = false;
  int timeout_at = 0;
  int checks = 0;  // IsTimeout questions so far
};

// A value as C would write it, so that a wrong kind shows as a wrong text:
// int 3, double 3.0, int64 3L, bool true, complex(2.0,0.0).
inline std::string Show(const SNumber& n) {
  auto real = [](double d) {
    char buf[40];
    snprintf_c(buf, sizeof buf, "%.17g", d);
    const std::string s = buf;
    return s.find_first_of(".ein") == std::string::npos ? s + ".0" : s;
  };
  switch (n.kind) {
    case NUM_INT: return std::to_string(n.v.i);
    case NUM_INT64: return std::to_string(n.v.i64) + "L";
    case NUM_BOOL: return n.v.b ? "true" : "false";
    case NUM_DOUBLE: return real(n.v.d);
    case NUM_COMPLEX: return "complex(" + real(n.v.d) + "," + real(n.im) + ")";
  }
  return "kind " + std::to_string(n.kind);
}

class CScript : public ::testing::Test {
 protected:
  // A program, the named variables afterwards ("a=1 b={1,2} c=(none)"), the
  // engine's message when the run must fail (-1), else the result (3 for
  // return).
  struct SExample {
    std::string program, vars;
    std::string error = "";
    int result = 0;
  };

  bool Parse(const std::string& text) { return root_.CreateCCode(AnsiString(text)); }

  // Parses and runs text in mode 0 from the present variable count, the
  // way an initial condition or a program without sections runs. The parse
  // must succeed.
  int Run(const std::string& text) {
    if (!Parse(text)) {
      ADD_FAILURE() << "parse failed: " << m_global_errstr.str() << " at " << C_error_position;
      return -100;
    }
    return root_.ExecuteCCode(0, &vars_, vars_.Count(), CX_CHILDREN);
  }
  int RunFresh(const std::string& text) {
    vars_.ClearVarList();
    engine_.error = AnsiString();
    return Run(text);
  }

  // Each example on a fresh variable list.
  void Examples(const std::vector<SExample>& rows) {
    for (const SExample& row : rows) {
      SCOPED_TRACE("program: " + row.program);
      EXPECT_EQ(row.error.empty() ? row.result : -1, RunFresh(row.program));
      EXPECT_EQ(row.error, engine_.error.str());
      ExpectVars(row.vars);
    }
  }

  // The variables named in the pattern "a=... b[2]=..." with their present
  // values; an array without index shows all its elements.
  std::string Vars(const std::string& pattern) {
    std::istringstream in(pattern);
    std::string item, out;
    while (in >> item) {
      const std::string name = item.substr(0, item.find('='));
      const auto bracket = name.find('[');
      const int element = bracket == std::string::npos ? -1 : std::stoi(name.substr(bracket + 1));
      SVar* v = vars_.FindVar(AnsiString(name.substr(0, bracket)), 0);
      out += (out.empty() ? "" : " ") + name + "=";
      if (!v) {
        out += "(none)";
      } else if (element >= 0 || !v->IsArray()) {
        out += Show(v->values[element < 0 ? 0 : element]);
      } else {
        for (int k = 0; k < v->size; ++k) out += (k ? "," : "{") + Show(v->values[k]);
        out += "}";
      }
    }
    return out;
  }
  void ExpectVars(const std::string& pattern) { EXPECT_EQ(pattern, Vars(pattern)); }

  // The statements below node, each as type(text1;text2;text3){children}.
  static std::string Tree(const CCNode& node) {
    static const char* const kNames[] = {
        "?",    "block", "complex", "double",  "int64", "int",  "bool",  "decl",
        "switch", "case", "default", "if",     "else",  "while", "do",   "for",
        "init", "main",  "break",   "continue", "return", "expr"};
    std::string out;
    for (int i = 0; i < node.GetCNodeCount(); ++i) {
      const CCNode& c = *node.GetCNode(i);
      const bool known = c.Type() > 0 && c.Type() <= CN_EXPRESSION;
      out += (i ? " " : "") + std::string(kNames[known ? c.Type() : 0]);
      if (c.Type() == CN_FOR) {
        out += "(" + c.Text1().str() + ";" + c.Text2().str() + ";" + c.Text3().str() + ")";
      } else if (c.Type() == CN_EXPRESSION || !c.Text1().str().empty()) {
        out += "(" + c.Text1().str() + ")";
      }
      if (c.GetCNodeCount() > 0) out += "{" + Tree(c) + "}";
    }
    return out;
  }
  std::string Tree() const { return Tree(root_); }

  CTestEngine engine_;
  CCNode root_{0, 0, nullptr, &engine_};
  CVarList vars_;
};

// Text with CR LF line ends, written one line per argument.
inline std::string CrLf(std::initializer_list<const char*> lines) {
  std::string s;
  for (const char* l : lines) s += std::string(l) + "\r\n";
  return s;
}
