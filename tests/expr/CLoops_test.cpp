// while, do-while and for; break, continue and return inside loops; the
// time-out and stop checks every 100 passes.

#include <string>

#include "CScript.h"

class CLoops : public CScript {};

TEST_F(CLoops, WhileTestsBeforeEachPass) {
  ASSERT_EQ(0, Run("int i = 0, s = 0; while (i < 5) { s += i; i++; }"));
  EXPECT_EQ(10, Int("s"));
  EXPECT_EQ(5, Int("i"));
  ASSERT_EQ(0, Run("int n = 0; while (0) n = 1;"));
  EXPECT_EQ(0, Int("n"));
}

TEST_F(CLoops, DoRunsItsBodyAtLeastOnce) {
  ASSERT_EQ(0, Run("int n = 0; do n++; while (0);"));
  EXPECT_EQ(1, Int("n"));
  ASSERT_EQ(0, Run("int m = 0; do { m += 2; } while (m < 7);"));
  EXPECT_EQ(8, Int("m"));
}

TEST_F(CLoops, DoIsFollowedByAnEmptyStatement) {
  ASSERT_TRUE(Parse("do{ x++; }while(x < 3); y = 1;"));
  ASSERT_EQ(3, root_.GetCNodeCount());
  EXPECT_EQ(CN_DO, root_.GetCNode(0)->Type());
  EXPECT_EQ("x < 3", root_.GetCNode(0)->Text1().str());
  EXPECT_EQ(CN_EXPRESSION, root_.GetCNode(1)->Type());
  EXPECT_EQ("", root_.GetCNode(1)->Text1().str());
}

TEST_F(CLoops, ForAddsEachIndexOnce) {
  ASSERT_EQ(0, Run("int x = 10; int i; for (i = 0; i < 3; i++) { x += i; }"));
  EXPECT_EQ(13, Int("x"));
  EXPECT_EQ(3, Int("i"));
}

TEST_F(CLoops, ForKeepsItsThreeParts) {
  ASSERT_TRUE(Parse("for ( i = 0 ;  ; i += 2 ) x++;"));
  const CCNode* f = root_.GetCNode(0);
  ASSERT_EQ(CN_FOR, f->Type());
  EXPECT_EQ("i = 0", f->Text1().str());
  EXPECT_EQ("", f->Text2().str());
  EXPECT_EQ("i += 2", f->Text3().str());
  ASSERT_EQ(1, f->GetCNodeCount());
}

TEST_F(CLoops, ForWithEmptyConditionRunsUntilBreak) {
  ASSERT_EQ(0, Run("int i; for (i = 0; ; i++) { if (i == 4) break; }"));
  EXPECT_EQ(4, Int("i"));
  ASSERT_EQ(0, Run("int k = 0; for (;;) if (++k >= 3) break;"));
  EXPECT_EQ(3, Int("k"));
}

TEST_F(CLoops, ForDeclaresNothing) {
  // The initialisation is a command, so a type word is part of the name.
  EXPECT_EQ(-1, Run("int s; for (int i = 0; i < 3; i++) s++;"));
  EXPECT_EQ("Variable 'int i' not found", engine_.error.str());
}

TEST_F(CLoops, ContinueSkipsToTheNextPass) {
  ASSERT_EQ(0, Run("int i, s = 0; for (i = 0; i < 6; i++) { if (i % 2) continue; s += i; }"));
  EXPECT_EQ(0 + 2 + 4, Int("s"));
  // In while, the condition comes next; in do, too.
  ASSERT_EQ(0, Run("int j = 0, t = 0; while (j < 5) { j++; if (j == 2) continue; t += j; }"));
  EXPECT_EQ(1 + 3 + 4 + 5, Int("t"));
  ASSERT_EQ(0, Run("int k = 0, u = 0; do { k++; if (k < 3) continue; u++; } while (k < 4);"));
  EXPECT_EQ(2, Int("u"));
}

TEST_F(CLoops, BreakEndsOnlyTheInnermostLoop) {
  ASSERT_EQ(0, Run("int i, j, n = 0; for (i = 0; i < 3; i++) for (j = 0; j < 10; j++) "
                   "{ if (j == 2) break; n++; }"));
  EXPECT_EQ(6, Int("n"));
  EXPECT_EQ(3, Int("i"));
}

TEST_F(CLoops, ReturnEndsTheLoopAndIsPassedOn) {
  EXPECT_EQ(3, Run("int n = 0; while (1) { n++; if (n == 3) return; } n = 100;"));
  EXPECT_EQ(3, Int("n"));
  EXPECT_EQ(3, Run("int m = 0; do { do { m++; return; } while (1); } while (1); m = 100;"));
  EXPECT_EQ(1, Int("m"));
  EXPECT_EQ(3, Run("int k; for (k = 0; k < 10; k++) if (k == 4) return;"));
  EXPECT_EQ(4, Int("k"));
}

TEST_F(CLoops, FailingConditionOrStepFailsTheLoop) {
  EXPECT_EQ(-1, Run("int a; while (missing < 3) a++;"));
  EXPECT_EQ("Wrong variable name or number format: 'missing'", engine_.error.str());
  EXPECT_EQ(-1, Run("int b; for (b = 0; b < 3; c++) ;"));
  EXPECT_EQ("Wrong variable name or number format: 'c'", engine_.error.str());
  EXPECT_EQ(0, Int("b"));  // the step fails after the first pass
}

TEST_F(CLoops, LoopBodyDeclarationsAreNewInEveryPass) {
  ASSERT_EQ(0, Run("int i, s = 0; for (i = 0; i < 3; i++) { int t = i * 2; s += t; }"));
  EXPECT_EQ(6, Int("s"));
  EXPECT_FALSE(Exists("t"));
  // Without braces the declaration stays, so the second pass finds it.
  EXPECT_EQ(-1, Run("int j = 0; while (j++ < 2) int u;"));
  EXPECT_EQ("Variable 'u' already exists", engine_.error.str());
}

// --- Time-outs and stop requests. The test engine answers the time-out
// question with yes from its timeout_at-th question on.

TEST_F(CLoops, RunawayLoopsEndWithTheTimeOutMessage) {
  engine_.timeout_at = 1;
  EXPECT_EQ(-1, Run("while (1) {}"));
  EXPECT_EQ("'while' loop time-out at cycle 100", engine_.error.str());
  EXPECT_EQ(1, C_error_position);

  engine_.checks = 0;
  EXPECT_EQ(-1, Run("int x; do { } while (1);"));
  EXPECT_EQ("'do' loop time-out at cycle 100", engine_.error.str());
  EXPECT_EQ(8, C_error_position);

  engine_.checks = 0;
  engine_.timeout_at = 3;
  EXPECT_EQ(-1, Run("for (;;) ;"));
  EXPECT_EQ("'for' loop time-out at cycle 300", engine_.error.str());
  EXPECT_EQ(3, engine_.checks);
}

TEST_F(CLoops, EveryHundredthPassAsksOnce) {
  ASSERT_EQ(0, Run("int i; for (i = 0; i < 99; i++) {}"));
  EXPECT_EQ(0, engine_.checks);
  ASSERT_EQ(0, Run("int j; for (j = 0; j < 100; j++) {}"));
  EXPECT_EQ(1, engine_.checks);
  engine_.checks = 0;
  ASSERT_EQ(0, Run("int k = 0; while (k < 250) k++;"));
  EXPECT_EQ(2, engine_.checks);
  // continue counts as a pass.
  engine_.checks = 0;
  ASSERT_EQ(0, Run("int m = 0; do { m++; continue; } while (m < 100);"));
  EXPECT_EQ(1, engine_.checks);
}

// Loops nested eight deep with 99 passes each never reach a pass number
// that is a multiple of 100 on their own, yet run 99^8 passes. The passes of
// all loops together are counted as well, and every hundredth of those asks.
TEST_F(CLoops, NestedShortLoopsStillTimeOut) {
  std::string p = "int i1, i2, i3, i4, i5, i6, i7, i8; ";
  for (int k = 1; k <= 8; ++k) {
    const std::string i = "i" + std::to_string(k);
    p += "for (" + i + " = 0; " + i + " < 99; " + i + "++) ";
  }
  p += "{}";
  engine_.timeout_at = 1;
  EXPECT_EQ(-1, Run(p));
  // The innermost loop runs its 99 passes; the first pass of the loop
  // around it is the hundredth pass in all, and that loop reports.
  EXPECT_EQ("'for' loop time-out at cycle 1", engine_.error.str());
  EXPECT_EQ(1, engine_.checks);
  EXPECT_EQ(99, Int("i8"));
  EXPECT_EQ(1, Int("i7"));
}

TEST_F(CLoops, SharedCountAsksEveryHundredPassesOfAllLoops) {
  // 10 + 10 * 10 + 10 * 10 * 10 = 1110 passes, none a hundredth pass of its
  // own loop: 11 questions.
  ASSERT_EQ(0, Run("int a, b, c; for (a = 0; a < 10; a++) for (b = 0; b < 10; b++) "
                   "for (c = 0; c < 10; c++) {}"));
  EXPECT_EQ(11, engine_.checks);
}

TEST_F(CLoops, StopRequestEndsALoopWithoutMessage) {
  engine_.stop = true;
  engine_.error = "earlier text";
  EXPECT_EQ(-1, Run("int n = 0; while (1) n++;"));
  EXPECT_EQ("", engine_.error.str());
  EXPECT_EQ(100, Int("n"));
  // A stop request is seen before a time-out.
  engine_.timeout_at = 1;
  EXPECT_EQ(-1, Run("for (;;) {}"));
  EXPECT_EQ("", engine_.error.str());
  // Loops that end before their hundredth pass never look.
  engine_.error = "kept";
  EXPECT_EQ(0, Run("int k = 0; while (k < 50) k++;"));
  EXPECT_EQ("kept", engine_.error.str());
}
