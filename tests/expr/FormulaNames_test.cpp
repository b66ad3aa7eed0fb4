// What names stand for: named values, numbers, variables and their
// increments, arrays and element access, component parameters and traces.

#include "expr/FormulaTest.h"

#include <limits>
#include <map>
#include <string>

#include "circuit/Cmps.h"
#include "doc/Doc.h"
#include "traces/Traces.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();

// Components that answer a few parameter names and one array.
class FakeCmps : public CCmps {
 public:
  FakeCmps() { arr_.AddVar("X1.arr", NUM_DOUBLE, 2)->values[1] = NumDouble(2.5); }
  bool GetCmpParamValue(const AnsiString& name, double* value) const override {
    const auto it = params_.find(name.str());
    if (it == params_.end()) return false;
    *value = it->second;
    return true;
  }
  SVar* GetCmpVar(const AnsiString& name) const override {
    return name == "X1.arr" ? arr_.At(0) : nullptr;
  }
  std::map<std::string, double> params_{{"R1.R", 1000.0}, {"X1.C1.C", 1e-6}};
  mutable CVarList arr_;
};

// Traces answering names and {n.m} references from fixed values.
class FakeTraces : public CTraces {
 public:
  bool GetTraceNamedValue(const AnsiString& name, bool ac, SNumber* value) const override {
    asked_ac_ = ac;
    const std::map<std::string, double> values{{"V(R1)", 1.5}, {"out", 4.0}, {"out.(2e-3)", 9.0}};
    const auto it = values.find(name.str());
    if (it == values.end()) return false;
    SetDoubleNumber(value, it->second);
    return true;
  }
  bool GetTraceDataValue(int n, int set, double x, SNumber* value,
                         AnsiString* name) const override {
    if (n != 2) return false;
    if (set > 1) {
      *name = "vout";
      return false;
    }
    SetDoubleNumber(value, 100.0 * set + x);  // tells which set and abscissa were used
    return true;
  }
  mutable bool asked_ac_ = false;
};

}  // namespace

TEST(FormulaNames, NamedValuesAndNumbers) {
  const Want nan = Err("'NaN' not allowed in the expression");
  ExpectRows({
      // Named values ignore case.
      {"pi", Dbl(3.14159265358)}, {"PI", Dbl(3.14159265358)},
      {"rad", Dbl(57.295779513260925)}, {"true", Bool(true)}, {"FALSE", Bool(false)},
      {"high", Err("Value 'high' : no active document")},
      {"Low", Err("Value 'low' : no active document")},
      // NaN is refused, infinity is a value; only a capital N makes the word
      // NaN, so "nan" is an unknown name.
      {"NaN", nan}, {"1+NAN", nan}, {"nan", ErrName("nan")}, {"inf", Dbl(kInf)},
      {"-inf", Dbl(-kInf)}, {"INF", Dbl(kInf)}, {"1+inf", Dbl(kInf)},
      // Literals with scale letters and prefixes; a bad one is named whole.
      {"4k7", Dbl(4700)}, {"1k", Dbl(1000)}, {"10", Int(10)},
      {"1e-3*2", Dbl(0.002)}, {"2.5E+3", Dbl(2500)}, {"0x1F", Int(31)},
      {"0b101", Int(5)}, {"017", Int(15)}, {"2.5j", Cplx(0, 2.5)}, {".5", Dbl(0.5)},
      {"10mA", ErrName("10mA")}, {"08", ErrName("08")}, {"1..2", ErrName("1..2")},
      {"2*0x1G", ErrName("0x1G")},
      // Decision: a number run directly followed by "()" is the bit-exact form
      // of a double, 16 hexadecimal digits giving its bytes in memory order.
      {"000000000000F03F()", Dbl(1.0)}, {"9A9999999999B93F()", Dbl(0.1)},
      {"2*000000000000F03F()", Dbl(2.0)}, {"123(4)", ErrName("123(")},
      {"000000000000F03F(1)", ErrName("000000000000F03F(")},
      {"x", ErrName("x")},  // no variable list
  });
}

class FormulaVars : public ::testing::Test {
 protected:
  void SetUp() override { AddTestVars(vars_); }
  CVarList vars_;
  const FormulaOptions o_{.vars = &vars_};
};

TEST_F(FormulaVars, ScalarsGiveTheirValueInTheirKindTheLaterHidesTheEarlier) {
  vars_.AddVar("R2.R", NUM_DOUBLE, 0)->values[0] = NumDouble(50.0);
  ExpectRows({{"x*2", Dbl(6)}, {"n", Int(5)}, {"b", Bool(true)}, {"z", Cplx(1, 2)},
              {"X*N", Dbl(15)},           // names ignore case
              {"=2*R2.R+1k", Dbl(1100)},  // a dotted name is one variable
              {"y", ErrName("y")}, {"R1.R", ErrName("R1.R")}},
             o_);
  vars_.AddVar("n", NUM_INT, 0)->values[0] = NumInt(9);
  ExpectRows({{"n", Int(9)}}, o_);
  vars_.SetSize(vars_.Count() - 1);
  ExpectRows({{"n", Int(5)}}, o_);
}

TEST_F(FormulaVars, IncrementsChangeTheVariableBeforeOrAfterItIsRead) {
  const Want syntax = Err("Syntax error");
  ExpectRows({{"++n", Int(6)}, {"n", Int(6)}, {"--x", Dbl(2)}, {"x", Dbl(2)},
              {"1- --n", Dbl(-4)},  // after a binary "-", -- still decrements
              {"n", Int(5)},
              // A bool never changes.
              {"++b", Bool(true)}, {"b--", Bool(true)}, {"b", Bool(true)},
              // Decision: a complex variable steps its real part in every mode.
              {"++z", Cplx(2, 2)}, {"z++", Cplx(2, 2)}, {"z", Cplx(3, 2)},
              {"z--", Cplx(3, 2)}, {"z", Cplx(2, 2)},
              // An increment needs exactly one variable.
              {"++pi", syntax}, {"++3", syntax}, {"++(n)", syntax}, {"++n++", syntax},
              {"++a", syntax}, {"++y", ErrName("y")}, {"n", Int(5)}},
             o_);
  ExpectRows({{"n++", Int(5)}, {"n", Int(6)}, {"n--", Int(6)}, {"n", Int(5)},
              {"n+++1", Int(6)},  // (n++) + 1
              {"n", Int(6)}, {"n++ *2", Int(12)}, {"n", Int(7)}},
             {.vars = &vars_, .cMode = true});
}

TEST_F(FormulaVars, ElementsOfArrays) {
  const Want syntax = Err("Syntax error"), no_index = Err("Array 'a' used without index");
  ExpectRows({{"a[1]", Int(-2)}, {"a[0]+a[2]", Dbl(12)}, {"a[1+1]", Int(7)},
              {"a[1.9]", Int(-2)},  // the index is truncated
              {"a[a[0]-4]", Int(-2)}, {"a[1]*2", Dbl(-4)}, {"c[0]", Cplx(0, 1)},
              {"a [2]", Int(7)}, {"a[3]", Err("Array index too high")},
              {"a[-1]", Err("Negative array index")},
              {"a[1j]", Err("Complex array index not allowed")},
              {"q[0]", Err("Unknown array 'q'")}, {"x[0]", Err("Unknown array 'x'")},  // scalar
              {"a[1,2]", syntax}, {"a[]", syntax},
              // Decision: an array named without an index is a value only as
              // the single argument of min, max, mean, average and sum.
              {"a", no_index}, {"a+1", no_index}, {"-a", no_index}, {"sin(a)", no_index},
              {"(int)a", no_index}, {"a[a]", no_index}, {"a ? 1 : 2", no_index},
              {"1 ? a : 2", no_index},
              // Increments of elements, last: they change a.
              {"++a[1]", Int(-1)}, {"a[1]", Int(-1)}, {"a[1]++", Int(-1)}, {"a[1]", Int(0)},
              {"a[2]--*2", Dbl(14)}, {"a[2]", Int(6)}, {"++a[0]++", syntax},
              {"0 ? a[0]++ : a[0]", Int(5)}, {"a[0]", Int(5)}},
             o_);
}

TEST(FormulaNames, ComponentParametersByDottedNameAfterVariables) {
  FakeCmps cmps;
  CVarList vars;
  const FormulaOptions o{.vars = &vars, .cmps = &cmps};
  ExpectRows({{"R1.R*2", Dbl(2000)}, {"X1.C1.C", Dbl(1e-6)},
              {"X1.arr[1]", Dbl(2.5)}, {"R2.R", ErrName("R2.R")},
              {"++R1.R", Err("Operator '++' not allowed for component parameter")},
              {"R1.R--", Err("Operator '--' not allowed for component parameter")}},
             o);
  vars.AddVar("r1.r", NUM_DOUBLE, 0)->values[0] = NumDouble(7.0);
  ExpectRows({{"R1.R", Dbl(7)}}, o);  // a variable of the same name comes first
}

TEST(FormulaNames, QuantitiesNeedAnEngineOrTraces) {
  ExpectRows({{"V(R1)", Err("Function V not allowed")},
              {"2*I(R1)", Err("Function I not allowed")},
              {"P(R1)", Err("Function P not allowed")}, {"S(D1)", Err("Function S not allowed")}});
  FakeTraces traces;
  FormulaOptions o{.traces = &traces};
  // With traces the whole call text is a trace name, unless references go by number.
  ExpectRows({{"2*V(R1)", Dbl(3)}, {"I(R1)", ErrName("I(R1)")}}, o);
  o.indexRefs = true;
  ExpectRows({{"V(R1)", Err("Function V not allowed")}}, o);
}

TEST(FormulaNames, TraceNamesWithComputedArguments) {
  FakeTraces traces;
  const FormulaOptions o{.traces = &traces, .ac = true};
  EXPECT_TRUE(Gives(Eval("out+1", o), Dbl(5)));
  EXPECT_TRUE(traces.asked_ac_);
  // trace.(x): the bracket is evaluated and printed with 12 digits
  // (1e-3*2 -> 2e-3); the trace answers for that position.
  ExpectRows({{"out.(1e-3*2)", Dbl(9)},
              {"out.(1)", ErrName("out.(1)")}, {"out.(1/0)", Err("Division by zero")}},
             o);
}

TEST(FormulaNames, TraceReferencesByNumber) {
  FakeTraces traces;
  CVarList vars;
  vars.AddVar("t", NUM_DOUBLE, 0)->values[0] = NumDouble(0.5);  // the abscissa
  FormulaOptions o{.vars = &vars, .traces = &traces, .indexRefs = true, .index = 1};
  ExpectRows({{"{2}", Dbl(100.5)},      // the caller's data set
              {"{2.0}*2", Dbl(1)},      // data set 0
              {"{2.-1}", Dbl(100.5)},   // negative: the caller's
              {"{x}", Err("Syntax error")}, {"{2", Err("Syntax error")}},
             o);
  o.indexRefs = false;
  ExpectRows({{"{2}", Err("Syntax error")}}, o);
  // Missing data fails and, unlike other failures, sets the result to 0.
  const struct {
    const char* text;
    const char* message;
  } missing[] = {{"{2.5}", "_No data for trace vout"}, {"{7}", "_No data for trace {7}"}};
  for (const auto& row : missing) {
    double result = 42.0;
    m_global_errstr = "";
    EXPECT_FALSE(formula(row.text, &result, nullptr, nullptr, nullptr, false, &traces, nullptr,
                         false, true, 0, false));
    EXPECT_EQ(row.message, m_global_errstr.str());
    EXPECT_EQ(0.0, result) << row.text;
  }
}
