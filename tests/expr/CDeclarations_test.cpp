// Declarations and scope: the six type words, initial values, arrays with
// initialiser lists, and variables that live until the end of their block.

#include "CScript.h"

class CDeclarations : public CScript {};

TEST_F(CDeclarations, EveryTypeWordDeclaresItsKindAtZero) {
  ASSERT_EQ(0, Run("complex c; double d; float f; int64 l; int i; bool b;"));
  EXPECT_EQ(NUM_COMPLEX, Value("c").kind);
  EXPECT_EQ(NUM_DOUBLE, Value("d").kind);
  EXPECT_EQ(NUM_DOUBLE, Value("f").kind);  // float is a double
  EXPECT_EQ(NUM_INT64, Value("l").kind);
  EXPECT_EQ(NUM_INT, Value("i").kind);
  EXPECT_EQ(NUM_BOOL, Value("b").kind);
  EXPECT_EQ(0.0, Value("c").v.d);
  EXPECT_EQ(0.0, Value("c").im);
  EXPECT_EQ(0.0, Value("d").v.d);
  EXPECT_EQ(0, Value("l").v.i64);
  EXPECT_EQ(0, Value("i").v.i);
  EXPECT_FALSE(Value("b").v.b);
}

TEST_F(CDeclarations, TheTreeHoldsOneNodePerDeclarator) {
  ASSERT_TRUE(Parse("int a[3] = {1, 2, 3}, b = f(1, 2), c;"));
  ASSERT_EQ(1, root_.GetCNodeCount());
  const CCNode* decl = root_.GetCNode(0);
  EXPECT_EQ(CN_INT, decl->Type());
  ASSERT_EQ(3, decl->GetCNodeCount());
  EXPECT_EQ(CN_DECLARATOR, decl->GetCNode(0)->Type());
  EXPECT_EQ("a[3] = {1, 2, 3}", decl->GetCNode(0)->Text1().str());
  EXPECT_EQ("b = f(1, 2)", decl->GetCNode(1)->Text1().str());
  EXPECT_EQ("c", decl->GetCNode(2)->Text1().str());
}

TEST_F(CDeclarations, TypeWordsCountOnlyBeforeABlank) {
  // int(x) is a cast and integer a name: both are expression statements.
  ASSERT_TRUE(Parse("int(x); integer = 1; int64(y); doubles = 2;"));
  ASSERT_EQ(4, root_.GetCNodeCount());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(CN_EXPRESSION, root_.GetCNode(i)->Type()) << i;
}

TEST_F(CDeclarations, InitialValuesTakeTheDeclaredKind) {
  ASSERT_EQ(0, Run("int i = 7.9; double d = 7/2; double h = 7.0/2; bool b = 5; "
                   "int64 l = 3; complex c = 2; int n = -2.9;"));
  EXPECT_EQ(7, Int("i"));
  EXPECT_EQ(3.0, Double("d"));  // integer division in C code, then converted
  EXPECT_EQ(3.5, Double("h"));
  EXPECT_TRUE(Value("b").v.b);
  EXPECT_EQ(NUM_INT64, Value("l").kind);
  EXPECT_EQ(3, Value("l").v.i64);
  EXPECT_EQ(NUM_COMPLEX, Value("c").kind);
  EXPECT_EQ(2.0, Value("c").v.d);
  EXPECT_EQ(-2, Int("n"));
}

TEST_F(CDeclarations, LaterDeclaratorsSeeEarlierOnes) {
  ASSERT_EQ(0, Run("int a = 1, b = a + 1; double c = a + b;"));
  EXPECT_EQ(2, Int("b"));
  EXPECT_EQ(3.0, Double("c"));
}

TEST_F(CDeclarations, ArraySizeComesFromTheIndexOrFromTheList) {
  // The fourth item finds no element and is not even evaluated: 1/0 would
  // fail with a division by zero.
  ASSERT_EQ(0, Run("int a[3] = {1, 2, 3, 1/0}; int b[] = {5, 6}; double c[4] = {1.5};"))
      << engine_.error.str();
  EXPECT_EQ(3, vars_.FindVar("a", 0)->size);
  EXPECT_EQ(1, Int("a", 0));
  EXPECT_EQ(2, Int("a", 1));
  EXPECT_EQ(3, Int("a", 2));
  EXPECT_EQ(2, vars_.FindVar("b", 0)->size);
  EXPECT_EQ(5, Int("b", 0));
  EXPECT_EQ(6, Int("b", 1));
  // Missing items stay zero.
  EXPECT_EQ(4, vars_.FindVar("c", 0)->size);
  EXPECT_EQ(1.5, Double("c", 0));
  EXPECT_EQ(0.0, Double("c", 3));
}

TEST_F(CDeclarations, ArraySizeIsAnExpression) {
  ASSERT_EQ(0, Run("int n = 2; double a[n + 1] = {n, n * 2, max(n, 7, 1)};"))
      << engine_.error.str();
  EXPECT_EQ(3, vars_.FindVar("a", 0)->size);
  EXPECT_EQ(4.0, Double("a", 1));
  // Commas inside a call do not split the list.
  EXPECT_EQ(7.0, Double("a", 2));
}

TEST_F(CDeclarations, ANegativeSizeWithAListTakesTheListLength) {
  ASSERT_EQ(0, Run("int a[-1] = {4, 5, 6};"));
  EXPECT_EQ(3, vars_.FindVar("a", 0)->size);
}

TEST_F(CDeclarations, ArrayWithoutPositiveSizeIsRefused) {
  EXPECT_EQ(-1, Run("int c[0];"));
  EXPECT_EQ("Array 'c' : size <= 0", engine_.error.str());
  EXPECT_FALSE(Exists("c"));
  EXPECT_EQ(-1, Run("int d[-2];"));
  EXPECT_EQ("Array 'd' : size <= 0", engine_.error.str());
  // An empty pair needs a list to count.
  EXPECT_EQ(-1, Run("int e[];"));
  EXPECT_EQ("Array 'e' : size <= 0", engine_.error.str());
  EXPECT_EQ(-1, Run("int f[] = {};"));
  EXPECT_EQ("Array 'f' : size <= 0", engine_.error.str());
  // A size beyond int converts to the most negative int.
  EXPECT_EQ(-1, Run("int g[1e12];"));
  EXPECT_EQ("Array 'g' : size <= 0", engine_.error.str());
}

TEST_F(CDeclarations, HugeArrayCannotBeCreatedAndNothingBreaks) {
  EXPECT_EQ(-1, Run("int a[2000000000];"));
  EXPECT_EQ("Can't create variable", engine_.error.str());
  EXPECT_FALSE(Exists("a"));
  EXPECT_EQ(-1, Run(std::string("int c[") + std::to_string(kMaxCArraySize + 1) + "];"));
  EXPECT_EQ("Can't create variable", engine_.error.str());
  // The program goes on working afterwards.
  EXPECT_EQ(0, Run("int a[1000] = {1}; a[999] = 2;"));
  EXPECT_EQ(2, Int("a", 999));
}

TEST_F(CDeclarations, TheEngineMayLimitArraysFurther) {
  engine_.max_array = 10;
  EXPECT_EQ(0, Run("int a[10];"));
  EXPECT_EQ(-1, Run("int b[11];"));
  EXPECT_EQ("Can't create variable", engine_.error.str());
  EXPECT_EQ(-1, Run("int c[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};"));
  EXPECT_EQ("Can't create variable", engine_.error.str());
}

TEST_F(CDeclarations, SecondDeclarationInOneBlockIsRefused) {
  EXPECT_EQ(-1, Run("int x; int x;"));
  EXPECT_EQ("Variable 'x' already exists", engine_.error.str());
  EXPECT_EQ(-1, Run("{ double y, Y; }"));  // names ignore case
  EXPECT_EQ("Variable 'Y' already exists", engine_.error.str());
}

TEST_F(CDeclarations, InnerBlockHidesOuterVariableUntilItEnds) {
  ASSERT_EQ(0, Run("int x = 1, y, z; { int x = 2; y = x; x = 5; } z = x;"))
      << engine_.error.str();
  EXPECT_EQ(2, Int("y"));
  EXPECT_EQ(1, Int("z"));
  EXPECT_EQ(1, Int("x"));
}

TEST_F(CDeclarations, BlockEndRemovesItsVariables) {
  ASSERT_EQ(0, Run("int n = 1; { int t = 5; double u[3]; { bool w; } n = t; }"));
  EXPECT_EQ(1, vars_.Count());
  EXPECT_EQ(5, Int("n"));
  EXPECT_FALSE(Exists("t"));
  // Also when the block fails half way.
  EXPECT_EQ(-1, Run("{ int t = 5; q = 1; }"));
  EXPECT_EQ("Variable 'q' not found", engine_.error.str());
  EXPECT_EQ(1, vars_.Count());
}

TEST_F(CDeclarations, VariablesBelowTheBaseMayBeDeclaredAgain) {
  // The caller's variables lie below the base; a program may hide them.
  vars_.AddVar("x", NUM_DOUBLE, 0);
  ASSERT_EQ(0, Run("int x = 3;"));
  EXPECT_EQ(2, vars_.Count());
  EXPECT_EQ(3, Int("x"));
}

TEST_F(CDeclarations, OtherOperatorsInADeclaratorLeaveZero) {
  ASSERT_EQ(0, Run("int x += 5; double y *= 2;"));
  EXPECT_EQ(0, Int("x"));
  EXPECT_EQ(0.0, Double("y"));
}

TEST_F(CDeclarations, DeclaratorOutsideAProgram) {
  ASSERT_TRUE(root_.CreateCVariable(" k = 4 ", NUM_INT64, &vars_, 0));
  EXPECT_EQ(NUM_INT64, Value("k").kind);
  EXPECT_EQ(4, Value("k").v.i64);
  // An empty declarator declares nothing and does not fail.
  EXPECT_TRUE(root_.CreateCVariable("  ", NUM_INT, &vars_, 0));
  EXPECT_EQ(1, vars_.Count());
  EXPECT_FALSE(root_.CreateCVariable("k", NUM_INT, &vars_, 0));
  EXPECT_EQ("Variable 'k' already exists", engine_.error.str());
}

TEST_F(CDeclarations, FailingInitialValueFailsTheDeclaration) {
  EXPECT_EQ(-1, Run("double r = sqrt(-4);"));
  EXPECT_EQ("Function 'sqrt' : negative argument", engine_.error.str());
}
