// The built-in functions, family by family, with their argument rules and
// the exact wording of their refusals (aliases report their main name).

#include "expr/FormulaTest.h"

#include <cstdlib>

#include "doc/Doc.h"

namespace {
// Full-precision pi, for results computed by the C library (asin, atan2...).
constexpr double kPiFull = 3.141592653589793;
}  // namespace

TEST(FormulaRounding, FloorCeilRound) {
  EXPECT_TRUE(GivesDouble(Eval("floor(-1.5)"), -2.0));
  EXPECT_TRUE(GivesDouble(Eval("ceil(1.2)"), 2.0));
  EXPECT_TRUE(GivesDouble(Eval("floor(3)"), 3.0));  // an int argument gives a double
  EXPECT_TRUE(GivesDouble(Eval("round(2.5)"), 3.0));
  EXPECT_TRUE(GivesDouble(Eval("round(-2.5)"), -2.0));
  EXPECT_TRUE(GivesDouble(Eval("round(1.26, 0.5)"), 1.5));
  EXPECT_TRUE(GivesDouble(Eval("round(1.26, 0)"), 1.26));  // a step <= 0 leaves x
  EXPECT_TRUE(GivesDouble(Eval("round(7, -1)"), 7.0));
}

TEST(FormulaRounding, RoundNamesOneOrSeveralComplexArguments) {
  EXPECT_TRUE(FailsWith(Eval("round(1j)"), "Function 'round' : complex argument not allowed"));
  EXPECT_TRUE(FailsWith(Eval("round(1, 1j)"), "Function 'round' : complex arguments not allowed"));
  EXPECT_TRUE(FailsWith(Eval("round(1,2,3)"), "Function 'round' : wrong number of parameters"));
  EXPECT_TRUE(FailsWith(Eval("floor(1j)"), "Function 'floor' : complex argument not allowed"));
  EXPECT_TRUE(FailsWith(Eval("ceil(1, 2)"), "Function 'ceil' : wrong number of parameters"));
}

TEST(FormulaTrig, PiIsTheWrittenConstant) {
  EXPECT_TRUE(GivesDouble(Eval("pi"), 3.14159265358));
  EXPECT_TRUE(GivesDouble(Eval("pi/2"), 1.57079632679));
}

TEST(FormulaTrig, ExactZerosAtMultiplesOfPi) {
  EXPECT_TRUE(GivesDouble(Eval("sin(pi)"), 0.0));
  EXPECT_TRUE(GivesDouble(Eval("sin(2*pi)"), 0.0));
  EXPECT_TRUE(GivesDouble(Eval("cos(pi/2)"), 0.0));
  EXPECT_TRUE(GivesDouble(Eval("cos(3*pi/2)"), 0.0));
  EXPECT_TRUE(GivesDouble(Eval("tan(pi)"), 0.0));
  EXPECT_TRUE(GivesDouble(Eval("sin(0)"), 0.0));
  // Full-precision pi is not a multiple of the language's pi.
  EXPECT_TRUE(GivesDouble(Eval("sin(3.141592653589793)"), std::sin(kPiFull)));
}

TEST(FormulaTrig, PlainValuesElsewhere) {
  EXPECT_TRUE(GivesDouble(Eval("sin(1)"), std::sin(1.0)));
  EXPECT_TRUE(GivesDouble(Eval("cos(0)"), 1.0));
  EXPECT_TRUE(GivesDouble(Eval("tg(1)"), std::tan(1.0)));
  EXPECT_TRUE(GivesDouble(Eval("asin(1)"), kPiFull / 2));
  EXPECT_TRUE(GivesDouble(Eval("acos(1)"), 0.0));
  EXPECT_TRUE(GivesDouble(Eval("atan(1)"), kPiFull / 4));
}

TEST(FormulaTrig, Atan2TakesOneOrTwoArguments) {
  EXPECT_TRUE(GivesDouble(Eval("atan2(1)"), kPiFull / 4));  // atan2(y, 1)
  EXPECT_TRUE(GivesDouble(Eval("atan2(1, -1)"), 3 * kPiFull / 4));
  EXPECT_TRUE(GivesDouble(Eval("atan2(0, 0)"), 0.0));
  EXPECT_TRUE(FailsWith(Eval("atan2(1j, 1)"), "Function 'atan2' : complex arguments not allowed"));
}

TEST(FormulaTrig, ComplexRefusedUnderTheMainName) {
  EXPECT_TRUE(FailsWith(Eval("sin(1j)"), "Function 'sin' : complex argument not allowed"));
  EXPECT_TRUE(FailsWith(Eval("tg(1j)"), "Function 'tan' : complex argument not allowed"));
  EXPECT_TRUE(FailsWith(Eval("acos(1j)"), "Function 'acos' : complex argument not allowed"));
}

TEST(FormulaRoots, SqrtOfNegativeRealIsRefusedOfComplexIsImaginary) {
  EXPECT_TRUE(GivesDouble(Eval("sqrt(16)"), 4.0));
  EXPECT_TRUE(FailsWith(Eval("sqrt(-4)"), "Function 'sqrt' : negative argument"));
  EXPECT_TRUE(GivesComplex(Eval("sqrt(complex(-4))"), 0.0, 2.0));
  EXPECT_TRUE(GivesComplex(Eval("sqrt(complex(9))"), 3.0, 0.0));
  EXPECT_TRUE(GivesComplex(Eval("sqrt(2j)"), 1.0, 1.0, 1e-15));
  EXPECT_TRUE(GivesComplex(Eval("sqrt(-2j)"), 1.0, -1.0, 1e-15));
}

TEST(FormulaRoots, SignedRootAndSquare) {
  EXPECT_TRUE(GivesDouble(Eval("sqr(-9)"), -3.0));
  EXPECT_TRUE(GivesDouble(Eval("sqr(9)"), 3.0));
  EXPECT_TRUE(FailsWith(Eval("sqr(1j)"), "Function 'sqr' : complex argument not allowed"));
  EXPECT_TRUE(GivesDouble(Eval("sq(-3)"), 9.0));
  EXPECT_TRUE(GivesComplex(Eval("sq(1+2j)"), -3.0, 4.0));
}

TEST(FormulaExp, RealAndComplex) {
  EXPECT_TRUE(GivesDouble(Eval("exp(0)"), 1.0));
  EXPECT_TRUE(GivesDouble(Eval("exp(-301)"), 0.0));
  EXPECT_TRUE(GivesDouble(Eval("exp(-300)"), std::exp(-300.0)));
  // e^(j pi): the imaginary part is exactly 0.
  EXPECT_TRUE(GivesComplex(Eval("exp(pi*1j)"), -1.0, 0.0, 1e-15));
  EXPECT_EQ(0.0, Eval("exp(pi*1j)").value.im);
  EXPECT_TRUE(GivesComplex(Eval("exp(pi/2*1j)"), 0.0, 1.0));
}

TEST(FormulaLog, NaturalAndBaseLogarithms) {
  EXPECT_TRUE(GivesNear(Eval("log(exp(2))"), 2.0, 1e-15));
  EXPECT_TRUE(GivesDouble(Eval("ln(1)"), 0.0));
  EXPECT_TRUE(GivesNear(Eval("log(8, 2)"), 3.0, 1e-15));
  EXPECT_TRUE(GivesNear(Eval("log10(1000)"), 3.0, 1e-15));
  EXPECT_TRUE(GivesNear(Eval("lg(100)"), 2.0, 1e-15));
  EXPECT_TRUE(GivesNear(Eval("log2(8)"), 3.0, 1e-15));
  EXPECT_TRUE(GivesNear(Eval("lb(1024)"), 10.0, 1e-14));
  EXPECT_TRUE(GivesComplex(Eval("log(complex(-1))"), 0.0, kPiFull));
}

TEST(FormulaLog, EveryLogarithmRefusesUnderTheNameLog) {
  EXPECT_TRUE(FailsWith(Eval("log(0)"), "Function 'log' : argument <= 0"));
  EXPECT_TRUE(FailsWith(Eval("ln(-1)"), "Function 'log' : argument <= 0"));
  EXPECT_TRUE(FailsWith(Eval("log10(-1)"), "Function 'log' : argument <= 0"));
  EXPECT_TRUE(FailsWith(Eval("lb(0)"), "Function 'log' : argument <= 0"));
  EXPECT_TRUE(FailsWith(Eval("log(2, 1j)"), "Function 'log' : complex base not allowed"));
  EXPECT_TRUE(FailsWith(Eval("ln(1,2,3)"), "Function 'log' : wrong number of parameters"));
  EXPECT_TRUE(FailsWith(Eval("lg(1,2)"), "Function 'log10' : wrong number of parameters"));
  EXPECT_TRUE(FailsWith(Eval("lb(1,2)"), "Function 'log2' : wrong number of parameters"));
}

TEST(FormulaPower, PowAndSignedPower) {
  EXPECT_TRUE(GivesDouble(Eval("pow(2, 10)"), 1024.0));
  EXPECT_TRUE(GivesDouble(Eval("pow(0, -1)"), 0.0));  // base 0 gives 0
  EXPECT_TRUE(GivesComplex(Eval("pow(2j, 2)"), -4.0, 0.0, 1e-15));
  EXPECT_TRUE(GivesComplex(Eval("pow(0*1j, 2)"), 0.0, 0.0));
  EXPECT_TRUE(FailsWith(Eval("pow(2, 1j)"), "Function 'pow' : complex power not allowed"));
  EXPECT_TRUE(FailsWith(Eval("pow(2)"), "Function 'pow' : wrong number of parameters"));
  EXPECT_TRUE(GivesNear(Eval("pwr(-8, 1/3)"), -2.0, 1e-15));
  EXPECT_TRUE(GivesDouble(Eval("pwr(3, 2)"), 9.0));
  EXPECT_TRUE(FailsWith(Eval("pwr(2j, 2)"), "Function 'pwr' : complex arguments not allowed"));
}

TEST(FormulaAbs, KeepsIntegerKindsModulusOfComplex) {
  EXPECT_TRUE(GivesInt(Eval("abs(-3)"), 3));
  EXPECT_TRUE(GivesDouble(Eval("abs(-3.5)"), 3.5));
  EXPECT_TRUE(GivesInt64(Eval("abs(-5i64)"), 5));
  EXPECT_TRUE(GivesInt(Eval("abs(true)"), 1));
  EXPECT_TRUE(GivesDouble(Eval("mag(3+4j)"), 5.0));
  EXPECT_TRUE(FailsWith(Eval("mag(1,2)"), "Function 'abs' : wrong number of parameters"));
}

TEST(FormulaSign, IntResult) {
  EXPECT_TRUE(GivesInt(Eval("sign(0)"), 0));
  EXPECT_TRUE(GivesInt(Eval("sign(-2.5)"), -1));
  EXPECT_TRUE(GivesInt(Eval("sign(7i64)"), 1));
  EXPECT_TRUE(FailsWith(Eval("sign(2j)"), "Function 'sign' : complex argument not allowed"));
}

TEST(FormulaDb, OfOneValueOrARatio) {
  EXPECT_TRUE(GivesDouble(Eval("db(10)"), 20.0));
  EXPECT_TRUE(GivesDouble(Eval("db(-100)"), 40.0));
  EXPECT_TRUE(GivesDouble(Eval("db(1, 10)"), -20.0));
  EXPECT_TRUE(FailsWith(Eval("db(1j)"), "Function 'dB' : complex argument not allowed"));
  EXPECT_TRUE(FailsWith(Eval("db(1,2,3)"), "Function 'dB' : wrong number of parameters"));
}

TEST(FormulaMinMax, ResultTakesTheMostGeneralKind) {
  EXPECT_TRUE(GivesDouble(Eval("max(1, 2.5, 2)"), 2.5));
  EXPECT_TRUE(GivesInt(Eval("min(3, 1, 2)"), 1));
  EXPECT_TRUE(GivesInt64(Eval("max(1i64, 2)"), 2));
  EXPECT_TRUE(GivesDouble(Eval("min(2, 1.5)"), 1.5));
  EXPECT_TRUE(GivesInt(Eval("max(4)"), 4));
  EXPECT_TRUE(FailsWith(Eval("max(1j, 2)"),
                        "Functions 'min' and 'max' : complex arguments not allowed"));
}

TEST(FormulaMinMax, OverAnArrayInItsKind) {
  CVarList vars;
  AddTestVars(vars);  // a = {5, -2, 7}, c complex
  FormulaOptions o;
  o.vars = &vars;
  EXPECT_TRUE(GivesInt(Eval("min(a)", o), -2));
  EXPECT_TRUE(GivesInt(Eval("max(a)", o), 7));
  EXPECT_TRUE(FailsWith(Eval("min(c)", o),
                        "Functions 'min' and 'max' : complex arguments not allowed"));
  // An array is a value only as the single argument.
  EXPECT_TRUE(FailsWith(Eval("min(a, 1)", o), "Array 'a' used without index"));
}

TEST(FormulaMeanSum, DoubleUnlessSomethingIsComplex) {
  CVarList vars;
  AddTestVars(vars);
  FormulaOptions o;
  o.vars = &vars;
  EXPECT_TRUE(GivesDouble(Eval("mean(1, 2, 4)"), 7.0 / 3.0));
  EXPECT_TRUE(GivesDouble(Eval("sum(1, 2, 4)"), 7.0));
  EXPECT_TRUE(GivesDouble(Eval("average(a)", o), 10.0 / 3.0));
  EXPECT_TRUE(GivesDouble(Eval("sum(a)", o), 10.0));
  EXPECT_TRUE(GivesComplex(Eval("sum(c)", o), 2.0, 1.0));
  EXPECT_TRUE(GivesComplex(Eval("sum(1, 2j)"), 1.0, 2.0));
  EXPECT_TRUE(GivesComplex(Eval("mean(2j, 4)"), 2.0, 1.0));
}

TEST(FormulaPar, ParallelCombinationFoldedLeft) {
  EXPECT_TRUE(GivesDouble(Eval("par(2, 2)"), 1.0));
  EXPECT_TRUE(GivesDouble(Eval("par(6, 3, 2)"), 1.0));
  EXPECT_TRUE(GivesDouble(Eval("par(1k, 1k)"), 500.0));
  EXPECT_TRUE(GivesComplex(Eval("par(1j, 1j)"), 0.0, 0.5));
}

TEST(FormulaConversion, FunctionsOfTheKindNames) {
  EXPECT_TRUE(GivesInt(Eval("int(2.9)"), 2));
  EXPECT_TRUE(GivesInt(Eval("int(-2.9)"), -2));
  EXPECT_TRUE(GivesInt64(Eval("int64(2.5)"), 2));
  EXPECT_TRUE(GivesDouble(Eval("double(3)"), 3.0));
  EXPECT_TRUE(GivesDouble(Eval("float(3)"), 3.0));
  EXPECT_TRUE(GivesComplex(Eval("complex(-4)"), -4.0, 0.0));
  EXPECT_TRUE(GivesBool(Eval("bool(0.5)"), true));
  EXPECT_TRUE(GivesDouble(Eval("double(1+2j)"), 1.0));
  EXPECT_TRUE(FailsWith(Eval("int(1, 2)"), "Function 'int' : wrong number of parameters"));
  EXPECT_TRUE(FailsWith(Eval("float(1, 2)"), "Function 'double' : wrong number of parameters"));
}

TEST(FormulaComplexParts, ReImPhase) {
  EXPECT_TRUE(GivesDouble(Eval("re(3+4j)"), 3.0));
  EXPECT_TRUE(GivesDouble(Eval("im(3+4j)"), 4.0));
  EXPECT_TRUE(GivesDouble(Eval("re(5)"), 5.0));
  EXPECT_TRUE(GivesDouble(Eval("im(5)"), 0.0));
  EXPECT_TRUE(GivesDouble(Eval("phase(1j)"), kPiFull / 2));
  EXPECT_TRUE(GivesDouble(Eval("phase(-1)"), kPiFull));
  EXPECT_TRUE(GivesDouble(Eval("phase(0)"), 0.0));
}

TEST(FormulaLimit, ClampsIntoTheRange) {
  EXPECT_TRUE(GivesDouble(Eval("limit(5, 0, 3)"), 3.0));
  EXPECT_TRUE(GivesDouble(Eval("lim(-1, 0, 3)"), 0.0));
  EXPECT_TRUE(GivesDouble(Eval("limit(2, 0, 3)"), 2.0));
  EXPECT_TRUE(FailsWith(Eval("lim(1, 2)"), "Function 'limit' : wrong number of parameters"));
  EXPECT_TRUE(FailsWith(Eval("lim(1j, 0, 1)"), "Function 'limit' : complex arguments not allowed"));
}

TEST(FormulaRandom, DrawsTheCGeneratorAndMarksTheEvaluation) {
  std::srand(7);
  const double first = std::rand() * 10.0 / 2147483647.0;
  std::srand(7);
  random_function_used = false;
  EXPECT_TRUE(GivesDouble(Eval("rand(10)"), first));
  EXPECT_TRUE(random_function_used);

  random_function_used = false;
  const FormulaRun r = Eval("random(2)");
  ASSERT_TRUE(r.ok);
  EXPECT_GE(r.result, 0.0);
  EXPECT_LE(r.result, 2.0);
  EXPECT_TRUE(random_function_used);

  random_function_used = false;
  EXPECT_TRUE(GivesDouble(Eval("gauss(5, 0)"), 5.0));  // no deviation: the mean
  EXPECT_TRUE(random_function_used);
}

TEST(FormulaRandom, ArgumentRules) {
  EXPECT_TRUE(FailsWith(Eval("random(1j)"), "Function 'random' : complex argument not allowed"));
  EXPECT_TRUE(FailsWith(Eval("rand(1, 2)"), "Function 'random' : wrong number of parameters"));
  EXPECT_TRUE(FailsWith(Eval("gauss(1)"), "Function 'gauss' : wrong number of parameters"));
  EXPECT_TRUE(FailsWith(Eval("gauss(1j, 1)"), "Function 'gauss' : complex arguments not allowed"));
}

TEST(FormulaRandom, SkippedBranchDrawsNothing) {
  random_function_used = false;
  EXPECT_TRUE(GivesInt(Eval("1 ? 2 : rand(1)"), 2));
  EXPECT_FALSE(random_function_used);
}

TEST(FormulaDigital, LevelsAndThresholdOfTheDocument) {
  CDoc doc;  // levels 0 V and 5 V, threshold 2.5 V
  FormulaOptions o;
  o.doc = &doc;
  EXPECT_TRUE(GivesBool(Eval("islow(1)", o), true));
  EXPECT_TRUE(GivesBool(Eval("islow(2.5)", o), false));
  EXPECT_TRUE(GivesBool(Eval("ishigh(2.5)", o), true));
  EXPECT_TRUE(GivesDouble(Eval("high", o), 5.0));
  EXPECT_TRUE(GivesDouble(Eval("low", o), 0.0));
  EXPECT_TRUE(FailsWith(Eval("islow(1)"), "Function 'islow' : no active document"));
  EXPECT_TRUE(FailsWith(Eval("ishigh(1)"), "Function 'ishigh' : no active document"));
  EXPECT_TRUE(FailsWith(Eval("ishigh(1j)", o), "Function 'ishigh' : complex argument not allowed"));
}

TEST(FormulaFunctionNames, UnknownOrMisspelledNames) {
  EXPECT_TRUE(FailsWith(Eval("foo(1)"), "Unknown function foo"));
  EXPECT_TRUE(FailsWith(Eval("averages(1)"), "Unknown function averages"));
  EXPECT_TRUE(FailsWith(Eval("Sin(1)"), "Unknown function Sin"));  // names are case-sensitive
  EXPECT_TRUE(GivesDouble(Eval("sin (0)"), 0.0));  // blanks before "(" are allowed
}

TEST(FormulaFunctionCache, DocumentKeepsFunctionsUsedUntilCleared) {
  CDoc doc;
  FormulaOptions o;
  o.doc = &doc;
  ASSERT_TRUE(GivesDouble(Eval("sin(1)+cos(1)+sin(2)", o),
                          std::sin(1.0) + std::cos(1.0) + std::sin(2.0)));
  const CDoc::SFuncCache* three = doc.FuncCache(3);
  ASSERT_NE(nullptr, three);
  ASSERT_EQ(2, three->count);  // sin once, although used twice
  EXPECT_STREQ("sin", three->entries[0]->name);
  EXPECT_STREQ("cos", three->entries[1]->name);
  EXPECT_EQ(0, doc.FuncCache(4)->count);

  // Cached entries answer later evaluations the same way.
  EXPECT_TRUE(GivesDouble(Eval("cos(0)", o), 1.0));
  EXPECT_EQ(2, doc.FuncCache(3)->count);

  doc.clear_func_list();
  EXPECT_EQ(0, doc.FuncCache(3)->count);
  EXPECT_EQ(nullptr, doc.FuncCache(8));
}

TEST(FormulaFunctionCache, HoldsAtMostTenNamesPerLength) {
  CDoc doc;
  FormulaOptions o;
  o.doc = &doc;
  // Eleven different functions with three-letter names.
  ASSERT_TRUE(Eval("abs(1)+min(1)+max(1)+exp(0)+pow(1,1)+pwr(1,1)+sqr(1)+int(1)+log(1)+"
                   "sin(0)+cos(0)",
                   o)
                  .ok);
  EXPECT_EQ(CDoc::kFuncCacheSize, doc.FuncCache(3)->count);
  EXPECT_TRUE(GivesDouble(Eval("cos(0)", o), 1.0));  // found in the table all the same
}
