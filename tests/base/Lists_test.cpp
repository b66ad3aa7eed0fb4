#include "base/Lists.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestData.h"
#include "base/globals.h"

namespace {

using Strs = std::vector<std::string>;
using Ptrs = std::vector<void*>;

std::string Scratch(const std::string& name) { return ScratchDir() + name; }

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  ASSERT_TRUE(out << bytes << std::flush) << path;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TStringList Items(std::initializer_list<const char*> items) {
  TStringList l;
  for (const char* s : items) l.Add(s);
  return l;
}

Strs Of(const TStringList& l) {
  Strs out;
  for (int i = 0; i < l.Count(); ++i) out.push_back(l[i].str());
  return out;
}

Ptrs Of(const TList& l) {
  Ptrs out;
  for (int i = 0; i < l.Count(); ++i) out.push_back(l.Items(i));
  return out;
}

}  // namespace

// --- TList: borrowed pointers, 0-based.

TEST(TList, AddInsertExchangeAndDeleteMoveItems) {
  int a = 1, b = 2, c = 3;
  TList l;
  EXPECT_EQ(0, l.Add(&a));
  EXPECT_EQ(1, l.Add(&b));
  l.Insert(1, &c);
  EXPECT_EQ((Ptrs{&a, &c, &b}), Of(l));
  l.Exchange(0, 2);
  EXPECT_EQ((Ptrs{&b, &c, &a}), Of(l));
  l.Delete(0);
  EXPECT_EQ((Ptrs{&c, &a}), Of(l));
}

TEST(TList, FindAndRemoveUseTheFirstMatchOrMinusOne) {
  int a = 1, b = 2, x = 0;
  TList l;
  l.Add(&b);
  l.Add(&a);
  l.Add(&a);
  EXPECT_EQ(1, l.Find(&a));
  EXPECT_EQ(0, l.IndexOf(&b));
  EXPECT_EQ(-1, l.Find(&x));
  EXPECT_EQ(1, l.Remove(&a));
  EXPECT_EQ((Ptrs{&b, &a}), Of(l));
  EXPECT_EQ(-1, l.Remove(&x));
  EXPECT_EQ(2, l.Count());
}

TEST(TList, LastIsNullWhenEmptyAndClearFreesNoItem) {
  int a = 1;
  TList l;
  EXPECT_EQ(nullptr, l.Last());
  l.Add(&a);
  EXPECT_EQ(&a, l.Last());
  l.Clear();
  EXPECT_EQ(0, l.Count());
  EXPECT_EQ(nullptr, l.Last());
  EXPECT_EQ(1, a);  // the list never owned it
}

// --- TStringList: owned strings.

TEST(TStringList, AddInsertDeleteExchangeKeepOrder) {
  TStringList l = Items({"a", "c"});
  l.Insert(1, "b");
  EXPECT_EQ(3, l.Add("d"));
  EXPECT_EQ((Strs{"a", "b", "c", "d"}), Of(l));
  l.Delete(0);
  l.Exchange(0, 2);
  EXPECT_EQ((Strs{"d", "c", "b"}), Of(l));
}

TEST(TStringList, ItemsAreCopiesAndCopiesAreDeep) {
  AnsiString s("x");
  TStringList a;
  a.Add(s);
  s[1] = 'z';
  a.Add("y");
  TStringList b = a;
  b[0] = "changed";
  b.Add("z");
  EXPECT_EQ((Strs{"x", "y"}), Of(a));
  EXPECT_EQ((Strs{"changed", "y", "z"}), Of(b));
}

TEST(TStringList, IndexOfIsByteExactAndCaseSensitive) {
  const TStringList l = Items({"R1", "r1", "R1 "});
  EXPECT_EQ(0, l.IndexOf("R1"));
  EXPECT_EQ(1, l.IndexOf("r1"));
  EXPECT_EQ(2, l.IndexOf("R1 "));
  EXPECT_EQ(-1, l.IndexOf("R"));
}

TEST(TStringList, ItemReferenceSurvivesGrowth) {
  TStringList l;
  l.Add("first");
  AnsiString& first = l[0];
  for (int i = 0; i < 1000; ++i) l.Add("more");
  l.Insert(0, "front");
  EXPECT_EQ("first", first.str());
  first += "!";
  EXPECT_EQ("first!", l[1].str());
}

// --- Joining and splitting.

TEST(StringListJoin, TextEndsEveryItemCommaTextQuotesNothing) {
  EXPECT_EQ("a\nb\n\n", Items({"a", "b", ""}).Text().str());
  EXPECT_EQ("", TStringList().Text().str());
  EXPECT_EQ("a\nb\n", GetStringListText(Items({"a", "b"})).str());
  EXPECT_EQ("a,b,c", Items({"a,b", "c"}).CommaText().str());
  EXPECT_EQ("a,b,c", GetStringListCommaText(Items({"a,b", "c"})).str());
  EXPECT_EQ("x y,\"q\"", Items({"x y", "\"q\""}).CommaText().str());
  EXPECT_EQ("", TStringList().CommaText().str());
  EXPECT_EQ("a;b;", Items({"a", "b"}).DelimitedText(';').str());
  EXPECT_EQ("a,b", Items({"a", "b"}).DelimitedText(',').str());
}

// After a CR the split steps over two bytes, so CR LF separates items; text
// ending exactly after a delimiter gives a last empty item, a lone final CR
// does not.
TEST(StringListSplit, SplitsAtTheDelimiterAndClearsFirst) {
  const struct { const char* text; char c; Strs want; } rows[] = {
      {"one line\n", '\r', {"one line\n"}},
      {"", '\r', {}},
      {"a\r\nb\r\n", '\r', {"a", "b", ""}},
      {"a\rXb\rYc", '\r', {"a", "b", "c"}},
      {"a\r\nb\r", '\r', {"a", "b"}},
      {"\r", '\r', {""}},
      {"\r\n", '\r', {"", ""}},
      {",a,,b,", ',', {"", "a", "", "b", ""}},
      {"a,b,c", ',', {"a", "b", "c"}},
      {"x;y", ';', {"x", "y"}},
  };
  for (const auto& r : rows) {
    TStringList l = Items({"old"});
    if (r.c == '\r') SetStringListText(l, r.text);
    else if (r.c == ',') SetStringListCommaText(l, r.text);
    else l._SetText(r.text, r.c);
    EXPECT_EQ(r.want, Of(l)) << "input: " << r.text;
  }
  TStringList own = Items({"p,q"});
  SetStringListCommaText(own, own[0]);  // splitting its own item
  EXPECT_EQ((Strs{"p", "q"}), Of(own));
}

// --- Files.

TEST(StringListFile, SaveWritesEveryItemWithLineFeedOrFails) {
  const std::string path = Scratch("save.txt");
  ASSERT_TRUE(Items({"a", "", "b c"}).SaveToFile(path.c_str()));
  EXPECT_EQ("a\n\nb c\n", ReadBytes(path));
  ASSERT_TRUE(TStringList().SaveToFile(path.c_str()));
  EXPECT_EQ("", ReadBytes(path));
  EXPECT_FALSE(Items({"a"}).SaveToFile((Scratch("no_such_dir") + "/f.txt").c_str()));
}

TEST(StringListFile, LoadFailsWithReason) {
  TStringList l;
  m_global_errstr = "";
  EXPECT_FALSE(LoadFromFile(l, ""));
  EXPECT_EQ("No file name", m_global_errstr.str());
  m_global_errstr = "";
  EXPECT_FALSE(LoadFromFile(l, Scratch("missing.txt").c_str()));
  EXPECT_EQ("Cannot open file", m_global_errstr.str());
}

// One read takes at most 32768 characters; a read of 32767 or fewer ends a
// line and loses one final CR or LF, a longer one loses all of them.
TEST(StringListFile, LoadSplitsLinesAndAssemblesLongOnes) {
  const std::string q(100000, 'q'), r(40000, 'r'), s(32766, 's'), u(32767, 'u'), w(32768, 'w'),
      y(2 * 32768, 'y');
  const struct { const char* what; std::string bytes; Strs want; } rows[] = {
      {"LF lines, last without break", "a\nbb\n\nc", {"a", "bb", "", "c"}},
      {"final LF adds no empty line", "a\nb\n", {"a", "b"}},
      {"CR LF line keeps its CR", "a\r\nb\r\n", {"a\r", "b\r"}},
      {"long line comes back whole", "a\n" + q + "\nb\n", {"a", q, "b"}},
      // A full read, then 7232 characters, CR and LF: the short read loses
      // only its LF.
      {"long CR LF line", r + "\r\nz\r\n", {r + "\r", "z\r"}},
      // CR and LF fill one read exactly: a full read loses the CR too.
      {"full read ending in CR LF", s + "\r\nt\n", {s, "t"}},
      {"LF last in a full read", u + "\nv\n", {u, "v"}},
      // The next read is the LF alone: it closes the line, adding nothing.
      {"line of exactly one read", w + "\nx\n", {w, "x"}},
      {"long last line without break", "a\n" + y, {"a", y}},
  };
  const std::string path = Scratch("load.txt");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    WriteBytes(path, row.bytes);
    TStringList l;
    ASSERT_TRUE(LoadFromFile(l, path.c_str()));
    EXPECT_EQ(row.want, Of(l));
  }
}

TEST(StringListFile, LoadAppendsAndReadsBackWhatSaveWrote) {
  const std::string path = Scratch("roundtrip.txt");
  const TStringList saved = Items({"first", "", "x=1, y=2", "last"});
  ASSERT_TRUE(saved.SaveToFile(path.c_str()));
  TStringList l = Items({"keep"});
  ASSERT_TRUE(LoadFromFile(l, path.c_str()));
  EXPECT_EQ((Strs{"keep", "first", "", "x=1, y=2", "last"}), Of(l));
}

TEST(FileExists, FilesAndFoldersExistMissingNamesDoNot) {
  const std::string path = Scratch("exists.txt");
  WriteBytes(path, "x");
  EXPECT_TRUE(FileExists(path.c_str()));
  EXPECT_TRUE(FileExists(ScratchDir().c_str()));
  EXPECT_FALSE(FileExists(Scratch("not_there.txt").c_str()));
}

// --- Geometry and colour records; colours are 0x00BBGGRR.

TEST(Geometry, PointAndRectStartAtZero) {
  const TPoint p;
  EXPECT_EQ(0, p.x);
  EXPECT_EQ(0, p.y);
  EXPECT_EQ(TRect(0, 0, 0, 0), TRect());
}

TEST(Colour, RgbPacksAndGettersUnpackTheBytes) {
  EXPECT_EQ(0x00563412, RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(0x000000FF, RGB(255, 0, 0));
  EXPECT_EQ(0x00FF0000, RGB(0, 0, 255));
  EXPECT_EQ(0x12, GetRValue(0x00563412));
  EXPECT_EQ(0x34, GetGValue(0x00563412));
  EXPECT_EQ(0x56, GetBValue(0x00563412));
  EXPECT_EQ(200, GetRValue(RGB(200, 100, 50)));  // above 127: the mask keeps all 8 bits
  EXPECT_EQ(100, GetGValue(RGB(200, 100, 50)));
  EXPECT_EQ(50, GetBValue(RGB(200, 100, 50)));
}
