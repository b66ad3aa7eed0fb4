// The init and main sections, run the way the Code component runs them:
// the whole program once (globals; the sections do nothing), then init,
// then main at every evaluation.

#include <string>

#include "CScript.h"

class CSections : public CScript {
 protected:
  // Parses text and runs it once in mode 0 from an empty list; the globals
  // are then the base of the sections.
  void SetUpProgram(const std::string& text) {
    ASSERT_TRUE(Parse(text)) << m_global_errstr.str();
    ASSERT_EQ(0, root_.ExecuteCCode(0, &vars_, 0, CX_CHILDREN)) << engine_.error.str();
  }
  int Section(int mode) { return root_.ExecuteCCode(0, &vars_, vars_.Count(), mode); }
};

TEST_F(CSections, SectionsRunOnlyInTheirModes) {
  SetUpProgram(CrLf({"int n = 5;", "init() {", "  n = 10;", "}", "main() {",
                     "  int local = 0;", "  local++;", "  n += local;", "}"}));
  ASSERT_NE(nullptr, root_.GetCNodeType(CN_INIT));
  EXPECT_EQ(CN_INIT, root_.GetCNodeType(CN_INIT)->Type());
  ASSERT_NE(nullptr, root_.GetCNodeType(CN_MAIN));
  ExpectVars("n=5");  // the sections did nothing
  const int base = vars_.Count();
  ASSERT_EQ(0, Section(CX_INIT));
  ExpectVars("n=10");
  for (int run = 1; run <= 3; ++run) {
    ASSERT_EQ(0, Section(CX_MAIN));
    // The variable declared in main is new at every run; the global keeps
    // counting.
    ExpectVars("n=" + std::to_string(10 + run));
    EXPECT_EQ(base, vars_.Count());
  }
}

TEST_F(CSections, AbsentSectionsDoNothing) {
  ASSERT_TRUE(Parse("int n = 1; n = 2;"));
  EXPECT_EQ(0, Section(CX_INIT));
  EXPECT_EQ(0, Section(CX_MAIN));
  EXPECT_EQ(0, vars_.Count());
  ASSERT_TRUE(Parse("main() { n = 3; }"));
  EXPECT_EQ(0, Section(CX_INIT));
}

TEST_F(CSections, ModeZeroStartsAtTheGivenChild) {
  ASSERT_TRUE(Parse("int a = 1; int b = 2; int c = 3;"));
  ASSERT_EQ(0, root_.ExecuteCCode(1, &vars_, 0, CX_CHILDREN));
  ExpectVars("a=(none) b=2 c=3");
  EXPECT_EQ(nullptr, root_.GetCNode(3));
  EXPECT_EQ(nullptr, root_.GetCNode(-1));
}

TEST_F(CSections, ReturnBreakOrContinueOutsideALoopEndsTheSectionNormally) {
  SetUpProgram("int n; main() { n = 1; return; n = 2; }");
  EXPECT_EQ(0, Section(CX_MAIN));
  ExpectVars("n=1");
  vars_.ClearVarList();
  SetUpProgram("int n; init() { n = 1; break; n = 2; } main() { n = 3; continue; n = 4; }");
  EXPECT_EQ(0, Section(CX_INIT));
  ExpectVars("n=1");
  EXPECT_EQ(0, Section(CX_MAIN));
  ExpectVars("n=3");
}

TEST_F(CSections, SectionParenthesesAreIgnoredButRequired) {
  ASSERT_TRUE(Parse("init (void) { } main(int argc, x) x = 1;"));
  EXPECT_NE(nullptr, root_.GetCNodeType(CN_INIT));
  ASSERT_NE(nullptr, root_.GetCNodeType(CN_MAIN));
  EXPECT_EQ(1, root_.GetCNodeType(CN_MAIN)->GetCNodeCount());
  EXPECT_FALSE(Parse("int n;\r\nmain { n = 1; }"));
  EXPECT_EQ("Syntax error: '(' not found", m_global_errstr.str());
  EXPECT_EQ(9, C_error_position);
  // "mainly" is a name, not the section.
  ASSERT_TRUE(Parse("mainly = 1;"));
  EXPECT_EQ("expr(mainly = 1)", Tree());
}

TEST_F(CSections, ErrorInASectionFailsWithItsPosition) {
  SetUpProgram(CrLf({"int n;", "main() {", "  n = 1;", "  m = 2;", "}"}));
  EXPECT_EQ(-1, Section(CX_MAIN));
  EXPECT_EQ("Variable 'm' not found", engine_.error.str());
  ExpectVars("n=1");
  // Lines of 6 + 2, 8 + 2 and 8 + 2 characters, then two blanks before "m".
  EXPECT_EQ(31, C_error_position);
}
