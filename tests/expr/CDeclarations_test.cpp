// Declarations and scope: the six type words, initial values, arrays with
// initialiser lists, and variables that live until the end of their block.

#include <string>

#include "CScript.h"

class CDeclarations : public CScript {};

TEST_F(CDeclarations, EveryTypeWordDeclaresItsKindWithItsValue) {
  Examples({
      // float is a double; without a value every kind starts at zero.
      {"complex c; double d; float f; int64 l; int i; bool b;",
       "c=complex(0.0,0.0) d=0.0 f=0.0 l=0L i=0 b=false"},
      // Values take the declared kind; 7/2 is integer division before the
      // conversion.
      {"int i = 7.9; double d = 7/2; double h = 7.0/2; bool b = 5; int64 l = 3; "
       "complex c = 2; int n = -2.9;",
       "i=7 d=3.0 h=3.5 b=true l=3L c=complex(2.0,0.0) n=-2"},
      {"int a = 1, b = a + 1; double c = a + b;", "b=2 c=3.0"},  // later see earlier
      {"int x += 5; double y *= 2;", "x=0 y=0.0"},  // other operators leave zero
      {"double r = sqrt(-4);", "", "Function 'sqrt' : negative argument"},
  });
}

TEST_F(CDeclarations, TheTreeHoldsOneNodePerDeclarator) {
  ASSERT_TRUE(Parse("int a[3] = {1, 2, 3}, b = f(1, 2), c;"));
  EXPECT_EQ("int{decl(a[3] = {1, 2, 3}) decl(b = f(1, 2)) decl(c)}", Tree());
  // Type words count only before a blank: int(x) is a cast, integer a name.
  ASSERT_TRUE(Parse("int(x); integer = 1; int64(y); doubles = 2;"));
  EXPECT_EQ("expr(int(x)) expr(integer = 1) expr(int64(y)) expr(doubles = 2)", Tree());
}

TEST_F(CDeclarations, ArraySizeComesFromTheIndexOrFromTheList) {
  Examples({
      // The fourth item finds no element and is not even evaluated (1/0
      // would fail); missing items stay zero.
      {"int a[3] = {1, 2, 3, 1/0}; int b[] = {5, 6}; double c[4] = {1.5};",
       "a={1,2,3} b={5,6} c={1.5,0.0,0.0,0.0}"},
      // The size is an expression; commas inside a call do not split the list.
      {"int n = 2; double a[n + 1] = {n, n * 2, max(n, 7, 1)};", "a={2.0,4.0,7.0}"},
      {"int a[-1] = {4, 5, 6};", "a={4,5,6}"},  // negative size: the list's length
      {"int c[0];", "c=(none)", "Array 'c' : size <= 0"},
      {"int d[-2];", "d=(none)", "Array 'd' : size <= 0"},
      {"int e[];", "e=(none)", "Array 'e' : size <= 0"},  // an empty pair needs a list
      {"int f[] = {};", "f=(none)", "Array 'f' : size <= 0"},
      // A size beyond int converts to the most negative int.
      {"int g[1e12];", "g=(none)", "Array 'g' : size <= 0"},
      {"int a[2000000000];", "a=(none)", "Can't create variable"},
      {"int c[" + std::to_string(kMaxCArraySize + 1) + "];", "c=(none)",
       "Can't create variable"},
      // The program goes on working after a refused array.
      {"int a[1000] = {1}; a[999] = 2;", "a[0]=1 a[999]=2"},
  });
}

TEST_F(CDeclarations, TheEngineMayLimitArraysFurther) {
  engine_.max_array = 10;
  Examples({
      {"int a[10];", "a={0,0,0,0,0,0,0,0,0,0}"},
      {"int b[11];", "b=(none)", "Can't create variable"},
      {"int c[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};", "c=(none)", "Can't create variable"},
  });
}

TEST_F(CDeclarations, NamesAreUniquePerBlockAndInnerBlocksHide) {
  Examples({
      {"int x; int x;", "", "Variable 'x' already exists"},
      {"{ double y, Y; }", "", "Variable 'Y' already exists"},  // names ignore case
      {"int x = 1, y, z; { int x = 2; y = x; x = 5; } z = x;", "x=1 y=2 z=1"},
      // Block ends remove their variables, also when the block fails.
      {"int n = 1; { int t = 5; double u[3]; { bool w; } n = t; }",
       "n=5 t=(none) u=(none) w=(none)"},
      {"int n = 1; { int t = 5; q = 1; }", "n=1 t=(none)", "Variable 'q' not found"},
  });
}

TEST_F(CDeclarations, VariablesBelowTheBaseMayBeDeclaredAgain) {
  // The caller's variables lie below the base; a program may hide them.
  vars_.AddVar("x", NUM_DOUBLE, 0);
  ASSERT_EQ(0, Run("int x = 3;"));
  EXPECT_EQ(2, vars_.Count());
  ExpectVars("x=3");
}

TEST_F(CDeclarations, DeclaratorOutsideAProgram) {
  ASSERT_TRUE(root_.CreateCVariable(" k = 4 ", NUM_INT64, &vars_, 0));
  ExpectVars("k=4L");
  // An empty declarator declares nothing and does not fail.
  EXPECT_TRUE(root_.CreateCVariable("  ", NUM_INT, &vars_, 0));
  EXPECT_EQ(1, vars_.Count());
  EXPECT_FALSE(root_.CreateCVariable("k", NUM_INT, &vars_, 0));
  EXPECT_EQ("Variable 'k' already exists", engine_.error.str());
}
