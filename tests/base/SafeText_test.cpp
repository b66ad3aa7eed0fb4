// Escaping of free text stored as attribute values.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/globals.h"

namespace {

bool IsSafeChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string("!'()*-._~+%").find(c) != std::string::npos;
}

}  // namespace

TEST(StrToSafe, BlankAndSlashExample) {
  EXPECT_EQ(AnsiString("a+b%2fc"), StrToSafe("a b/c"));
}

TEST(StrToSafe, LettersDigitsAndMarksStay) {
  const AnsiString kept("azAZ09!'()*-._~");
  EXPECT_EQ(kept, StrToSafe(kept));
}

TEST(StrToSafe, OtherBytesBecomeLowerCaseHex) {
  EXPECT_EQ(AnsiString("%2b%25%3d%22%0a%0d%09"), StrToSafe("+%=\"\n\r\t"));
  EXPECT_EQ(AnsiString("%80%e9%ff"), StrToSafe("\x80\xe9\xff"));
}

TEST(StrToSafe, ZeroByteIsEscaped) {
  EXPECT_EQ(AnsiString("a%00b"), StrToSafe(AnsiString(std::string("a\0b", 3))));
}

TEST(StrToSafe, OutputUsesOnlySafeCharacters) {
  for (int b = 1; b < 256; ++b) {
    const AnsiString out = StrToSafe(AnsiString(static_cast<char>(b)));
    for (char c : out.str()) EXPECT_TRUE(IsSafeChar(c)) << "byte " << b;
    EXPECT_TRUE(out.Length() == 1 || out.Length() == 3) << "byte " << b;
  }
}

TEST(StrFromSafe, DecodesPlusAndHexOfEitherCase) {
  EXPECT_EQ(AnsiString("a b/c/"), StrFromSafe("a+b%2fc%2F"));
}

TEST(StrFromSafe, PercentWithoutTwoHexDigitsStays) {
  EXPECT_EQ(AnsiString("%zz%4"), StrFromSafe("%zz%4"));
  EXPECT_EQ(AnsiString("100%"), StrFromSafe("100%"));
}

TEST(SafeRoundTrip, EveryNonZeroByteComesBack) {
  std::string all;
  for (int b = 1; b < 256; ++b) {
    const AnsiString one(static_cast<char>(b));
    EXPECT_EQ(one, StrFromSafe(StrToSafe(one))) << "byte " << b;
    all += static_cast<char>(b);
  }
  EXPECT_EQ(AnsiString(all), StrFromSafe(StrToSafe(all)));
}

TEST(SafeRoundTrip, RandomByteStringsComeBack) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(1, 255), len(0, 64);
  for (int i = 0; i < 500; ++i) {
    std::string s(static_cast<std::size_t>(len(rng)), ' ');
    for (char& c : s) c = static_cast<char>(byte(rng));
    EXPECT_EQ(AnsiString(s), StrFromSafe(StrToSafe(s)));
  }
}
