// if/else and switch.

#include "CScript.h"

class CBranches : public CScript {};

TEST_F(CBranches, IfRunsItsStatementOnlyWhenTheConditionHolds) {
  ASSERT_EQ(0, Run("int a = 0, b = 0, x = 2; if (x > 1) a = 1; if (x > 5) b = 1;"));
  EXPECT_EQ(1, Int("a"));
  EXPECT_EQ(0, Int("b"));
}

TEST_F(CBranches, ElseRunsWhenTheConditionFails) {
  ASSERT_EQ(0, Run("int y, z, x = 0; if (x) y = 1; else y = 2; if (!x) { z = 3; } else { z = 4; }"));
  EXPECT_EQ(2, Int("y"));
  EXPECT_EQ(3, Int("z"));
}

TEST_F(CBranches, ConditionIsConvertedToBool) {
  ASSERT_EQ(0, Run("int a, b; double h = 0.5; if (h) a = 1; if (h - 0.5) b = 1;"));
  EXPECT_EQ(1, Int("a"));
  EXPECT_EQ(0, Int("b"));
}

TEST_F(CBranches, ConditionMayAssign) {
  ASSERT_EQ(0, Run("int k = 5, y; if (k = 0) y = 1; else y = 2;"));
  EXPECT_EQ(0, Int("k"));
  EXPECT_EQ(2, Int("y"));
}

TEST_F(CBranches, ElseBelongsToTheNearestIf) {
  ASSERT_TRUE(Parse("if (a) if (b) x = 1; else x = 2;"));
  ASSERT_EQ(1, root_.GetCNodeCount());
  const CCNode* outer = root_.GetCNode(0);
  EXPECT_EQ(nullptr, outer->GetCNodeType(CN_ELSE));
  ASSERT_EQ(1, outer->GetCNodeCount());
  EXPECT_NE(nullptr, outer->GetCNode(0)->GetCNodeType(CN_ELSE));

  ASSERT_EQ(0, Run("int a = 0, b = 0, x = 7; if (a) if (b) x = 1; else x = 2;"));
  EXPECT_EQ(7, Int("x"));
}

TEST_F(CBranches, ElseIfChains) {
  const char* p =
      "int n, r; n = input; "
      "if (n < 0) r = -1; else if (n == 0) r = 0; else if (n < 10) r = 1; else r = 2;";
  const int cases[][2] = {{-5, -1}, {0, 0}, {3, 1}, {10, 2}};
  for (const auto& c : cases) {
    vars_.ClearVarList();
    vars_.AddVar("input", NUM_INT, 0)->values[0].v.i = c[0];
    ASSERT_EQ(0, Run(p));
    EXPECT_EQ(c[1], Int("r")) << c[0];
  }
}

TEST_F(CBranches, ElseWordNeedsABlankOrBrace) {
  // "elsewhere" is a name, so the if has no else and the next statement is
  // an expression.
  ASSERT_TRUE(Parse("if (a) x = 1; elsewhere = 2;"));
  ASSERT_EQ(2, root_.GetCNodeCount());
  EXPECT_EQ(nullptr, root_.GetCNode(0)->GetCNodeType(CN_ELSE));
  ASSERT_TRUE(Parse("if (a) x = 1; else{ x = 2; }"));
  EXPECT_NE(nullptr, root_.GetCNode(0)->GetCNodeType(CN_ELSE));
}

TEST_F(CBranches, SwitchFallsThroughLaterLabels) {
  ASSERT_EQ(0, Run("int k = 1, y = 0, after = 0; "
                   "switch (k) { case 1: y = 1; case 2: y = 2; } after = 1;"));
  EXPECT_EQ(2, Int("y"));
  EXPECT_EQ(1, Int("after"));
}

TEST_F(CBranches, SwitchBodyIsInlineWithItsLabels) {
  ASSERT_TRUE(Parse("switch (k) { case 1: y = 1; break; default: y = 0; }"));
  const CCNode* sw = root_.GetCNode(0);
  ASSERT_EQ(CN_SWITCH, sw->Type());
  EXPECT_EQ("k", sw->Text1().str());
  ASSERT_EQ(5, sw->GetCNodeCount());
  EXPECT_EQ(CN_CASE, sw->GetCNode(0)->Type());
  EXPECT_EQ("1", sw->GetCNode(0)->Text1().str());
  EXPECT_EQ(CN_EXPRESSION, sw->GetCNode(1)->Type());
  EXPECT_EQ(CN_BREAK, sw->GetCNode(2)->Type());
  EXPECT_EQ(CN_DEFAULT, sw->GetCNode(3)->Type());
  EXPECT_EQ(CN_EXPRESSION, sw->GetCNode(4)->Type());
}

TEST_F(CBranches, SwitchBreakEndsTheSwitchOnly) {
  const char* p =
      "int y = 0, after = 0; "
      "switch (K) { case 1: y = 10; break; case 2: y = 20; break; default: y = 99; } "
      "after = 1;";
  const int cases[][2] = {{1, 10}, {2, 20}, {3, 99}};
  for (const auto& c : cases) {
    vars_.ClearVarList();
    vars_.AddVar("K", NUM_INT, 0)->values[0].v.i = c[0];
    ASSERT_EQ(0, Run(p)) << engine_.error.str();
    EXPECT_EQ(c[1], Int("y")) << c[0];
    EXPECT_EQ(1, Int("after"));
  }
}

TEST_F(CBranches, SwitchWithoutMatchOrDefaultRunsNothing) {
  ASSERT_EQ(0, Run("int y = 5; switch (3) { case 1: y = 1; case 2: y = 2; } y += 1;"));
  EXPECT_EQ(6, Int("y"));
}

TEST_F(CBranches, DefaultAnywhereFallsThroughWhatFollowsIt) {
  ASSERT_EQ(0, Run("int y = 0; switch (7) { case 1: y += 1; default: y += 10; case 2: y += 100; }"));
  EXPECT_EQ(110, Int("y"));
  // A matching case is preferred to a default before it.
  ASSERT_EQ(0, Run("int z = 0; switch (2) { default: z += 10; case 2: z += 100; }"));
  EXPECT_EQ(100, Int("z"));
}

TEST_F(CBranches, SwitchValuesAreComparedAsInts) {
  ASSERT_EQ(0, Run("int y = 0; double v = 2.7; switch (v) { case 1 + 1: y = 2; break; case 3: y = 3; }"));
  EXPECT_EQ(2, Int("y"));
  ASSERT_EQ(0, Run("int z = 0; switch (5) { case 4.9: z = 1; break; case 5.99: z = 2; }"));
  EXPECT_EQ(2, Int("z"));
}

TEST_F(CBranches, SwitchPassesContinueAndReturnOn) {
  ASSERT_EQ(0, Run("int i, s = 0; for (i = 0; i < 4; i++) { switch (i) { case 1: continue; } s += i; }"));
  EXPECT_EQ(0 + 2 + 3, Int("s"));
  EXPECT_EQ(3, Run("int r = 0; switch (1) { case 1: return; } r = 1;"));
  EXPECT_EQ(0, Int("r"));
}

TEST_F(CBranches, SwitchWithASingleStatementBody) {
  ASSERT_EQ(0, Run("int y = 0; switch (1) y = 4;"));
  EXPECT_EQ(0, Int("y"));  // no label matches, so the statement is skipped
}

TEST_F(CBranches, BranchErrorsStopTheProgram) {
  EXPECT_EQ(-1, Run("int y; if (nothing) y = 1;"));
  EXPECT_EQ("Wrong variable name or number format: 'nothing'", engine_.error.str());
  EXPECT_EQ(-1, Run("int z; switch (1) { case nothing: z = 1; }"));
  EXPECT_EQ("Wrong variable name or number format: 'nothing'", engine_.error.str());
}
