#include "expr/VarList.h"

#include <gtest/gtest.h>

#include <string>

TEST(VarList, AddVarCreatesZeroOfTheKind) {
  CVarList vars;
  SVar* x = vars.AddVar("x", NUM_DOUBLE, 0);
  ASSERT_NE(nullptr, x);
  EXPECT_STREQ("x", x->name);
  EXPECT_EQ(0, x->size);
  EXPECT_FALSE(x->IsArray());
  EXPECT_EQ(NUM_DOUBLE, x->values[0].kind);
  EXPECT_EQ(0.0, x->values[0].v.d);

  SVar* a = vars.AddVar("a", NUM_COMPLEX, 3);
  ASSERT_NE(nullptr, a);
  EXPECT_EQ(3, a->size);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(NUM_COMPLEX, a->values[k].kind);
    EXPECT_EQ(0.0, a->values[k].v.d);
    EXPECT_EQ(0.0, a->values[k].im);
  }
  EXPECT_EQ(2, vars.Count());
}

TEST(VarList, EmptyNameIsRefused) {
  CVarList vars;
  EXPECT_EQ(nullptr, vars.AddVar("", NUM_INT, 0));
  EXPECT_EQ(0, vars.Count());
}

TEST(VarList, FindVarIgnoresCaseAndPrefersTheLater) {
  CVarList vars;
  SVar* first = vars.AddVar("Speed", NUM_INT, 0);
  SetIntNumber(first->values, 1);
  vars.AddVar("other", NUM_INT, 0);
  SVar* second = vars.AddVar("speed", NUM_INT, 0);
  SetIntNumber(second->values, 2);
  ASSERT_NE(nullptr, vars.FindVar("SPEED"));
  EXPECT_EQ(2, vars.FindVar("SPEED")->values[0].v.i);
  EXPECT_EQ(nullptr, vars.FindVar("spee"));
  EXPECT_EQ(nullptr, vars.FindVar("speeds"));
  // From index 3 (above the last entry) nothing is found.
  EXPECT_EQ(nullptr, vars.FindVar("speed", 3));
  // From index 1 the later one is still found; the search stops at from.
  EXPECT_EQ(2, vars.FindVar("speed", 1)->values[0].v.i);
  EXPECT_EQ(nullptr, vars.FindVar("Speed", 3));
}

TEST(VarList, FindVarOfPartOfAText) {
  CVarList vars;
  vars.AddVar("ab", NUM_INT, 0);
  const char text[] = "abc";
  EXPECT_NE(nullptr, vars.FindVar(text, 2, 0));
  EXPECT_EQ(nullptr, vars.FindVar(text, 3, 0));
  EXPECT_EQ(nullptr, vars.FindVar(text, 1, 0));
}

TEST(VarList, SetSizeDropsTheLaterEntries) {
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
  EXPECT_NE(nullptr, vars.AddVar("again", NUM_BOOL, 0));
}

TEST(VarList, GrowingKeepsEveryEntry) {
  CVarList vars;
  for (int k = 0; k < 35; ++k) {
    SVar* v = vars.AddVar(("v" + std::to_string(k)).c_str(), NUM_INT, 0);
    ASSERT_NE(nullptr, v);
    SetIntNumber(v->values, k);
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
  SetInt64Number(&a->values[1], 9);
  EXPECT_TRUE(a->SetArraySize(1));  // not above: unchanged
  EXPECT_EQ(2, a->size);
  EXPECT_TRUE(a->SetArraySize(5));
  EXPECT_EQ(5, a->size);
  EXPECT_EQ(9, a->values[1].v.i64);
  for (int k = 2; k < 5; ++k) {
    EXPECT_EQ(NUM_INT64, a->values[k].kind);
    EXPECT_EQ(0, a->values[k].v.i64);
  }
}

TEST(VarList, FrequencyVariables) {
  CVarList vars;
  vars.CreateFreqVarlist();
  ASSERT_EQ(4, vars.Count());
  EXPECT_STREQ("f", vars.At(0)->name);
  EXPECT_STREQ("w", vars.At(1)->name);
  EXPECT_STREQ("s", vars.At(2)->name);
  EXPECT_STREQ("p", vars.At(3)->name);
  EXPECT_EQ(NUM_DOUBLE, vars.At(1)->values[0].kind);
  EXPECT_EQ(NUM_COMPLEX, vars.At(3)->values[0].kind);

  vars.SetFreqVarlist(1.0);
  EXPECT_EQ(1.0, vars.At(0)->values[0].v.d);
  EXPECT_EQ(6.28318530716, vars.At(1)->values[0].v.d);  // 2 * 3.14159265358
  EXPECT_EQ(0.0, vars.At(2)->values[0].v.d);
  EXPECT_EQ(6.28318530716, vars.At(2)->values[0].im);
  EXPECT_EQ(6.28318530716, vars.At(3)->values[0].im);
  EXPECT_EQ("0+6.28318530716j", OutNumber(vars.At(2)->values).str());
}
