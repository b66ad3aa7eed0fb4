// Splitting of names, assignments, parameter texts and lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/globals.h"

namespace {

std::vector<std::string> Params(const AnsiString& s) {
  TStringList l;
  l.Add("stale");
  parse_params(s, l);
  std::vector<std::string> out;
  for (int i = 0; i < l.Count(); ++i) out.push_back(l[i].str());
  return out;
}

using Strs = std::vector<std::string>;

struct Assignment {
  int code;
  std::string name, value, index;
};

Assignment Split(const AnsiString& s) {
  AnsiString name("junk"), value("junk"), index("junk");
  const int code = find_equal_sign(s, name, value, index);
  return {code, name.str(), value.str(), index.str()};
}

}  // namespace

// --- parse_name_value.

TEST(ParseNameValue, SplitsAtFirstEqualSignAndTrims) {
  AnsiString n, v;
  parse_name_value("  R = 10k ", n, v);
  EXPECT_EQ(AnsiString("R"), n);
  EXPECT_EQ(AnsiString("10k"), v);
  parse_name_value("a=b=c", n, v);
  EXPECT_EQ(AnsiString("a"), n);
  EXPECT_EQ(AnsiString("b=c"), v);
}

TEST(ParseNameValue, WithoutEqualSignBothAreEmpty) {
  AnsiString n("old"), v("old");
  parse_name_value("R 10k", n, v);
  EXPECT_EQ(AnsiString(""), n);
  EXPECT_EQ(AnsiString(""), v);
}

// --- parse_name.

TEST(ParseName, SplitsAtFirstDot) {
  AnsiString first, rest;
  parse_name("R1.R", first, rest);
  EXPECT_EQ(AnsiString("R1"), first);
  EXPECT_EQ(AnsiString("R"), rest);
  parse_name("X1.R1.R", first, rest);
  EXPECT_EQ(AnsiString("X1"), first);
  EXPECT_EQ(AnsiString("R1.R"), rest);
}

TEST(ParseName, WithoutDotRestIsEmpty) {
  AnsiString first, rest("old");
  parse_name("R1", first, rest);
  EXPECT_EQ(AnsiString("R1"), first);
  EXPECT_EQ(AnsiString(""), rest);
}

TEST(ParseName, QuotedFirstPartMayHoldDots) {
  AnsiString first, rest;
  parse_name("\"a.b\".c", first, rest);
  EXPECT_EQ(AnsiString("a.b"), first);
  EXPECT_EQ(AnsiString("c"), rest);
  parse_name("\"a.b\"", first, rest);
  EXPECT_EQ(AnsiString("a.b"), first);
  EXPECT_EQ(AnsiString(""), rest);
}

TEST(ParseName, UnclosedQuoteLeavesBothEmpty) {
  AnsiString first("old"), rest("old");
  parse_name("\"a.b", first, rest);
  EXPECT_EQ(AnsiString(""), first);
  EXPECT_EQ(AnsiString(""), rest);
}

// --- find_equal_sign.

TEST(FindEqualSign, OperatorCodes) {
  const struct {
    const char* text;
    int code;
  } cases[] = {{"a=1", 20},  {"a|=1", 17}, {"a^=1", 18},  {"a&=1", 19},
               {"a>>=1", 26}, {"a<<=1", 27}, {"a+=1", 28}, {"a-=1", 29},
               {"a*=1", 30},  {"a/=1", 31},  {"a%=1", 32}};
  for (const auto& c : cases) {
    const Assignment a = Split(c.text);
    EXPECT_EQ(c.code, a.code) << c.text;
    EXPECT_EQ("a", a.name) << c.text;
    EXPECT_EQ("1", a.value) << c.text;
    EXPECT_EQ("", a.index) << c.text;
  }
}

TEST(FindEqualSign, ComparisonsAreNotAssignmentsAndLeaveNameWhole) {
  for (const char* text : {"a==b", "a!=b", "a<=b", "a>=b", "=1", "a"}) {
    const Assignment a = Split(text);
    EXPECT_EQ(0, a.code) << text;
    EXPECT_EQ(text, a.name) << text;
    EXPECT_EQ("", a.value) << text;
    EXPECT_EQ("", a.index) << text;
  }
}

TEST(FindEqualSign, NameAndValueAreTrimmed) {
  const Assignment a = Split("  x  <<=  y + 1  ");
  EXPECT_EQ(27, a.code);
  EXPECT_EQ("x", a.name);
  EXPECT_EQ("y + 1", a.value);
}

TEST(FindEqualSign, EmptyBracketsGiveIndexMinus100) {
  const Assignment a = Split("x[] += 3");
  EXPECT_EQ(28, a.code);
  EXPECT_EQ("x", a.name);
  EXPECT_EQ("-100", a.index);
  EXPECT_EQ("3", a.value);
}

TEST(FindEqualSign, BracketTextBecomesIndex) {
  const Assignment a = Split("v[i+1] = 2");
  EXPECT_EQ(20, a.code);
  EXPECT_EQ("v", a.name);
  EXPECT_EQ("i+1", a.index);
  EXPECT_EQ("2", a.value);
}

TEST(FindEqualSign, IndexIsSplitEvenWithoutEqualSign) {
  const Assignment a = Split("x[2]");
  EXPECT_EQ(0, a.code);
  EXPECT_EQ("x", a.name);
  EXPECT_EQ("2", a.index);
  EXPECT_EQ("", a.value);
}

TEST(FindEqualSign, ValueIsEverythingAfterFirstEqualSign) {
  const Assignment a = Split("s = \"a=b\" ");
  EXPECT_EQ(20, a.code);
  EXPECT_EQ("s", a.name);
  EXPECT_EQ("\"a=b\"", a.value);
}

TEST(FindEqualSign, QuoteRightAfterEqualSignForcesPlainAssignment) {
  const Assignment a = Split("t[1]+=\"x\"");
  EXPECT_EQ(20, a.code);
  EXPECT_EQ("\"x\"", a.value);
  EXPECT_EQ("", a.index);  // no index processing for a quoted value
}

// --- find_name.

TEST(FindName, DottedNameIsOneName) {
  int pos = 0;
  EXPECT_EQ(AnsiString("R1.R"), find_name("R1.R*2", 1, &pos));
  EXPECT_EQ(1, pos);
  EXPECT_EQ(AnsiString("_x1"), find_name("  _x1", 1, &pos));
  EXPECT_EQ(3, pos);
}

TEST(FindName, FunctionNamesAreSkipped) {
  int pos = 0;
  EXPECT_EQ(AnsiString("x"), find_name("sin(x)+y", 1, &pos));
  EXPECT_EQ(5, pos);
  // Only a "(" right after the name makes it a function name.
  EXPECT_EQ(AnsiString("f"), find_name("f (x)", 1, &pos));
  EXPECT_EQ(1, pos);
}

TEST(FindName, LettersInsideNumbersAreNotNames) {
  int pos = 0;
  EXPECT_EQ(AnsiString("R2"), find_name("10k*R2", 1, &pos));
  EXPECT_EQ(5, pos);
  EXPECT_EQ(AnsiString("a"), find_name("1e-3+a", 1, &pos));
  EXPECT_EQ(6, pos);
  EXPECT_EQ(AnsiString("b"), find_name(".5meg-b", 1, &pos));
  EXPECT_EQ(7, pos);
}

TEST(FindName, NothingFoundGivesEmptyAndPosFrom) {
  int pos = 0;
  EXPECT_EQ(AnsiString(""), find_name("2.5meg + 3", 2, &pos));
  EXPECT_EQ(2, pos);
  EXPECT_EQ(AnsiString(""), find_name("", 1, &pos));
  EXPECT_EQ(1, pos);
}

TEST(FindName, QuotedNameKeepsQuotesAndContinues) {
  int pos = 0;
  EXPECT_EQ(AnsiString("\"R 1\".R"), find_name("2*\"R 1\".R+1", 1, &pos));
  EXPECT_EQ(3, pos);
}

TEST(FindName, StartsAtFromAndEndOfTextEndsName) {
  int pos = 0;
  EXPECT_EQ(AnsiString("b"), find_name("a+b", 2, &pos));
  EXPECT_EQ(3, pos);
  EXPECT_EQ(AnsiString("abc"), find_name("abc", 1, &pos));
  EXPECT_EQ(1, pos);
}

// --- extract_cmd.

TEST(ExtractCmd, TrimsInPlaceAndReturnsFirstWord) {
  AnsiString s("  run  now ");
  EXPECT_EQ(AnsiString("run"), extract_cmd(s, false));
  EXPECT_EQ(AnsiString("run  now"), s);
}

TEST(ExtractCmd, WordEndsBeforeBlankEqualOrComma) {
  AnsiString a("set=5"), b("a,b"), c("=5"), d(",x");
  EXPECT_EQ(AnsiString("set"), extract_cmd(a, false));
  EXPECT_EQ(AnsiString("a"), extract_cmd(b, false));
  EXPECT_EQ(AnsiString(""), extract_cmd(c, false));
  EXPECT_EQ(AnsiString(""), extract_cmd(d, false));
}

TEST(ExtractCmd, QuotedWordWithoutFlag) {
  AnsiString a("\"my file\" x"), b("\"\" x"), c("\"open end");
  EXPECT_EQ(AnsiString("my file"), extract_cmd(a, false));
  EXPECT_EQ(AnsiString(""), extract_cmd(b, false));
  EXPECT_EQ(AnsiString("open end"), extract_cmd(c, false));
}

TEST(ExtractCmd, FlagTakesQuoteAsOrdinaryCharacter) {
  AnsiString s("\"my file\" x");
  EXPECT_EQ(AnsiString("\"my"), extract_cmd(s, true));
}

// --- parse_params.

TEST(ParseParams, EqualSignSplitsNameFromValue) {
  EXPECT_EQ((Strs{"R", "5"}), Params("R=5"));
  EXPECT_EQ((Strs{"R", "5", "C", "1u"}), Params("R=5, C=1u"));
}

TEST(ParseParams, EmptyTextGivesNoItems) {
  EXPECT_EQ(Strs{}, Params(""));
  EXPECT_EQ(Strs{}, Params("   "));
}

TEST(ParseParams, BlanksAndCommasBetweenItemsAreSkipped) {
  EXPECT_EQ((Strs{"a", "b", "c"}), Params(" a,, ,b,c "));
}

TEST(ParseParams, ParenthesesHideCommas) {
  EXPECT_EQ((Strs{"f(1,2)", "g"}), Params("f(1,2), g"));
}

TEST(ParseParams, AssignmentSplitsAtAnyDepth) {
  EXPECT_EQ((Strs{"f(a", "1)"}), Params("f(a=1)"));
}

TEST(ParseParams, ComparisonsStayInOneItem) {
  EXPECT_EQ((Strs{"a<=b", "c>=d", "e!=f", "g==h"}), Params("a<=b, c>=d, e!=f, g==h"));
}

TEST(ParseParams, QuotedItemLosesItsQuotes) {
  EXPECT_EQ((Strs{"x, y=1", "z"}), Params("\"x, y=1\",z"));
  EXPECT_EQ((Strs{""}), Params("\"\""));
  EXPECT_EQ((Strs{"open"}), Params("\"open"));
}

TEST(ParseParams, TabEndsItemOnlyAtDepthZero) {
  EXPECT_EQ((Strs{"a", "b"}), Params("a\tb"));
  EXPECT_EQ((Strs{"f(a\tb)"}), Params("f(a\tb)"));
}

TEST(ParseParams, BlanksInsideItemAreKept) {
  EXPECT_EQ((Strs{"x y", "1 + 2"}), Params("x y=1 + 2"));
}

TEST(ParseParams, BlanksBeforeSeparatorAreNotPartOfItem) {
  EXPECT_EQ((Strs{"R", "5"}), Params("R = 5"));
}

TEST(ParseParams, DepthDoesNotGoBelowZero) {
  EXPECT_EQ((Strs{"a)", "b"}), Params("a),b"));
}

// --- Small scanners.

TEST(SkipSpaces, FirstNonBlankInRange) {
  EXPECT_EQ(3, skip_spaces("  ab", 1, 4));
  EXPECT_EQ(1, skip_spaces("ab", 1, 2));
  EXPECT_EQ(2, skip_spaces(" \tx", 1, 3));  // only the space is a blank
}

TEST(SkipSpaces, AllBlanksGivesToPlusOne) {
  EXPECT_EQ(4, skip_spaces("   x", 1, 3));
}

TEST(SkipSpaces, EmptyRangeGivesFrom) {
  EXPECT_EQ(5, skip_spaces("      ", 5, 4));
}

TEST(RemoveCrLfTab, ReplacesEachByBlankKeepingLength) {
  AnsiString s("a\r\nb\tc");
  remove_cr_lf_tab(s);
  EXPECT_EQ(AnsiString("a  b c"), s);
}

TEST(GetLineNumber, CountsEveryLineWithTwoForItsBreak) {
  const AnsiString text("ab\r\ncd\r\nef");
  int line = -1;
  EXPECT_EQ(AnsiString("ab"), get_line_number(text, 1, &line));
  EXPECT_EQ(1, line);
  EXPECT_EQ(AnsiString("ab"), get_line_number(text, 4, &line));
  EXPECT_EQ(1, line);
  EXPECT_EQ(AnsiString("cd"), get_line_number(text, 5, &line));
  EXPECT_EQ(2, line);
  EXPECT_EQ(AnsiString("ef"), get_line_number(text, 12, &line));
  EXPECT_EQ(3, line);
}

TEST(GetLineNumber, PositionOutsideTextGivesNoLine) {
  const AnsiString text("ab\r\ncd");
  int line = -1;
  EXPECT_EQ(AnsiString(""), get_line_number(text, 0, &line));
  EXPECT_EQ(0, line);
  line = -1;
  EXPECT_EQ(AnsiString(""), get_line_number(text, 9, &line));
  EXPECT_EQ(0, line);
}
