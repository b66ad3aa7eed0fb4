// What names stand for: named values, variables and their increments,
// arrays and element access, component parameters, traces, and numbers.

#include "expr/FormulaTest.h"

#include <cstring>
#include <limits>
#include <map>
#include <string>

#include "circuit/Cmps.h"
#include "doc/Doc.h"
#include "traces/Traces.h"

namespace {

class FormulaVars : public ::testing::Test {
 protected:
  void SetUp() override {
    AddTestVars(vars_);
    o_.vars = &vars_;
  }
  FormulaRun Run(const std::string& text) { return Eval(text, o_); }
  FormulaRun RunC(const std::string& text) {
    FormulaOptions c = o_;
    c.cMode = true;
    return Eval(text, c);
  }
  SNumber& Value(const char* name) { return vars_.FindVar(name)->values[0]; }
  SNumber& Element(int i) { return vars_.FindVar("a")->values[i]; }

  CVarList vars_;
  FormulaOptions o_;
};

// Components that answer a few parameter names and one array.
class FakeCmps : public CCmps {
 public:
  FakeCmps() {
    arr_.AddVar("X1.arr", NUM_DOUBLE, 2);
    SetDoubleNumber(&arr_.At(0)->values[1], 2.5);
  }
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
    if (name == "V(R1)") SetDoubleNumber(value, 1.5);
    else if (name == "out") SetDoubleNumber(value, 4.0);
    else if (name == "out.(2e-3)") SetDoubleNumber(value, 9.0);
    else return false;
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

TEST(FormulaNamedValues, ConstantsIgnoreCase) {
  EXPECT_TRUE(GivesDouble(Eval("pi"), 3.14159265358));
  EXPECT_TRUE(GivesDouble(Eval("PI"), 3.14159265358));
  EXPECT_TRUE(GivesDouble(Eval("rad"), 57.295779513260925));
  EXPECT_TRUE(GivesBool(Eval("true"), true));
  EXPECT_TRUE(GivesBool(Eval("FALSE"), false));
}

TEST(FormulaNamedValues, LevelsNeedADocument) {
  EXPECT_TRUE(FailsWith(Eval("high"), "Value 'high' : no active document"));
  EXPECT_TRUE(FailsWith(Eval("Low"), "Value 'low' : no active document"));
}

TEST(FormulaNamedValues, NaNIsRefusedInfinityIsAValue) {
  EXPECT_TRUE(FailsWith(Eval("NaN"), "'NaN' not allowed in the expression"));
  EXPECT_TRUE(FailsWith(Eval("1+NAN"), "'NaN' not allowed in the expression"));
  // Only a capital N makes the word NaN; "nan" is an unknown name.
  EXPECT_TRUE(FailsWith(Eval("nan"), "Wrong variable name or number format: 'nan'"));
  EXPECT_TRUE(GivesDouble(Eval("inf"), std::numeric_limits<double>::infinity()));
  EXPECT_TRUE(GivesDouble(Eval("-inf"), -std::numeric_limits<double>::infinity()));
  EXPECT_TRUE(GivesDouble(Eval("INF"), std::numeric_limits<double>::infinity()));
  EXPECT_TRUE(GivesDouble(Eval("1+inf"), std::numeric_limits<double>::infinity()));
}

TEST(FormulaNumbers, LiteralsWithScaleLettersAndPrefixes) {
  EXPECT_TRUE(GivesDouble(Eval("4k7"), 4700.0));
  EXPECT_TRUE(GivesDouble(Eval("1k"), 1000.0));
  EXPECT_TRUE(GivesInt(Eval("10"), 10));
  EXPECT_TRUE(GivesDouble(Eval("1e-3*2"), 0.002));
  EXPECT_TRUE(GivesDouble(Eval("2.5E+3"), 2500.0));
  EXPECT_TRUE(GivesInt(Eval("0x1F"), 31));
  EXPECT_TRUE(GivesInt(Eval("0b101"), 5));
  EXPECT_TRUE(GivesInt(Eval("017"), 15));
  EXPECT_TRUE(GivesComplex(Eval("2.5j"), 0.0, 2.5));
  EXPECT_TRUE(GivesDouble(Eval(".5"), 0.5));
}

TEST(FormulaNumbers, BadNumbersNameTheWholeRun) {
  EXPECT_TRUE(FailsWith(Eval("10mA"), "Wrong variable name or number format: '10mA'"));
  EXPECT_TRUE(FailsWith(Eval("08"), "Wrong variable name or number format: '08'"));
  EXPECT_TRUE(FailsWith(Eval("1..2"), "Wrong variable name or number format: '1..2'"));
  EXPECT_TRUE(FailsWith(Eval("2*0x1G"), "Wrong variable name or number format: '0x1G'"));
}

// Decision: a number run directly followed by "()" is the bit-exact form of
// a double, 16 hexadecimal digits giving its bytes in memory order.
TEST(FormulaNumbers, HexBytesBeforeBracketsGiveAnExactDouble) {
  EXPECT_TRUE(GivesDouble(Eval("000000000000F03F()"), 1.0));
  EXPECT_TRUE(GivesDouble(Eval("9A9999999999B93F()"), 0.1));
  EXPECT_TRUE(GivesDouble(Eval("2*000000000000F03F()"), 2.0));
  EXPECT_TRUE(FailsWith(Eval("123(4)"), "Wrong variable name or number format: '123('"));
  EXPECT_TRUE(FailsWith(Eval("000000000000F03F(1)"),
                        "Wrong variable name or number format: '000000000000F03F('"));
}

TEST_F(FormulaVars, ScalarsGiveTheirValueInTheirKind) {
  EXPECT_TRUE(GivesDouble(Run("x*2"), 6.0));
  EXPECT_TRUE(GivesInt(Run("n"), 5));
  EXPECT_TRUE(GivesBool(Run("b"), true));
  EXPECT_TRUE(GivesComplex(Run("z"), 1.0, 2.0));
  EXPECT_TRUE(GivesDouble(Run("X*N"), 15.0));  // names ignore case
}

TEST_F(FormulaVars, LaterVariableHidesEarlier) {
  SetIntNumber(vars_.AddVar("n", NUM_INT, 0)->values, 9);
  EXPECT_TRUE(GivesInt(Run("n"), 9));
  vars_.SetSize(vars_.Count() - 1);
  EXPECT_TRUE(GivesInt(Run("n"), 5));
}

TEST_F(FormulaVars, DottedNamesAreOneVariable) {
  SetDoubleNumber(vars_.AddVar("R2.R", NUM_DOUBLE, 0)->values, 50.0);
  EXPECT_TRUE(GivesDouble(Run("=2*R2.R+1k"), 1100.0));
}

TEST_F(FormulaVars, UnknownNames) {
  EXPECT_TRUE(FailsWith(Run("y"), "Wrong variable name or number format: 'y'"));
  EXPECT_TRUE(FailsWith(Run("R1.R"), "Wrong variable name or number format: 'R1.R'"));
  EXPECT_TRUE(FailsWith(Eval("x"), "Wrong variable name or number format: 'x'"));  // no list
}

TEST_F(FormulaVars, PrefixIncrementChangesFirst) {
  EXPECT_TRUE(GivesInt(Run("++n"), 6));
  EXPECT_EQ(6, Value("n").v.i);
  EXPECT_TRUE(GivesDouble(Run("--x"), 2.0));
  EXPECT_EQ(2.0, Value("x").v.d);
  EXPECT_TRUE(GivesDouble(Run("1- --n"), -4.0));  // after a binary "-", -- still decrements
  EXPECT_EQ(5, Value("n").v.i);
}

TEST_F(FormulaVars, PostfixIncrementChangesAfter) {
  EXPECT_TRUE(GivesInt(RunC("n++"), 5));
  EXPECT_EQ(6, Value("n").v.i);
  EXPECT_TRUE(GivesInt(RunC("n--"), 6));
  EXPECT_EQ(5, Value("n").v.i);
  EXPECT_TRUE(GivesInt(RunC("n+++1"), 6));  // (n++) + 1
  EXPECT_EQ(6, Value("n").v.i);
  EXPECT_TRUE(GivesInt(RunC("n++ *2"), 12));
  EXPECT_EQ(7, Value("n").v.i);
}

TEST_F(FormulaVars, BoolNeverChanges) {
  EXPECT_TRUE(GivesBool(Run("++b"), true));
  EXPECT_TRUE(GivesBool(Run("b--"), true));
  EXPECT_TRUE(GivesBool(Run("b"), true));
}

// Decision: a complex variable steps its real part in every mode.
TEST_F(FormulaVars, ComplexStepsItsRealPartPrefixAndPostfix) {
  EXPECT_TRUE(GivesComplex(Run("++z"), 2.0, 2.0));
  EXPECT_TRUE(GivesComplex(Run("z++"), 2.0, 2.0));
  EXPECT_TRUE(GivesComplex(Run("z"), 3.0, 2.0));
  EXPECT_TRUE(GivesComplex(Run("z--"), 3.0, 2.0));
  EXPECT_TRUE(GivesComplex(Run("z"), 2.0, 2.0));
}

TEST_F(FormulaVars, IncrementNeedsOneVariable) {
  EXPECT_TRUE(FailsWith(Run("++pi"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Run("++3"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Run("++(n)"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Run("++n++"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Run("++a"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Run("++y"), "Wrong variable name or number format: 'y'"));
  EXPECT_EQ(5, Value("n").v.i);
}

TEST_F(FormulaVars, ElementAccess) {
  EXPECT_TRUE(GivesInt(Run("a[1]"), -2));
  EXPECT_TRUE(GivesDouble(Run("a[0]+a[2]"), 12.0));
  EXPECT_TRUE(GivesInt(Run("a[1+1]"), 7));
  EXPECT_TRUE(GivesInt(Run("a[1.9]"), -2));  // the index is truncated
  EXPECT_TRUE(GivesInt(Run("a[a[0]-4]"), -2));
  EXPECT_TRUE(GivesDouble(Run("a[1]*2"), -4.0));
  EXPECT_TRUE(GivesComplex(Run("c[0]"), 0.0, 1.0));
  EXPECT_TRUE(GivesInt(Run("a [2]"), 7));
}

TEST_F(FormulaVars, ElementIndexErrors) {
  EXPECT_TRUE(FailsWith(Run("a[3]"), "Array index too high"));
  EXPECT_TRUE(FailsWith(Run("a[-1]"), "Negative array index"));
  EXPECT_TRUE(FailsWith(Run("a[1j]"), "Complex array index not allowed"));
  EXPECT_TRUE(FailsWith(Run("q[0]"), "Unknown array 'q'"));
  EXPECT_TRUE(FailsWith(Run("x[0]"), "Unknown array 'x'"));  // a scalar
  EXPECT_TRUE(FailsWith(Run("a[1,2]"), "Syntax error"));
  EXPECT_TRUE(FailsWith(Run("a[]"), "Syntax error"));
}

TEST_F(FormulaVars, ElementIncrements) {
  EXPECT_TRUE(GivesInt(Run("++a[1]"), -1));
  EXPECT_EQ(-1, Element(1).v.i);
  EXPECT_TRUE(GivesInt(Run("a[1]++"), -1));
  EXPECT_EQ(0, Element(1).v.i);
  EXPECT_TRUE(GivesDouble(Run("a[2]--*2"), 14.0));
  EXPECT_EQ(6, Element(2).v.i);
  EXPECT_TRUE(FailsWith(Run("++a[0]++"), "Syntax error"));
  EXPECT_TRUE(GivesInt(Run("0 ? a[0]++ : a[0]"), 5));
  EXPECT_EQ(5, Element(0).v.i);
}

// Decision: an array named without an index is a value only as the single
// argument of min, max, mean, average and sum; elsewhere it is refused.
TEST_F(FormulaVars, ArrayWithoutIndexIsRefused) {
  EXPECT_TRUE(FailsWith(Run("a"), "Array 'a' used without index"));
  EXPECT_TRUE(FailsWith(Run("a+1"), "Array 'a' used without index"));
  EXPECT_TRUE(FailsWith(Run("-a"), "Array 'a' used without index"));
  EXPECT_TRUE(FailsWith(Run("sin(a)"), "Array 'a' used without index"));
  EXPECT_TRUE(FailsWith(Run("(int)a"), "Array 'a' used without index"));
  EXPECT_TRUE(FailsWith(Run("a[a]"), "Array 'a' used without index"));
  EXPECT_TRUE(FailsWith(Run("a ? 1 : 2"), "Array 'a' used without index"));
  EXPECT_TRUE(FailsWith(Run("1 ? a : 2"), "Array 'a' used without index"));
  EXPECT_TRUE(GivesInt(Run("max(a)"), 7));
}

TEST(FormulaComponents, ParameterByDottedName) {
  FakeCmps cmps;
  FormulaOptions o;
  o.cmps = &cmps;
  EXPECT_TRUE(GivesDouble(Eval("R1.R*2", o), 2000.0));
  EXPECT_TRUE(GivesDouble(Eval("X1.C1.C", o), 1e-6));
  EXPECT_TRUE(GivesDouble(Eval("X1.arr[1]", o), 2.5));
  EXPECT_TRUE(FailsWith(Eval("R2.R", o), "Wrong variable name or number format: 'R2.R'"));
}

TEST(FormulaComponents, VariableOfTheSameNameComesFirst) {
  FakeCmps cmps;
  CVarList vars;
  SetDoubleNumber(vars.AddVar("r1.r", NUM_DOUBLE, 0)->values, 7.0);
  FormulaOptions o;
  o.cmps = &cmps;
  o.vars = &vars;
  EXPECT_TRUE(GivesDouble(Eval("R1.R", o), 7.0));
}

TEST(FormulaComponents, ParametersCannotBeIncremented) {
  FakeCmps cmps;
  FormulaOptions o;
  o.cmps = &cmps;
  EXPECT_TRUE(FailsWith(Eval("++R1.R", o), "Operator '++' not allowed for component parameter"));
  EXPECT_TRUE(FailsWith(Eval("R1.R--", o), "Operator '--' not allowed for component parameter"));
}

TEST(FormulaQuantities, VIPSNeedAnEngineOrTraces) {
  EXPECT_TRUE(FailsWith(Eval("V(R1)"), "Function V not allowed"));
  EXPECT_TRUE(FailsWith(Eval("2*I(R1)"), "Function I not allowed"));
  EXPECT_TRUE(FailsWith(Eval("P(R1)"), "Function P not allowed"));
  EXPECT_TRUE(FailsWith(Eval("S(D1)"), "Function S not allowed"));
}

TEST(FormulaTraces, WholeCallTextIsATraceName) {
  FakeTraces traces;
  FormulaOptions o;
  o.traces = &traces;
  EXPECT_TRUE(GivesDouble(Eval("2*V(R1)", o), 3.0));
  EXPECT_TRUE(FailsWith(Eval("I(R1)", o), "Wrong variable name or number format: 'I(R1)'"));
  // With references by number, names are not trace names.
  o.indexRefs = true;
  EXPECT_TRUE(FailsWith(Eval("V(R1)", o), "Function V not allowed"));
}

TEST(FormulaTraces, TraceNamesAndComputedArguments) {
  FakeTraces traces;
  FormulaOptions o;
  o.traces = &traces;
  o.ac = true;
  EXPECT_TRUE(GivesDouble(Eval("out+1", o), 5.0));
  EXPECT_TRUE(traces.asked_ac_);
  // trace.(x): the bracket is evaluated and printed with 12 digits
  // (1e-3*2 -> 2e-3); the trace answers for that position.
  EXPECT_TRUE(GivesDouble(Eval("out.(1e-3*2)", o), 9.0));
  EXPECT_TRUE(FailsWith(Eval("out.(1)", o), "Wrong variable name or number format: 'out.(1)'"));
  EXPECT_TRUE(FailsWith(Eval("out.(1/0)", o), "Division by zero"));
}

TEST(FormulaTraces, ReferencesByNumber) {
  FakeTraces traces;
  CVarList vars;
  SetDoubleNumber(vars.AddVar("t", NUM_DOUBLE, 0)->values, 0.5);  // the abscissa
  FormulaOptions o;
  o.traces = &traces;
  o.vars = &vars;
  o.indexRefs = true;
  o.index = 1;
  EXPECT_TRUE(GivesDouble(Eval("{2}", o), 100.5));     // the caller's data set
  EXPECT_TRUE(GivesDouble(Eval("{2.0}*2", o), 1.0));   // data set 0
  EXPECT_TRUE(GivesDouble(Eval("{2.-1}", o), 100.5));  // negative: the caller's
  EXPECT_TRUE(FailsWith(Eval("{x}", o), "Syntax error"));
  EXPECT_TRUE(FailsWith(Eval("{2", o), "Syntax error"));
  o.indexRefs = false;
  EXPECT_TRUE(FailsWith(Eval("{2}", o), "Syntax error"));
}

TEST(FormulaTraces, MissingDataSetsTheResultToZero) {
  FakeTraces traces;
  FormulaOptions o;
  o.traces = &traces;
  o.indexRefs = true;
  double result = 42.0;
  m_global_errstr = "";
  EXPECT_FALSE(formula("{2.5}", &result, nullptr, nullptr, nullptr, false, &traces, nullptr, false,
                       true, 0, false));
  EXPECT_EQ("_No data for trace vout", m_global_errstr.str());
  EXPECT_EQ(0.0, result);
  result = 42.0;
  EXPECT_FALSE(formula("{7}", &result, nullptr, nullptr, nullptr, false, &traces, nullptr, false,
                       true, 0, false));
  EXPECT_EQ("_No data for trace {7}", m_global_errstr.str());
  EXPECT_EQ(0.0, result);
}
