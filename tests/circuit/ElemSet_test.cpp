// The element-type registry: its order, the look-ups by key and position,
// creation through the factories, the letter walk and the conversion of
// editor shortcuts.

#include <cstring>
#include <set>
#include <string>

#include "circuit/TestElem.h"

namespace {

class ElemSetTest : public ::testing::Test {
 protected:
  CElemSet set_{m_test_order, m_test_arrays};
};

std::string Key(const SElemType* t) { return t != nullptr ? t->name : "(null)"; }

TEST_F(ElemSetTest, OrderFollowsTheKeyListNotTheArrays) {
  ASSERT_EQ(12, set_.Count());
  const char* expected[] = {"R_R",     "R_Pot",    "_R_R45", "C_C",      "X_CUSTOM", "Y_1",
                            "Y_1_NOT", "Y_2_AND",  "Y_2_NAND", "O_O",    "O_O_COMP", "Q_NOMEM"};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(expected[i], Key(set_.GetElemType(i))) << i;
}

TEST_F(ElemSetTest, PositionOutsideTheListFindsNothing) {
  EXPECT_EQ(nullptr, set_.GetElemType(-1));
  EXPECT_EQ(nullptr, set_.GetElemType(set_.Count()));
}

TEST_F(ElemSetTest, KeyLookupIsExactAndCaseSensitive) {
  EXPECT_EQ(&m_elemtype_test_r[0], set_.GetElemType(AnsiString("R_R")));
  EXPECT_EQ(&m_elemtype_test_r[2], set_.GetElemType(AnsiString("_R_R45")));
  EXPECT_EQ(nullptr, set_.GetElemType(AnsiString("r_r")));
  EXPECT_EQ(nullptr, set_.GetElemType(AnsiString("R_R ")));
  EXPECT_EQ(nullptr, set_.GetElemType(AnsiString("")));
}

TEST_F(ElemSetTest, NewCmpStartsInTheFirstModelWithGroundedPins) {
  CCmps owner;
  std::unique_ptr<CCmp> c(set_.NewCmp("R_Pot", &owner));
  ASSERT_NE(nullptr, c);
  EXPECT_EQ(&owner, c->Owner());
  EXPECT_EQ(&m_elemtype_test_r[1], c->Type());
  EXPECT_EQ(52, c->TypeId());
  EXPECT_EQ(MC_R, c->Model());
  EXPECT_EQ(0, c->PrevModel());
  EXPECT_EQ(0, c->View());
  ASSERT_EQ(3, c->PinCount());
  for (int i = 0; i < 2 * 3; ++i) EXPECT_EQ(0, c->Nodes()[i]) << i;
}

TEST_F(ElemSetTest, NewCmpFailsForUnknownTypeOrFailingFactory) {
  EXPECT_EQ(nullptr, set_.NewCmp("R_X", nullptr));
  EXPECT_EQ(nullptr, set_.NewCmp("", nullptr));
  EXPECT_EQ(nullptr, set_.NewCmp("Q_NOMEM", nullptr));
}

TEST_F(ElemSetTest, FindNextTypeStepsCyclicallyThroughOneLetter) {
  // From nothing (or an unknown key) the first of the letter, not only when
  // the very first registered type has it; after R_Pot only _R_R45 is left,
  // which begins with "_": round to R_R. Empty when no other type has the
  // letter (back at the current one).
  const struct {
    char letter;
    const char* current;
    const char* next;
  } rows[] = {{'R', "", "R_R"},        {'R', "R_R", "R_Pot"},     {'R', "R_Pot", "R_R"},
              {'Y', "Y_1", "Y_1_NOT"}, {'Y', "Y_2_NAND", "Y_1"},  {'C', "", "C_C"},
              {'O', "no such type", "O_O"}, {'C', "C_C", ""},     {'Z', "", ""},
              {'Z', "R_R", ""}};
  for (const auto& row : rows)
    EXPECT_EQ(row.next, set_.FindNextType(row.letter, row.current).str())
        << row.letter << " after '" << row.current << "'";
  EXPECT_EQ("", CElemSet().FindNextType('R', "").str());
}

TEST_F(ElemSetTest, InvertedGateBecomesThePlainGateInTheOtherView) {
  std::unique_ptr<CCmp> nand(set_.NewCmp("Y_2_NAND", nullptr));
  ASSERT_TRUE(set_.ConvertSelectionToCmp(nand.get()));
  EXPECT_EQ(93, nand->TypeId());
  EXPECT_EQ(set_.GetElemType(AnsiString("Y_2_AND")), nand->Type());
  EXPECT_EQ(1, nand->View());

  std::unique_ptr<CCmp> inv(set_.NewCmp("Y_1_NOT", nullptr));
  inv->SetView(1);
  ASSERT_TRUE(set_.ConvertSelectionToCmp(inv.get()));
  EXPECT_EQ(92, inv->TypeId());
  EXPECT_STREQ("Y_1", inv->Type()->name);
  EXPECT_EQ(0, inv->View());
}

TEST_F(ElemSetTest, ComparatorBecomesTheAmplifierInModelComparator) {
  std::unique_ptr<CCmp> comp(set_.NewCmp("O_O_COMP", nullptr));
  ASSERT_EQ(MC_LINEAR, comp->Model());
  ASSERT_TRUE(set_.ConvertSelectionToCmp(comp.get()));
  EXPECT_EQ(41, comp->TypeId());
  EXPECT_STREQ("O_O", comp->Type()->name);
  EXPECT_EQ(21, comp->Model());
  EXPECT_STREQ("Comparator", comp->GetModel()->name);
  EXPECT_EQ(0, comp->View());
}

TEST_F(ElemSetTest, OtherTypesAreNotConverted) {
  std::unique_ptr<CCmp> r(set_.NewCmp("R_R", nullptr));
  EXPECT_FALSE(set_.ConvertSelectionToCmp(r.get()));
  EXPECT_EQ(51, r->TypeId());
  EXPECT_EQ(MC_R, r->Model());
  // Without the plain gate registered there is nothing to convert into.
  const SElemType* const only_nand[] = {&m_elemtype_test_other[5], nullptr};
  const char* const no_order[] = {nullptr};
  CElemSet small(no_order, only_nand);
  std::unique_ptr<CCmp> nand(small.NewCmp("Y_2_NAND", nullptr));
  ASSERT_NE(nullptr, nand);
  EXPECT_FALSE(small.ConvertSelectionToCmp(nand.get()));
  EXPECT_EQ(112, nand->TypeId());
}

// The library's registry grows as element classes are written; whatever
// it holds must stand in the listed order, each key once.
TEST(LibraryElemSet, HoldsListedTypesInListOrder) {
  std::set<std::string> keys;
  int listed = 0;
  for (const char* const* k = m_elemtype_order; *k != nullptr; ++k, ++listed)
    EXPECT_TRUE(keys.insert(*k).second) << "listed twice: " << *k;
  EXPECT_EQ(114, listed);
  int last = -1;
  for (int i = 0; i < ElemSet.Count(); ++i) {
    const char* key = ElemSet.GetElemType(i)->name;
    int at = 0;
    while (m_elemtype_order[at] != nullptr && std::strcmp(m_elemtype_order[at], key) != 0) ++at;
    ASSERT_NE(nullptr, m_elemtype_order[at]) << "not listed: " << key;
    EXPECT_GT(at, last) << key;
    last = at;
  }
}

}  // namespace
