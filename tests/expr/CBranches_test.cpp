// if/else and switch.

#include <string>

#include "CScript.h"

class CBranches : public CScript {};

TEST_F(CBranches, IfRunsItsStatementOnlyWhenTheConditionHolds) {
  const std::string chain =
      "if (n < 0) r = -1; else if (n == 0) r = 0; else if (n < 10) r = 1; else r = 2;";
  Examples({
      {"int a = 0, b = 0, x = 2; if (x > 1) a = 1; if (x > 5) b = 1;", "a=1 b=0"},
      {"int y, z, x = 0; if (x) y = 1; else y = 2; if (!x) { z = 3; } else { z = 4; }", "y=2 z=3"},
      // The condition is converted to bool, and it may assign.
      {"int a, b; double h = 0.5; if (h) a = 1; if (h - 0.5) b = 1;", "a=1 b=0"},
      {"int k = 5, y; if (k = 0) y = 1; else y = 2;", "k=0 y=2"},
      // The else belongs to the nearest if.
      {"int a = 0, b = 0, x = 7; if (a) if (b) x = 1; else x = 2;", "x=7"},
      {"int r, n = -5; " + chain, "r=-1"},
      {"int r, n = 0; " + chain, "r=0"},
      {"int r, n = 3; " + chain, "r=1"},
      {"int r, n = 10; " + chain, "r=2"},
      {"int y; if (nothing) y = 1;", "", "Wrong variable name or number format: 'nothing'"},
  });
}

TEST_F(CBranches, ElseBelongsToTheNearestIfAndNeedsABlankOrBrace) {
  ASSERT_TRUE(Parse("if (a) if (b) x = 1; else x = 2;"));
  EXPECT_EQ("if(a){if(b){expr(x = 1) else{expr(x = 2)}}}", Tree());
  // "elsewhere" is a name, so the if has no else.
  ASSERT_TRUE(Parse("if (a) x = 1; elsewhere = 2;"));
  EXPECT_EQ("if(a){expr(x = 1)} expr(elsewhere = 2)", Tree());
  ASSERT_TRUE(Parse("if (a) x = 1; else{ x = 2; }"));
  EXPECT_EQ("if(a){expr(x = 1) else{block{expr(x = 2)}}}", Tree());
}

TEST_F(CBranches, SwitchBodyIsInlineWithItsLabels) {
  ASSERT_TRUE(Parse("switch (k) { case 1: y = 1; break; default: y = 0; }"));
  EXPECT_EQ("switch(k){case(1) expr(y = 1) break default expr(y = 0)}", Tree());
}

TEST_F(CBranches, SwitchRunsFromTheMatchingLabelToBreakOrEnd) {
  const std::string labelled =
      "switch (k) { case 1: y = 10; break; case 2: y = 20; break; default: y = 99; } after = 1;";
  Examples({
      // Falls through later labels, then goes on after the switch.
      {"int k = 1, y = 0, after = 0; switch (k) { case 1: y = 1; case 2: y = 2; } after = 1;",
       "y=2 after=1"},
      // break ends the switch only.
      {"int k = 1, y = 0, after = 0; " + labelled, "y=10 after=1"},
      {"int k = 2, y = 0, after = 0; " + labelled, "y=20 after=1"},
      {"int k = 3, y = 0, after = 0; " + labelled, "y=99 after=1"},
      // Without a match or default nothing runs.
      {"int y = 5; switch (3) { case 1: y = 1; case 2: y = 2; } y += 1;", "y=6"},
      // default anywhere falls through what follows it; a matching case is
      // preferred to a default before it.
      {"int y = 0; switch (7) { case 1: y += 1; default: y += 10; case 2: y += 100; }", "y=110"},
      {"int z = 0; switch (2) { default: z += 10; case 2: z += 100; }", "z=100"},
      // Values are compared as ints.
      {"int y = 0; double v = 2.7; switch (v) { case 1 + 1: y = 2; break; case 3: y = 3; }", "y=2"},
      {"int z = 0; switch (5) { case 4.9: z = 1; break; case 5.99: z = 2; }", "z=2"},
      // A single statement body has no label to match, so it is skipped.
      {"int y = 0; switch (1) y = 4;", "y=0"},
      // continue (s = 0 + 2 + 3) and return pass on.
      {"int i, s = 0; for (i = 0; i < 4; i++) { switch (i) { case 1: continue; } s += i; }",
       "s=5"},
      {"int r = 0; switch (1) { case 1: return; } r = 1;", "r=0", "", 3},
      {"int z; switch (1) { case nothing: z = 1; }", "",
       "Wrong variable name or number format: 'nothing'"},
  });
}
