#include "base/Lists.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "TestData.h"
#include "base/globals.h"

namespace {

std::string Scratch(const std::string& name) { return ScratchDir() + name; }

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f) << path;
  ASSERT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), f));
  ASSERT_EQ(0, std::fclose(f));
}

std::string ReadBytes(const std::string& path) {
  std::string out;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return "<cannot open>";
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  std::fclose(f);
  return out;
}

TStringList Items(std::initializer_list<const char*> items) {
  TStringList l;
  for (const char* s : items) l.Add(s);
  return l;
}

// Loads a file written with exactly these bytes into a fresh list.
TStringList LoadBytes(const std::string& name, const std::string& bytes) {
  const std::string path = Scratch(name);
  WriteBytes(path, bytes);
  TStringList l;
  EXPECT_TRUE(LoadFromFile(l, path.c_str()));
  return l;
}

}  // namespace

// --- TList: borrowed pointers, 0-based.

TEST(TList, AddReturnsNewIndexAndKeepsOrder) {
  int a = 1, b = 2, c = 3;
  TList l;
  EXPECT_EQ(0, l.Add(&a));
  EXPECT_EQ(1, l.Add(&b));
  l.Insert(1, &c);
  ASSERT_EQ(3, l.Count());
  EXPECT_EQ(&a, l.Items(0));
  EXPECT_EQ(&c, l.Items(1));
  EXPECT_EQ(&b, l.Items(2));
}

TEST(TList, DeleteAndExchangeMoveItems) {
  int a = 1, b = 2, c = 3;
  TList l;
  l.Add(&a);
  l.Add(&b);
  l.Add(&c);
  l.Exchange(0, 2);
  EXPECT_EQ(&c, l.Items(0));
  EXPECT_EQ(&a, l.Items(2));
  l.Delete(0);
  ASSERT_EQ(2, l.Count());
  EXPECT_EQ(&b, l.Items(0));
  EXPECT_EQ(&a, l.Items(1));
}

TEST(TList, FindGivesFirstIndexOrMinusOne) {
  int a = 1, b = 2, x = 0;
  TList l;
  l.Add(&a);
  l.Add(&b);
  l.Add(&a);
  EXPECT_EQ(0, l.Find(&a));
  EXPECT_EQ(1, l.IndexOf(&b));
  EXPECT_EQ(-1, l.Find(&x));
}

TEST(TList, RemoveDeletesFirstMatchAndReportsIndex) {
  int a = 1, b = 2, x = 0;
  TList l;
  l.Add(&b);
  l.Add(&a);
  l.Add(&a);
  EXPECT_EQ(1, l.Remove(&a));
  EXPECT_EQ(2, l.Count());
  EXPECT_EQ(-1, l.Remove(&x));
  EXPECT_EQ(2, l.Count());
}

TEST(TList, LastIsNullWhenEmpty) {
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
  l.Add("d");
  ASSERT_EQ(4, l.Count());
  EXPECT_EQ(AnsiString("a,b,c,d"), l.CommaText());
  l.Delete(0);
  l.Exchange(0, 2);
  EXPECT_EQ(AnsiString("d,c,b"), l.CommaText());
}

TEST(TStringList, AddStoresACopy) {
  AnsiString s("x");
  TStringList l;
  l.Add(s);
  s[1] = 'y';
  EXPECT_EQ(AnsiString("x"), l[0]);
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
  EXPECT_EQ(AnsiString("first"), first);
  first += "!";
  EXPECT_EQ(AnsiString("first!"), l[1]);
}

TEST(TStringList, CopyIsDeep) {
  TStringList a = Items({"x", "y"});
  TStringList b = a;
  b[0] = "changed";
  b.Add("z");
  EXPECT_EQ(AnsiString("x,y"), a.CommaText());
  EXPECT_EQ(AnsiString("changed,y,z"), b.CommaText());
}

// --- Joining.

TEST(StringListJoin, TextEndsEveryItemWithLineFeed) {
  EXPECT_EQ(AnsiString("a\nb\n\n"), Items({"a", "b", ""}).Text());
  EXPECT_EQ(AnsiString(""), TStringList().Text());
  EXPECT_EQ(AnsiString("a\nb\n"), GetStringListText(Items({"a", "b"})));
}

TEST(StringListJoin, CommaTextJoinsWithoutQuoting) {
  const TStringList l = Items({"a,b", "c"});
  EXPECT_EQ(AnsiString("a,b,c"), l.CommaText());
  EXPECT_EQ(AnsiString("a,b,c"), GetStringListCommaText(l));
  EXPECT_EQ(AnsiString("x y,\"q\""), Items({"x y", "\"q\""}).CommaText());
  EXPECT_EQ(AnsiString(""), TStringList().CommaText());
}

TEST(StringListJoin, CommaTextSplitsBackIntoThree) {
  TStringList l;
  SetStringListCommaText(l, Items({"a,b", "c"}).CommaText());
  ASSERT_EQ(3, l.Count());
  EXPECT_EQ(AnsiString("a"), l[0]);
  EXPECT_EQ(AnsiString("b"), l[1]);
  EXPECT_EQ(AnsiString("c"), l[2]);
}

TEST(StringListJoin, DelimitedTextEndsEveryItemExceptAfterComma) {
  const TStringList l = Items({"a", "b"});
  EXPECT_EQ(AnsiString("a;b;"), l.DelimitedText(';'));
  EXPECT_EQ(AnsiString("a,b"), l.DelimitedText(','));
}

// --- Splitting (_SetText).

TEST(StringListSplit, TextWithoutDelimiterIsOneItem) {
  TStringList l;
  SetStringListText(l, "one line\n");
  ASSERT_EQ(1, l.Count());
  EXPECT_EQ(AnsiString("one line\n"), l[0]);
}

TEST(StringListSplit, EmptyTextGivesNoItemsAndClears) {
  TStringList l = Items({"old"});
  SetStringListText(l, "");
  EXPECT_EQ(0, l.Count());
}

TEST(StringListSplit, CrLfSeparatesAndFinalCrLfAddsEmptyItem) {
  TStringList l = Items({"old"});
  SetStringListText(l, "a\r\nb\r\n");
  ASSERT_EQ(3, l.Count());
  EXPECT_EQ(AnsiString("a"), l[0]);
  EXPECT_EQ(AnsiString("b"), l[1]);
  EXPECT_EQ(AnsiString(""), l[2]);
}

TEST(StringListSplit, ByteAfterCrIsSkippedWhateverItIs) {
  TStringList l;
  SetStringListText(l, "a\rXb\rYc");
  ASSERT_EQ(3, l.Count());
  EXPECT_EQ(AnsiString("a"), l[0]);
  EXPECT_EQ(AnsiString("b"), l[1]);
  EXPECT_EQ(AnsiString("c"), l[2]);
}

TEST(StringListSplit, LoneFinalCrAddsNoEmptyItem) {
  TStringList l;
  SetStringListText(l, "a\r\nb\r");
  ASSERT_EQ(2, l.Count());
  EXPECT_EQ(AnsiString("a"), l[0]);
  EXPECT_EQ(AnsiString("b"), l[1]);
  SetStringListText(l, "\r");
  ASSERT_EQ(1, l.Count());
  EXPECT_EQ(AnsiString(""), l[0]);
}

TEST(StringListSplit, CrLfAloneGivesTwoEmptyItems) {
  TStringList l;
  SetStringListText(l, "\r\n");
  ASSERT_EQ(2, l.Count());
  EXPECT_EQ(AnsiString(""), l[0]);
  EXPECT_EQ(AnsiString(""), l[1]);
}

TEST(StringListSplit, OtherDelimiterStepsByOne) {
  TStringList l;
  SetStringListCommaText(l, ",a,,b,");
  ASSERT_EQ(5, l.Count());
  EXPECT_EQ(AnsiString(""), l[0]);
  EXPECT_EQ(AnsiString("a"), l[1]);
  EXPECT_EQ(AnsiString(""), l[2]);
  EXPECT_EQ(AnsiString("b"), l[3]);
  EXPECT_EQ(AnsiString(""), l[4]);
  l._SetText("x;y", ';');
  ASSERT_EQ(2, l.Count());
  EXPECT_EQ(AnsiString("y"), l[1]);
}

TEST(StringListSplit, OwnItemCanBeSplit) {
  TStringList l = Items({"p,q"});
  SetStringListCommaText(l, l[0]);
  ASSERT_EQ(2, l.Count());
  EXPECT_EQ(AnsiString("p"), l[0]);
  EXPECT_EQ(AnsiString("q"), l[1]);
}

// --- Files.

TEST(StringListSave, WritesEveryItemWithLineFeed) {
  const std::string path = Scratch("save.txt");
  ASSERT_TRUE(Items({"a", "", "b c"}).SaveToFile(path.c_str()));
  EXPECT_EQ("a\n\nb c\n", ReadBytes(path));
}

TEST(StringListSave, EmptyListWritesEmptyFile) {
  const std::string path = Scratch("save_empty.txt");
  WriteBytes(path, "old content");
  ASSERT_TRUE(TStringList().SaveToFile(path.c_str()));
  EXPECT_EQ("", ReadBytes(path));
}

TEST(StringListSave, UnopenablePathFails) {
  EXPECT_FALSE(Items({"a"}).SaveToFile((Scratch("no_such_dir") + "/f.txt").c_str()));
}

TEST(StringListLoad, EmptyPathFailsWithNoFileName) {
  m_global_errstr = "";
  TStringList l;
  EXPECT_FALSE(LoadFromFile(l, ""));
  EXPECT_EQ(AnsiString("No file name"), m_global_errstr);
}

TEST(StringListLoad, MissingFileFailsWithCannotOpen) {
  m_global_errstr = "";
  TStringList l;
  EXPECT_FALSE(LoadFromFile(l, Scratch("missing.txt").c_str()));
  EXPECT_EQ(AnsiString("Cannot open file"), m_global_errstr);
}

TEST(StringListLoad, LinesLoseTheirLineFeedOnly) {
  const TStringList l = LoadBytes("lf.txt", "a\nbb\n\nc");
  ASSERT_EQ(4, l.Count());
  EXPECT_EQ(AnsiString("a"), l[0]);
  EXPECT_EQ(AnsiString("bb"), l[1]);
  EXPECT_EQ(AnsiString(""), l[2]);
  EXPECT_EQ(AnsiString("c"), l[3]);  // a last line without break is kept
}

TEST(StringListLoad, FinalLineFeedAddsNoEmptyLine) {
  const TStringList l = LoadBytes("lf_end.txt", "a\nb\n");
  EXPECT_EQ(2, l.Count());
}

TEST(StringListLoad, CrLfLineKeepsItsCr) {
  const TStringList l = LoadBytes("crlf.txt", "a\r\nb\r\n");
  ASSERT_EQ(2, l.Count());
  EXPECT_EQ(AnsiString("a\r"), l[0]);
  EXPECT_EQ(AnsiString("b\r"), l[1]);
}

TEST(StringListLoad, AppendsAfterExistingItems) {
  const std::string path = Scratch("append.txt");
  WriteBytes(path, "x\ny\n");
  TStringList l = Items({"keep"});
  ASSERT_TRUE(LoadFromFile(l, path.c_str()));
  EXPECT_EQ(AnsiString("keep,x,y"), l.CommaText());
}

TEST(StringListLoad, SaveThenLoadGivesTheSameItems) {
  const std::string path = Scratch("roundtrip.txt");
  const TStringList a = Items({"first", "", "x=1, y=2", "last"});
  ASSERT_TRUE(a.SaveToFile(path.c_str()));
  TStringList b;
  ASSERT_TRUE(LoadFromFile(b, path.c_str()));
  EXPECT_EQ(a.Text(), b.Text());
}

// One read takes at most 32768 characters; a line longer than that is
// assembled from several reads.
TEST(StringListLoadLongLines, LineLongerThanOneReadComesBackWhole) {
  const std::string big(100000, 'q');
  const TStringList l = LoadBytes("long.txt", "a\n" + big + "\nb\n");
  ASSERT_EQ(3, l.Count());
  EXPECT_EQ(AnsiString("a"), l[0]);
  EXPECT_EQ(big, l[1].str());
  EXPECT_EQ(AnsiString("b"), l[2]);
}

TEST(StringListLoadLongLines, LongCrLfLineKeepsCrFromItsLastShortRead) {
  // 40000 characters: a full read, then 7232 characters, CR and LF; the
  // short read loses only its LF.
  const std::string big(40000, 'r');
  const TStringList l = LoadBytes("long_crlf.txt", big + "\r\nz\r\n");
  ASSERT_EQ(2, l.Count());
  EXPECT_EQ(big + "\r", l[0].str());
  EXPECT_EQ(AnsiString("z\r"), l[1]);
}

TEST(StringListLoadLongLines, FullReadEndingInCrLfLosesBoth) {
  // 32766 characters + CR + LF fill one read exactly: as a full read, every
  // line-break character at its end is removed, the CR too.
  const std::string big(32766, 's');
  const TStringList l = LoadBytes("full_crlf.txt", big + "\r\nt\n");
  ASSERT_EQ(2, l.Count());
  EXPECT_EQ(big, l[0].str());
  EXPECT_EQ(AnsiString("t"), l[1]);
}

TEST(StringListLoadLongLines, LineBreakAsLastCharacterOfFullReadEndsLine) {
  const std::string big(32767, 'u');
  const TStringList l = LoadBytes("full_lf.txt", big + "\nv\n");
  ASSERT_EQ(2, l.Count());
  EXPECT_EQ(big, l[0].str());
  EXPECT_EQ(AnsiString("v"), l[1]);
}

TEST(StringListLoadLongLines, LineOfExactlyOneReadEndsAtTheNextRead) {
  // The read after 32768 characters is the LF alone: it closes the line
  // without adding characters or an extra empty line.
  const std::string big(32768, 'w');
  const TStringList l = LoadBytes("one_read.txt", big + "\nx\n");
  ASSERT_EQ(2, l.Count());
  EXPECT_EQ(big, l[0].str());
  EXPECT_EQ(AnsiString("x"), l[1]);
}

TEST(StringListLoadLongLines, LongLastLineWithoutBreakIsKept) {
  const std::string big(2 * 32768, 'y');
  const TStringList l = LoadBytes("long_last.txt", "a\n" + big);
  ASSERT_EQ(2, l.Count());
  EXPECT_EQ(big, l[1].str());
}

TEST(FileExists, FilesAndFoldersExistMissingNamesDoNot) {
  const std::string path = Scratch("exists.txt");
  WriteBytes(path, "x");
  EXPECT_TRUE(FileExists(path.c_str()));
  EXPECT_TRUE(FileExists(ScratchDir().c_str()));
  EXPECT_FALSE(FileExists(Scratch("not_there.txt").c_str()));
}

// --- Geometry and colour records.

TEST(Geometry, PointAndRectStartAtZero) {
  const TPoint p;
  EXPECT_EQ(0, p.x);
  EXPECT_EQ(0, p.y);
  const TRect r;
  EXPECT_EQ(TRect(0, 0, 0, 0), r);
}

TEST(Colour, RgbIsLaidOutAs00BBGGRR) {
  EXPECT_EQ(0x00563412, RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(0x000000FF, RGB(255, 0, 0));
  EXPECT_EQ(0x00FF0000, RGB(0, 0, 255));
}

TEST(Colour, ComponentsComeBackFromTheirBytes) {
  const int c = RGB(200, 100, 50);
  EXPECT_EQ(200, GetRValue(c));
  EXPECT_EQ(100, GetGValue(c));
  EXPECT_EQ(50, GetBValue(c));
  EXPECT_EQ(0x12, GetRValue(0x00563412));
  EXPECT_EQ(0x34, GetGValue(0x00563412));
  EXPECT_EQ(0x56, GetBValue(0x00563412));
}
