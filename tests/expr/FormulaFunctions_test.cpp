// The built-in functions, family by family, with their argument rules and
// the exact wording of their refusals (aliases report their main name).

#include "expr/FormulaTest.h"

#include <cstdlib>

#include "doc/Doc.h"

namespace {
// Full-precision pi, for results computed by the C library (asin, atan2...).
constexpr double kPiFull = 3.141592653589793;
}  // namespace

TEST(FormulaFunctions, Rounding) {
  ExpectRows({
      {"floor(-1.5)", Dbl(-2)}, {"ceil(1.2)", Dbl(2)},
      {"floor(3)", Dbl(3)},  // an int argument gives a double
      {"round(2.5)", Dbl(3)}, {"round(-2.5)", Dbl(-2)},
      {"round(1.26, 0.5)", Dbl(1.5)}, {"round(1.26, 0)", Dbl(1.26)},
      {"round(7, -1)", Dbl(7)},  // a step <= 0 leaves x
      // "round" names one or several complex arguments.
      {"round(1j)", ErrComplexArg("round")}, {"round(1, 1j)", ErrComplexArgs("round")},
      {"round(1,2,3)", ErrCount("round")}, {"floor(1j)", ErrComplexArg("floor")},
      {"ceil(1, 2)", ErrCount("ceil")},
  });
}

TEST(FormulaFunctions, TrigonometryIsExactlyZeroAtMultiplesOfTheLanguagesPi) {
  ExpectRows({
      {"pi/2", Dbl(1.57079632679)}, {"sin(pi)", Dbl(0)}, {"sin(2*pi)", Dbl(0)},
      {"cos(pi/2)", Dbl(0)}, {"cos(3*pi/2)", Dbl(0)}, {"tan(pi)", Dbl(0)}, {"sin(0)", Dbl(0)},
      // Full-precision pi is not a multiple of the language's pi.
      {"sin(3.141592653589793)", Dbl(std::sin(kPiFull))},
      {"sin(1)", Dbl(std::sin(1.0))}, {"cos(0)", Dbl(1)},
      {"tg(1)", Dbl(std::tan(1.0))}, {"asin(1)", Dbl(kPiFull / 2)},
      {"acos(1)", Dbl(0)}, {"atan(1)", Dbl(kPiFull / 4)},
      {"atan2(1)", Dbl(kPiFull / 4)},  // atan2(y, 1)
      {"atan2(1, -1)", Dbl(3 * kPiFull / 4)}, {"atan2(0, 0)", Dbl(0)},
      {"atan2(1j, 1)", ErrComplexArgs("atan2")}, {"sin(1j)", ErrComplexArg("sin")},
      {"tg(1j)", ErrComplexArg("tan")}, {"acos(1j)", ErrComplexArg("acos")},
  });
}

TEST(FormulaFunctions, RootsExponentialsLogarithmsAndPowers) {
  const Want log_domain = Err("Function 'log' : argument <= 0");
  ExpectRows({
      // sqrt refuses a negative real, and gives the principal root of a complex.
      {"sqrt(16)", Dbl(4)}, {"sqrt(-4)", Err("Function 'sqrt' : negative argument")},
      {"sqrt(complex(-4))", Cplx(0, 2)}, {"sqrt(complex(9))", Cplx(3, 0)},
      {"sqrt(2j)", Cplx(1, 1, 1e-15)}, {"sqrt(-2j)", Cplx(1, -1, 1e-15)},
      // sqr is the signed root, sq the square.
      {"sqr(-9)", Dbl(-3)}, {"sqr(9)", Dbl(3)}, {"sqr(1j)", ErrComplexArg("sqr")},
      {"sq(-3)", Dbl(9)}, {"sq(1+2j)", Cplx(-3, 4)}, {"exp(0)", Dbl(1)}, {"exp(-301)", Dbl(0)},
      {"exp(-300)", Dbl(std::exp(-300.0))}, {"exp(pi/2*1j)", Cplx(0, 1)},
      {"exp(pi*1j)", Cplx(-1, 0, 1e-15)},  // e^(j pi); the imaginary part is checked below
      {"log(exp(2))", Dbl(2, 1e-15)}, {"ln(1)", Dbl(0)}, {"log(8, 2)", Dbl(3, 1e-15)},
      {"log10(1000)", Dbl(3, 1e-15)}, {"lg(100)", Dbl(2, 1e-15)},
      {"log2(8)", Dbl(3, 1e-15)}, {"lb(1024)", Dbl(10, 1e-14)},
      {"log(complex(-1))", Cplx(0, kPiFull)},
      // Every logarithm refuses under the name log.
      {"log(0)", log_domain}, {"ln(-1)", log_domain}, {"log10(-1)", log_domain},
      {"lb(0)", log_domain}, {"log(2, 1j)", Err("Function 'log' : complex base not allowed")},
      {"ln(1,2,3)", ErrCount("log")}, {"lg(1,2)", ErrCount("log10")}, {"lb(1,2)", ErrCount("log2")},
      {"pow(2, 10)", Dbl(1024)}, {"pow(0, -1)", Dbl(0)},  // base 0 gives 0
      {"pow(2j, 2)", Cplx(-4, 0, 1e-15)}, {"pow(0*1j, 2)", Cplx(0, 0)},
      {"pow(2, 1j)", Err("Function 'pow' : complex power not allowed")},
      {"pow(2)", ErrCount("pow")}, {"pwr(-8, 1/3)", Dbl(-2, 1e-15)},
      {"pwr(3, 2)", Dbl(9)}, {"pwr(2j, 2)", ErrComplexArgs("pwr")},
  });
  EXPECT_EQ(0.0, Eval("exp(pi*1j)").value.im) << "the zero test of the angle makes it exact";
}

TEST(FormulaFunctions, MagnitudeSignAndDecibels) {
  ExpectRows({
      // abs keeps integer kinds and gives the modulus of a complex.
      {"abs(-3)", Int(3)}, {"abs(-3.5)", Dbl(3.5)}, {"abs(-5i64)", Int64(5)},
      {"abs(true)", Int(1)}, {"mag(3+4j)", Dbl(5)}, {"mag(1,2)", ErrCount("abs")},
      {"sign(0)", Int(0)}, {"sign(-2.5)", Int(-1)}, {"sign(7i64)", Int(1)},
      {"sign(2j)", ErrComplexArg("sign")},
      {"db(10)", Dbl(20)}, {"db(-100)", Dbl(40)}, {"db(1, 10)", Dbl(-20)},
      {"db(1j)", ErrComplexArg("dB")}, {"db(1,2,3)", ErrCount("dB")},
  });
}

TEST(FormulaFunctions, FunctionsOfSeveralValuesOrOfAnArray) {
  CVarList vars;
  AddTestVars(vars);  // a = {5, -2, 7}, c = {1j, 2}
  const FormulaOptions o{.vars = &vars};
  const Want no_complex = Err("Functions 'min' and 'max' : complex arguments not allowed");
  ExpectRows(
      {
          // min and max give the most general kind of their arguments, or
          // over an array its own kind.
          {"max(1, 2.5, 2)", Dbl(2.5)}, {"min(3, 1, 2)", Int(1)},
          {"max(1i64, 2)", Int64(2)}, {"min(2, 1.5)", Dbl(1.5)}, {"max(4)", Int(4)},
          {"max(1j, 2)", no_complex}, {"min(a)", Int(-2)}, {"max(a)", Int(7)},
          {"min(c)", no_complex},
          {"min(a, 1)", Err("Array 'a' used without index")},  // only as the single argument
          // mean and sum are double unless something is complex.
          {"mean(1, 2, 4)", Dbl(7.0 / 3.0)}, {"sum(1, 2, 4)", Dbl(7)},
          {"average(a)", Dbl(10.0 / 3.0)}, {"sum(a)", Dbl(10)},
          {"sum(c)", Cplx(2, 1)}, {"sum(1, 2j)", Cplx(1, 2)}, {"mean(2j, 4)", Cplx(2, 1)},
          // par: the parallel combination, folded left.
          {"par(2, 2)", Dbl(1)}, {"par(6, 3, 2)", Dbl(1)}, {"par(1k, 1k)", Dbl(500)},
          {"par(1j, 1j)", Cplx(0, 0.5)},
      },
      o);
}

TEST(FormulaFunctions, ConversionsPartsAndLimit) {
  ExpectRows({
      {"int(2.9)", Int(2)}, {"int(-2.9)", Int(-2)}, {"int64(2.5)", Int64(2)},
      {"double(3)", Dbl(3)}, {"float(3)", Dbl(3)}, {"complex(-4)", Cplx(-4, 0)},
      {"bool(0.5)", Bool(true)}, {"double(1+2j)", Dbl(1)},
      {"int(1, 2)", ErrCount("int")}, {"float(1, 2)", ErrCount("double")},
      {"re(3+4j)", Dbl(3)}, {"im(3+4j)", Dbl(4)}, {"re(5)", Dbl(5)},
      {"im(5)", Dbl(0)}, {"phase(1j)", Dbl(kPiFull / 2)},
      {"phase(-1)", Dbl(kPiFull)}, {"phase(0)", Dbl(0)},
      {"limit(5, 0, 3)", Dbl(3)}, {"lim(-1, 0, 3)", Dbl(0)},
      {"limit(2, 0, 3)", Dbl(2)}, {"lim(1, 2)", ErrCount("limit")},
      {"lim(1j, 0, 1)", ErrComplexArgs("limit")},
  });
}

TEST(FormulaFunctions, RandomDrawsTheCGeneratorAndMarksTheEvaluation) {
  std::srand(7);
  const double first = std::rand() * 10.0 / 2147483647.0;
  std::srand(7);
  const struct {
    const char* text;
    Want want;
    bool marks;
  } rows[] = {
      {"rand(10)", Dbl(first), true}, {"random(2)", Dbl(1.0, 1.0), true},  // anywhere in [0, 2]
      {"gauss(5, 0)", Dbl(5), true},       // no deviation: the mean
      {"1 ? 2 : rand(1)", Int(2), false},     // a skipped branch draws nothing
      {"random(1j)", ErrComplexArg("random"), false},
      {"rand(1, 2)", ErrCount("random"), false}, {"gauss(1)", ErrCount("gauss"), false},
      {"gauss(1j, 1)", ErrComplexArgs("gauss"), false},
  };
  for (const auto& row : rows) {
    random_function_used = false;
    EXPECT_TRUE(Gives(Eval(row.text), row.want));
    if (row.want.kind >= 0) {
      EXPECT_EQ(row.marks, random_function_used) << row.text;
    }
  }
}

TEST(FormulaFunctions, DigitalLevelsAndThresholdOfTheDocument) {
  CDoc doc;  // levels 0 V and 5 V, threshold 2.5 V
  const FormulaOptions o{.doc = &doc};
  ExpectRows({{"islow(1)", Bool(true)}, {"islow(2.5)", Bool(false)},
              {"ishigh(2.5)", Bool(true)}, {"high", Dbl(5)}, {"low", Dbl(0)},
              {"ishigh(1j)", ErrComplexArg("ishigh")}},
             o);
  ExpectRows({{"islow(1)", Err("Function 'islow' : no active document")},
              {"ishigh(1)", Err("Function 'ishigh' : no active document")}});
}

TEST(FormulaFunctions, NamesAreCaseSensitiveAndMayHaveBlanksBeforeTheBracket) {
  ExpectRows({
      {"foo(1)", Err("Unknown function foo")}, {"averages(1)", Err("Unknown function averages")},
      {"Sin(1)", Err("Unknown function Sin")}, {"sin (0)", Dbl(0)},
  });
}

TEST(FormulaFunctions, DocumentCachesUpToTenFunctionsPerNameLengthUntilCleared) {
  CDoc doc;
  const FormulaOptions o{.doc = &doc};
  ASSERT_TRUE(Gives(Eval("sin(1)+cos(1)+sin(2)", o),
                    Dbl(std::sin(1.0) + std::cos(1.0) + std::sin(2.0))));
  const CDoc::SFuncCache* three = doc.FuncCache(3);
  ASSERT_NE(nullptr, three);
  ASSERT_EQ(2, three->count);  // sin once, although used twice
  EXPECT_STREQ("sin", three->entries[0]->name);
  EXPECT_STREQ("cos", three->entries[1]->name);
  EXPECT_EQ(0, doc.FuncCache(4)->count);
  // Cached entries answer later evaluations the same way.
  EXPECT_TRUE(Gives(Eval("cos(0)", o), Dbl(1)));
  EXPECT_EQ(2, doc.FuncCache(3)->count);
  doc.clear_func_list();
  EXPECT_EQ(0, doc.FuncCache(3)->count);
  EXPECT_EQ(nullptr, doc.FuncCache(8));
  // Eleven different functions with three-letter names.
  ASSERT_TRUE(Eval("abs(1)+min(1)+max(1)+exp(0)+pow(1,1)+pwr(1,1)+sqr(1)+int(1)+log(1)+"
                   "sin(0)+cos(0)", o).ok);
  EXPECT_EQ(CDoc::kFuncCacheSize, doc.FuncCache(3)->count);
  EXPECT_TRUE(Gives(Eval("cos(0)", o), Dbl(1)));  // found in the table all the same
}
