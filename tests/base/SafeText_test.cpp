// Escaping of free text stored as attribute values.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/globals.h"

TEST(SafeText, ToSafeKeepsLettersDigitsAndMarksAndEscapesTheRest) {
  EXPECT_EQ("a+b%2fc", StrToSafe("a b/c").str());
  EXPECT_EQ("azAZ09!'()*-._~", StrToSafe("azAZ09!'()*-._~").str());
  EXPECT_EQ("%2b%25%3d%22%0a%0d%09", StrToSafe("+%=\"\n\r\t").str());  // lower-case hex
  EXPECT_EQ("%80%e9%ff", StrToSafe("\x80\xe9\xff").str());
  EXPECT_EQ("a%00b", StrToSafe(AnsiString(std::string("a\0b", 3))).str());
}

TEST(SafeText, FromSafeDecodesPlusAndHexOfEitherCaseOnly) {
  EXPECT_EQ("a b/c/", StrFromSafe("a+b%2fc%2F").str());
  EXPECT_EQ("%zz%4", StrFromSafe("%zz%4").str());  // no two hex digits: kept
  EXPECT_EQ("100%", StrFromSafe("100%").str());
}

TEST(SafeText, EveryByteBecomesSafeCharactersAndComesBack) {
  const std::string safe_chars =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!'()*-._~+%";
  std::string all;
  for (int b = 1; b < 256; ++b) {
    const AnsiString one(static_cast<char>(b));
    const std::string out = StrToSafe(one).str();
    EXPECT_EQ(std::string::npos, out.find_first_not_of(safe_chars)) << "byte " << b;
    EXPECT_TRUE(out.size() == 1 || out.size() == 3) << "byte " << b;
    EXPECT_EQ(one, StrFromSafe(out)) << "byte " << b;
    all += static_cast<char>(b);
  }
  EXPECT_EQ(AnsiString(all), StrFromSafe(StrToSafe(all)));
}

TEST(SafeText, RandomByteStringsComeBack) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(1, 255), len(0, 64);
  for (int i = 0; i < 500; ++i) {
    std::string s(static_cast<std::size_t>(len(rng)), ' ');
    for (char& c : s) c = static_cast<char>(byte(rng));
    EXPECT_EQ(s, StrFromSafe(StrToSafe(s)).str());
  }
}
