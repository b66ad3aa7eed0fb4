// while, do-while and for; break, continue and return inside loops; the
// time-out and stop checks every 100 passes.

#include <string>

#include "CScript.h"

class CLoops : public CScript {};

TEST_F(CLoops, LoopsRepeatWhileTheConditionHolds) {
  Examples({
      {"int i = 0, s = 0; while (i < 5) { s += i; i++; }", "s=10 i=5"},
      {"int n = 0; while (0) n = 1;", "n=0"},
      // do runs its body at least once.
      {"int n = 0; do n++; while (0);", "n=1"},
      {"int m = 0; do { m += 2; } while (m < 7);", "m=8"},
      {"int x = 10; int i; for (i = 0; i < 3; i++) { x += i; }", "x=13 i=3"},
      // An empty condition runs until break.
      {"int i; for (i = 0; ; i++) { if (i == 4) break; }", "i=4"},
      {"int k = 0; for (;;) if (++k >= 3) break;", "k=3"},
      // The initialisation is a command, so a type word is part of the name.
      {"int s; for (int i = 0; i < 3; i++) s++;", "s=0", "Variable 'int i' not found"},
      // A failing condition or step fails the loop; the step fails after
      // the first pass.
      {"int a; while (missing < 3) a++;", "", "Wrong variable name or number format: 'missing'"},
      {"int b; for (b = 0; b < 3; c++) ;", "b=0", "Wrong variable name or number format: 'c'"},
      // Body declarations are new in every pass; without braces the
      // declaration stays, so the second pass finds it.
      {"int i, s = 0; for (i = 0; i < 3; i++) { int t = i * 2; s += t; }", "s=6 t=(none)"},
      {"int j = 0; while (j++ < 2) int u;", "", "Variable 'u' already exists"},
  });
}

TEST_F(CLoops, DoAndForKeepTheirParts) {
  // do resumes after its condition, so the ";" is an empty statement.
  ASSERT_TRUE(Parse("do{ x++; }while(x < 3); y = 1;"));
  EXPECT_EQ("do(x < 3){block{expr(x++)}} expr() expr(y = 1)", Tree());
  ASSERT_TRUE(Parse("for ( i = 0 ;  ; i += 2 ) x++;"));
  EXPECT_EQ("for(i = 0;;i += 2){expr(x++)}", Tree());
}

TEST_F(CLoops, BreakContinueAndReturnActOnTheInnermostLoop) {
  Examples({
      // s = 0 + 2 + 4, t = 1 + 3 + 4 + 5: in while and do the condition comes next.
      {"int i, s = 0; for (i = 0; i < 6; i++) { if (i % 2) continue; s += i; }", "s=6"},
      {"int j = 0, t = 0; while (j < 5) { j++; if (j == 2) continue; t += j; }", "t=13"},
      {"int k = 0, u = 0; do { k++; if (k < 3) continue; u++; } while (k < 4);", "u=2"},
      {"int i, j, n = 0; for (i = 0; i < 3; i++) for (j = 0; j < 10; j++) "
       "{ if (j == 2) break; n++; }", "n=6 i=3"},
      // return ends every loop and is passed on.
      {"int n = 0; while (1) { n++; if (n == 3) return; } n = 100;", "n=3", "", 3},
      {"int m = 0; do { do { m++; return; } while (1); } while (1); m = 100;", "m=1", "", 3},
      {"int k; for (k = 0; k < 10; k++) if (k == 4) return;", "k=4", "", 3},
  });
}

// --- Time-outs and stop requests. The test engine answers the time-out
// question with yes from its timeout_at-th question on.

TEST_F(CLoops, RunawayLoopsEndWithTheTimeOutMessageAtTheLoop) {
  const struct { int timeout_at; const char *program, *message; int position; } rows[] = {
      {1, "while (1) {}", "'while' loop time-out at cycle 100", 1},
      {1, "int x; do { } while (1);", "'do' loop time-out at cycle 100", 8},
      {3, "for (;;) ;", "'for' loop time-out at cycle 300", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.program);
    engine_.timeout_at = row.timeout_at;
    engine_.checks = 0;
    EXPECT_EQ(-1, RunFresh(row.program));
    EXPECT_EQ(row.message, engine_.error.str());
    EXPECT_EQ(row.position, C_error_position);
    EXPECT_EQ(row.timeout_at, engine_.checks);
  }
}

TEST_F(CLoops, EveryHundredthPassOfALoopOrOfAllLoopsAsksOnce) {
  const struct { const char* program; int checks; } rows[] = {
      {"int i; for (i = 0; i < 99; i++) {}", 0},
      {"int j; for (j = 0; j < 100; j++) {}", 1},
      {"int k = 0; while (k < 250) k++;", 2},
      {"int m = 0; do { m++; continue; } while (m < 100);", 1},  // continue is a pass
      // 10 + 10 * 10 + 10 * 10 * 10 = 1110 passes, none a hundredth pass of
      // its own loop: the count shared by all loops asks 11 times.
      {"int a, b, c; for (a = 0; a < 10; a++) for (b = 0; b < 10; b++) "
       "for (c = 0; c < 10; c++) {}", 11},
  };
  for (const auto& row : rows) {
    engine_.checks = 0;
    ASSERT_EQ(0, RunFresh(row.program)) << row.program;
    EXPECT_EQ(row.checks, engine_.checks) << row.program;
  }
}

// Loops nested eight deep with 99 passes each never reach a pass number
// that is a multiple of 100 on their own, yet run 99^8 passes: the shared
// count stops them.
TEST_F(CLoops, NestedShortLoopsStillTimeOut) {
  std::string p = "int i1, i2, i3, i4, i5, i6, i7, i8; ";
  for (const char* i : {"i1", "i2", "i3", "i4", "i5", "i6", "i7", "i8"}) {
    p += std::string("for (") + i + " = 0; " + i + " < 99; " + i + "++) ";
  }
  engine_.timeout_at = 1;
  EXPECT_EQ(-1, Run(p + "{}"));
  // The innermost loop runs its 99 passes; the first pass of the loop
  // around it is the hundredth pass in all, and that loop reports.
  EXPECT_EQ("'for' loop time-out at cycle 1", engine_.error.str());
  EXPECT_EQ(1, engine_.checks);
  ExpectVars("i8=99 i7=1");
}

TEST_F(CLoops, StopRequestEndsALoopWithoutMessageBeforeATimeOut) {
  engine_.stop = true;
  engine_.error = "earlier text";
  EXPECT_EQ(-1, Run("int n = 0; while (1) n++;"));
  EXPECT_EQ("", engine_.error.str());
  ExpectVars("n=100");
  engine_.timeout_at = 1;
  EXPECT_EQ(-1, Run("for (;;) {}"));
  EXPECT_EQ("", engine_.error.str());
  // Loops that end before their hundredth pass never look.
  engine_.error = "kept";
  EXPECT_EQ(0, Run("int k = 0; while (k < 50) k++;"));
  EXPECT_EQ("kept", engine_.error.str());
}
