// Splitting of names, assignments, parameter texts and lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/globals.h"

namespace {

using Strs = std::vector<std::string>;

// Outputs start as junk, so a split that leaves one unset shows.
template <class Split>
Strs Two(Split split, const AnsiString& s) {
  AnsiString a("junk"), b("junk");
  split(s, a, b);
  return {a.str(), b.str()};
}

// {code, name, value, index}
Strs Assign(const AnsiString& s) {
  AnsiString name("junk"), value("junk"), index("junk");
  const int code = find_equal_sign(s, name, value, index);
  return {std::to_string(code), name.str(), value.str(), index.str()};
}

std::string Cmd(AnsiString s, bool flag) { return extract_cmd(s, flag).str(); }

Strs Params(const AnsiString& s) {
  TStringList l;
  l.Add("stale");
  parse_params(s, l);
  Strs out;
  for (int i = 0; i < l.Count(); ++i) out.push_back(l[i].str());
  return out;
}

}  // namespace

TEST(ParseNameValue, SplitsAtFirstEqualSignAndTrimsElseBothEmpty) {
  EXPECT_EQ((Strs{"R", "10k"}), Two(parse_name_value, "  R = 10k "));
  EXPECT_EQ((Strs{"a", "b=c"}), Two(parse_name_value, "a=b=c"));
  EXPECT_EQ((Strs{"", ""}), Two(parse_name_value, "R 10k"));
}

TEST(ParseName, SplitsAtFirstDotOrAfterAQuotedFirstPart) {
  EXPECT_EQ((Strs{"R1", "R"}), Two(parse_name, "R1.R"));
  EXPECT_EQ((Strs{"X1", "R1.R"}), Two(parse_name, "X1.R1.R"));
  EXPECT_EQ((Strs{"R1", ""}), Two(parse_name, "R1"));
  EXPECT_EQ((Strs{"a.b", "c"}), Two(parse_name, "\"a.b\".c"));
  EXPECT_EQ((Strs{"a.b", ""}), Two(parse_name, "\"a.b\""));
  EXPECT_EQ((Strs{"", ""}), Two(parse_name, "\"a.b"));  // unclosed quote
}

TEST(FindEqualSign, ClassifiesTheOperatorAndSplitsNameValueAndIndex) {
  const struct { const char* in; Strs want; } rows[] = {
      {"a=1", {"20", "a", "1", ""}},
      {"a|=1", {"17", "a", "1", ""}},
      {"a^=1", {"18", "a", "1", ""}},
      {"a&=1", {"19", "a", "1", ""}},
      {"a>>=1", {"26", "a", "1", ""}},
      {"a<<=1", {"27", "a", "1", ""}},
      {"a+=1", {"28", "a", "1", ""}},
      {"a-=1", {"29", "a", "1", ""}},
      {"a*=1", {"30", "a", "1", ""}},
      {"a/=1", {"31", "a", "1", ""}},
      {"a%=1", {"32", "a", "1", ""}},
      // Comparisons are no assignment and leave the name whole.
      {"a==b", {"0", "a==b", "", ""}},
      {"a!=b", {"0", "a!=b", "", ""}},
      {"a<=b", {"0", "a<=b", "", ""}},
      {"a>=b", {"0", "a>=b", "", ""}},
      {"=1", {"0", "=1", "", ""}},
      {"a", {"0", "a", "", ""}},
      {"  x  <<=  y + 1  ", {"27", "x", "y + 1", ""}},
      {"x[] += 3", {"28", "x", "3", "-100"}},
      {"v[i+1] = 2", {"20", "v", "2", "i+1"}},
      {"x[2]", {"0", "x", "", "2"}},  // the index is split even without "="
      {"s = \"a=b\" ", {"20", "s", "\"a=b\"", ""}},
  };
  for (const auto& r : rows) EXPECT_EQ(r.want, Assign(r.in)) << "input: " << r.in;
}

TEST(FindEqualSign, QuoteRightAfterEqualSignForcesPlainAssignment) {
  const Strs a = Assign("t[1]+=\"x\"");
  EXPECT_EQ("20", a[0]);
  EXPECT_EQ("\"x\"", a[2]);
  EXPECT_EQ("", a[3]);  // no index processing for a quoted value
}

TEST(FindName, ReturnsTheNextNameThatIsNoFunctionNorNumber) {
  const struct { const char* s; int from; const char* name; int pos; } rows[] = {
      {"R1.R*2", 1, "R1.R", 1},  // a dotted name is one name
      {"  _x1", 1, "_x1", 3},
      {"sin(x)+y", 1, "x", 5},
      {"f (x)", 1, "f", 1},  // only a "(" right after the name makes a function
      {"10k*R2", 1, "R2", 5},
      {"1e-3+a", 1, "a", 6},
      {".5meg-b", 1, "b", 7},
      {"2.5meg + 3", 2, "", 2},  // nothing found: pos is from
      {"", 1, "", 1},
      {"2*\"R 1\".R+1", 1, "\"R 1\".R", 3},  // quotes kept, name continues
      {"a+b", 2, "b", 3},
      {"abc", 1, "abc", 1},  // the end of the text ends the name
  };
  for (const auto& r : rows) {
    int pos = -1;
    EXPECT_EQ(r.name, find_name(r.s, r.from, &pos).str()) << "input: " << r.s;
    EXPECT_EQ(r.pos, pos) << "input: " << r.s;
  }
}

TEST(ExtractCmd, TrimsInPlaceAndReturnsTheFirstWord) {
  AnsiString s("  run  now ");
  EXPECT_EQ("run", extract_cmd(s, false).str());
  EXPECT_EQ("run  now", s.str());
  EXPECT_EQ("set", Cmd("set=5", false));
  EXPECT_EQ("a", Cmd("a,b", false));
  EXPECT_EQ("", Cmd("=5", false));
  EXPECT_EQ("", Cmd(",x", false));
  EXPECT_EQ("my file", Cmd("\"my file\" x", false));
  EXPECT_EQ("", Cmd("\"\" x", false));
  EXPECT_EQ("open end", Cmd("\"open end", false));
  EXPECT_EQ("\"my", Cmd("\"my file\" x", true));  // with the flag a quote is ordinary
}

TEST(ParseParams, SplitsAtCommasTabsAndSingleEqualSigns) {
  EXPECT_EQ((Strs{"R", "5"}), Params("R=5"));
  EXPECT_EQ((Strs{"R", "5", "C", "1u"}), Params("R=5, C=1u"));
  EXPECT_EQ(Strs{}, Params(""));
  EXPECT_EQ(Strs{}, Params("   "));
  EXPECT_EQ((Strs{"a", "b", "c"}), Params(" a,, ,b,c "));
  EXPECT_EQ((Strs{"f(1,2)", "g"}), Params("f(1,2), g"));
  EXPECT_EQ((Strs{"f(a", "1)"}), Params("f(a=1)"));  // "=" splits at any depth
  EXPECT_EQ((Strs{"a<=b", "c>=d", "e!=f", "g==h"}), Params("a<=b, c>=d, e!=f, g==h"));
  EXPECT_EQ((Strs{"x, y=1", "z"}), Params("\"x, y=1\",z"));
  EXPECT_EQ((Strs{""}), Params("\"\""));
  EXPECT_EQ((Strs{"open"}), Params("\"open"));
  EXPECT_EQ((Strs{"a", "b"}), Params("a\tb"));
  EXPECT_EQ((Strs{"f(a\tb)"}), Params("f(a\tb)"));  // TAB ends an item at depth 0 only
  EXPECT_EQ((Strs{"x y", "1 + 2"}), Params("x y=1 + 2"));
  EXPECT_EQ((Strs{"R", "5"}), Params("R = 5"));
  EXPECT_EQ((Strs{"a)", "b"}), Params("a),b"));  // the depth does not go below 0
}

TEST(SkipSpaces, FirstNonBlankInRangeElseToPlusOneOrFrom) {
  EXPECT_EQ(3, skip_spaces("  ab", 1, 4));
  EXPECT_EQ(1, skip_spaces("ab", 1, 2));
  EXPECT_EQ(2, skip_spaces(" \tx", 1, 3));  // only the space is a blank
  EXPECT_EQ(4, skip_spaces("   x", 1, 3));
  EXPECT_EQ(5, skip_spaces("      ", 5, 4));  // empty range
}

TEST(RemoveCrLfTab, ReplacesEachByBlankKeepingLength) {
  AnsiString s("a\r\nb\tc");
  remove_cr_lf_tab(s);
  EXPECT_EQ("a  b c", s.str());
}

// Every line counts its length plus 2 for its CR LF.
TEST(GetLineNumber, GivesTheLineHoldingPosOrNone) {
  const struct { const char* text; int pos; const char* want; int line; } rows[] = {
      {"ab\r\ncd\r\nef", 1, "ab", 1},
      {"ab\r\ncd\r\nef", 4, "ab", 1},
      {"ab\r\ncd\r\nef", 5, "cd", 2},
      {"ab\r\ncd\r\nef", 12, "ef", 3},
      {"ab\r\ncd", 0, "", 0},
      {"ab\r\ncd", 9, "", 0},
  };
  for (const auto& r : rows) {
    int line = -1;
    EXPECT_EQ(r.want, get_line_number(r.text, r.pos, &line).str()) << "pos " << r.pos;
    EXPECT_EQ(r.line, line) << "pos " << r.pos;
  }
}
