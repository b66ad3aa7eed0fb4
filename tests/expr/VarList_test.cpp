#include "expr/VarList.h"

#include <gtest/gtest.h>

#include <string>

#include "expr/FormulaTest.h"

TEST(VarList, AddVarCreatesZerosOfTheKindAndRefusesEmptyNames) {
  CVarList vars;
  SVar* x = vars.AddVar("x", NUM_DOUBLE, 0);
  ASSERT_NE(nullptr, x);
  EXPECT_STREQ("x", x->name);
  EXPECT_EQ(0, x->size);
  EXPECT_FALSE(x->IsArray());
  EXPECT_TRUE(Holds(x->values[0], Dbl(0.0)));
  SVar* a = vars.AddVar("a", NUM_COMPLEX, 3);
  ASSERT_NE(nullptr, a);
  EXPECT_EQ(3, a->size);
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(Holds(a->values[k], Cplx(0.0, 0.0))) << k;
  EXPECT_EQ(nullptr, vars.AddVar("", NUM_INT, 0));
  EXPECT_EQ(2, vars.Count());
}

TEST(VarList, FindVarIgnoresCaseAndPrefersTheLater) {
  CVarList vars;
  vars.AddVar("Speed", NUM_INT, 0)->values[0] = NumInt(1);
  vars.AddVar("other", NUM_INT, 0);
  vars.AddVar("speed", NUM_INT, 0)->values[0] = NumInt(2);
  ASSERT_NE(nullptr, vars.FindVar("SPEED"));
  EXPECT_EQ(2, vars.FindVar("SPEED")->values[0].v.i);
  EXPECT_EQ(nullptr, vars.FindVar("spee"));
  EXPECT_EQ(nullptr, vars.FindVar("speeds"));
  // The search runs from the last entry back to from: from 3 (above the
  // last) nothing is found, from 1 the later one still is.
  EXPECT_EQ(nullptr, vars.FindVar("speed", 3));
  EXPECT_EQ(nullptr, vars.FindVar("Speed", 3));
  EXPECT_EQ(2, vars.FindVar("speed", 1)->values[0].v.i);
  vars.AddVar("ab", NUM_INT, 0);  // a name given as the first len characters of a text
  EXPECT_NE(nullptr, vars.FindVar("abc", 2, 0));
  EXPECT_EQ(nullptr, vars.FindVar("abc", 3, 0));
  EXPECT_EQ(nullptr, vars.FindVar("abc", 1, 0));
}

TEST(VarList, SetSizeDropsTheLaterEntriesClearDropsAllGrowingKeepsAll) {
  CVarList vars;
  vars.AddVar("a", NUM_INT, 0);
  vars.AddVar("b", NUM_INT, 0);
  vars.AddVar("a", NUM_INT, 5);
  vars.SetSize(2);
  EXPECT_EQ(2, vars.Count());
  EXPECT_FALSE(vars.FindVar("a")->IsArray());  // the earlier "a" shows again
  vars.SetSize(7);                              // beyond the count: nothing
  EXPECT_EQ(2, vars.Count());
  vars.ClearVarList();
  EXPECT_EQ(0, vars.Count());
  EXPECT_EQ(nullptr, vars.FindVar("a"));
  for (int k = 0; k < 35; ++k) {
    SVar* v = vars.AddVar(("v" + std::to_string(k)).c_str(), NUM_INT, 0);
    ASSERT_NE(nullptr, v);
    v->values[0] = NumInt(k);
  }
  ASSERT_EQ(35, vars.Count());
  for (int k = 0; k < 35; ++k) {
    const SVar* v = vars.FindVar(("V" + std::to_string(k)).c_str());
    ASSERT_NE(nullptr, v) << k;
    EXPECT_EQ(k, v->values[0].v.i);
  }
}

TEST(VarList, SetArraySizeGrowsWithZerosOfTheFirstKind) {
  CVarList vars;
  SVar* a = vars.AddVar("a", NUM_INT64, 2);
  a->values[1] = NumInt64(9);
  EXPECT_TRUE(a->SetArraySize(1));  // not above: unchanged
  EXPECT_EQ(2, a->size);
  EXPECT_TRUE(a->SetArraySize(5));
  EXPECT_EQ(5, a->size);
  EXPECT_EQ(9, a->values[1].v.i64);
  for (int k = 2; k < 5; ++k) EXPECT_TRUE(Holds(a->values[k], Int64(0))) << k;
}

TEST(VarList, FrequencyVariables) {
  CVarList vars;
  vars.CreateFreqVarlist();
  ASSERT_EQ(4, vars.Count());
  const char* names[] = {"f", "w", "s", "p"};
  for (int k = 0; k < 4; ++k) EXPECT_STREQ(names[k], vars.At(k)->name);
  EXPECT_EQ(NUM_DOUBLE, vars.At(1)->values[0].kind);
  EXPECT_EQ(NUM_COMPLEX, vars.At(3)->values[0].kind);
  vars.SetFreqVarlist(1.0);
  // w = 2 * 3.14159265358 * f: the language's pi, not the full double.
  EXPECT_TRUE(Holds(vars.At(0)->values[0], Dbl(1.0)));
  EXPECT_TRUE(Holds(vars.At(1)->values[0], Dbl(6.28318530716)));
  EXPECT_TRUE(Holds(vars.At(2)->values[0], Cplx(0.0, 6.28318530716)));
  EXPECT_TRUE(Holds(vars.At(3)->values[0], Cplx(0.0, 6.28318530716)));
  EXPECT_EQ("0+6.28318530716j", OutNumber(vars.At(2)->values).str());
}
