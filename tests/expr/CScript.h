#pragma once
// Shared set-up of the C language tests: a deterministic engine and a
// fixture that parses a program and runs it on its own variable list.

#include <gtest/gtest.h>

#include <string>

#include "base/AnsiString.h"
#include "base/globals.h"
#include "expr/EngineLink.h"
#include "expr/VarList.h"
#include "expr/globals.h"
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

class CScript : public ::testing::Test {
 protected:
  // Parses text; on failure the test sees the message and position.
  bool Parse(const std::string& text) {
    return root_.CreateCCode(AnsiString(text));
  }

  // Parses and runs text in mode 0 from the present variable count, the
  // way an initial condition or a program without sections runs. The parse
  // must succeed.
  int Run(const std::string& text) {
    if (!Parse(text)) {
      ADD_FAILURE() << "parse failed: " << m_global_errstr.str() << " at "
                    << C_error_position;
      return -100;
    }
    return root_.ExecuteCCode(0, &vars_, vars_.Count(), CX_CHILDREN);
  }

  // A variable's element, which must exist.
  SNumber Value(const char* name, int element = 0) {
    SVar* v = vars_.FindVar(AnsiString(name), 0);
    if (!v) {
      ADD_FAILURE() << "no variable " << name;
      return SNumber();
    }
    return v->values[element];
  }
  double Double(const char* name, int element = 0) {
    SNumber n = Value(name, element);
    ConvertNumber(&n, NUM_DOUBLE);
    return n.v.d;
  }
  // The value of an int variable; the kind is checked too.
  int Int(const char* name, int element = 0) {
    const SNumber n = Value(name, element);
    EXPECT_EQ(NUM_INT, n.kind) << name;
    return n.v.i;
  }
  bool Exists(const char* name) { return vars_.FindVar(AnsiString(name), 0) != nullptr; }

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
