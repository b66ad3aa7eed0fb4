// Errors of C programs: every syntax message with the statement it points
// at, and the messages of running statements with their position. Lines are
// found the way the Code component reports them, by get_line_number on the
// CR LF text.

#include <string>

#include "CScript.h"
#include "base/globals.h"

class CErrors : public CScript {};

namespace {

// The line holding C_error_position in text, as "number: text".
std::string ErrorLine(const std::string& text) {
  int line = 0;
  const AnsiString s = get_line_number(AnsiString(text), C_error_position, &line);
  return std::to_string(line) + ": " + s.str();
}

}  // namespace

// --- Syntax.

TEST_F(CErrors, MissingOpeningParenthesis) {
  const std::string p = CrLf({"x = 1;", "while x < 3) x++;"});
  EXPECT_FALSE(Parse(p));
  EXPECT_EQ("Syntax error: '(' not found", m_global_errstr.str());
  EXPECT_EQ(9, C_error_position);
  EXPECT_EQ("2: while x < 3) x++;", ErrorLine(p));
}

TEST_F(CErrors, MissingClosingParenthesis) {
  // Line 1 is 6 + 2 characters, line 2 8 + 2; the if stands 2 further in.
  const std::string p = CrLf({"x = 1;", "y = 2; {", "  if (x < (y) y = 3;", "}"});
  EXPECT_FALSE(Parse(p));
  EXPECT_EQ("Syntax error: ')' not found", m_global_errstr.str());
  EXPECT_EQ(21, C_error_position);
  EXPECT_EQ("3:   if (x < (y) y = 3;", ErrorLine(p));
}

TEST_F(CErrors, MissingColonOfLabel) {
  const std::string p = CrLf({"switch (k) {", "case 1 y = 1;", "}"});
  EXPECT_FALSE(Parse(p));
  EXPECT_EQ("Syntax error: ':' not found", m_global_errstr.str());
  EXPECT_EQ(15, C_error_position);
  EXPECT_EQ("2: case 1 y = 1;", ErrorLine(p));

  EXPECT_FALSE(Parse("switch (k) { default y = 1; }"));
  EXPECT_EQ("Syntax error: ':' not found", m_global_errstr.str());
  EXPECT_EQ(14, C_error_position);
}

TEST_F(CErrors, MissingClosingBrace) {
  const std::string p = CrLf({"x = 1;", "if (x) {", "  y = 2;"});
  EXPECT_FALSE(Parse(p));
  EXPECT_EQ("Syntax error: '}' not found", m_global_errstr.str());
  // The block is the failing statement, not the if around it.
  EXPECT_EQ(16, C_error_position);
  EXPECT_EQ("2: if (x) {", ErrorLine(p));
}

TEST_F(CErrors, MissingSemicolon) {
  const std::string p = CrLf({"x = 1;", "y = 2"});
  EXPECT_FALSE(Parse(p));
  EXPECT_EQ("Syntax error: ';' not found", m_global_errstr.str());
  EXPECT_EQ(9, C_error_position);
  EXPECT_EQ("2: y = 2", ErrorLine(p));

  EXPECT_FALSE(Parse("x = 1; int a, b"));
  EXPECT_EQ("Syntax error: ';' not found", m_global_errstr.str());
  EXPECT_EQ(8, C_error_position);

  // A statement in a block must end inside it.
  EXPECT_FALSE(Parse("{ x = 1 } y = 2;"));
  EXPECT_EQ("Syntax error: ';' not found", m_global_errstr.str());
  EXPECT_EQ(3, C_error_position);

  // "for" needs both of its semicolons.
  EXPECT_FALSE(Parse("for (i = 0; i < 3) x++;"));
  EXPECT_EQ("Syntax error: ';' not found", m_global_errstr.str());
  EXPECT_EQ(1, C_error_position);
  EXPECT_FALSE(Parse(" for (i = 0) x++;"));
  EXPECT_EQ("Syntax error: ';' not found", m_global_errstr.str());
  EXPECT_EQ(2, C_error_position);
}

TEST_F(CErrors, MissingBodyPointsAtTheStatementBeforeIt) {
  const std::string p = CrLf({"x = 1;", "while (x < 3)"});
  EXPECT_FALSE(Parse(p));
  EXPECT_EQ("Syntax error: ';' not found", m_global_errstr.str());
  EXPECT_EQ(8 + 13, C_error_position);  // the closing parenthesis
  EXPECT_EQ("2: while (x < 3)", ErrorLine(p));

  EXPECT_FALSE(Parse("{ if (x) } y = 1;"));
  EXPECT_EQ("Syntax error: ';' not found", m_global_errstr.str());
  EXPECT_EQ(8, C_error_position);
}

TEST_F(CErrors, DoWithoutWhile) {
  const std::string p = CrLf({"do {", "  x++;", "} until (x > 3);"});
  EXPECT_FALSE(Parse(p));
  EXPECT_EQ("Syntax error: 'while' not found", m_global_errstr.str());
  EXPECT_EQ(1, C_error_position);
  EXPECT_EQ("1: do {", ErrorLine(p));
}

TEST_F(CErrors, ErrorInsideBodyPointsAtTheInnerStatement) {
  const std::string p = CrLf({"while (x < 3) {", "  x++;", "  y = 2", "}"});
  EXPECT_FALSE(Parse(p));
  EXPECT_EQ("Syntax error: ';' not found", m_global_errstr.str());
  EXPECT_EQ("3:   y = 2", ErrorLine(p));
}

TEST_F(CErrors, UnknownKeywordIsTypeZero) {
  // No program text produces type 0: everything that is not a keyword is an
  // expression statement. The code path belongs to CreateCNode.
  EXPECT_EQ(nullptr, root_.CreateCNode(0, 7));
  EXPECT_EQ("Syntax error: unknown C keyword", m_global_errstr.str());
  EXPECT_EQ(7, C_error_position);
  EXPECT_EQ(0, root_.GetCNodeCount());
}

TEST_F(CErrors, ParsingStartsWithPositionZero) {
  C_error_position = 55;
  EXPECT_TRUE(Parse("   "));
  EXPECT_EQ(0, C_error_position);
  EXPECT_EQ(0, root_.GetCNodeCount());
}

TEST_F(CErrors, ParsingAgainReplacesTheProgram) {
  ASSERT_TRUE(Parse("x = 1; y = 2;"));
  ASSERT_TRUE(Parse("z = 3;"));
  ASSERT_EQ(1, root_.GetCNodeCount());
  EXPECT_EQ("z = 3", root_.GetCNode(0)->Text1().str());
}

// Nesting is limited so that parsing and running use bounded stack whatever
// the text; 256 levels pass, the 257th is refused at its own statement.
TEST_F(CErrors, NestingDeeperThanTheLimitIsASyntaxError) {
  const int limit = kMaxCNesting;
  // limit - 1 blocks with a statement in the innermost: limit levels.
  std::string ok = std::string(limit - 1, '{') + "x = 1;" + std::string(limit - 1, '}');
  EXPECT_TRUE(Parse(ok)) << m_global_errstr.str();

  std::string deep = std::string(limit, '{') + "x = 1;" + std::string(limit, '}');
  EXPECT_FALSE(Parse(deep));
  EXPECT_EQ("Syntax error: statements nested deeper than 256 levels", m_global_errstr.str());
  EXPECT_EQ(limit + 1, C_error_position);

  std::string ifs;
  for (int k = 0; k < 2000; ++k) ifs += "if (1) ";
  EXPECT_FALSE(Parse(ifs + "x = 1;"));
  EXPECT_EQ("Syntax error: statements nested deeper than 256 levels", m_global_errstr.str());
  EXPECT_EQ(256 * 7 + 1, C_error_position);
}

// --- Running. Every message of a failing statement, with the line that
// C_error_position points at.

TEST_F(CErrors, RunTimeMessagesPointAtTheFailingStatement) {
  struct Case {
    const char* line3;
    const char* message;
  };
  const Case cases[] = {
      {"  q = 1;", "Variable 'q' not found"},
      {"  a[-1] = 1;", "a: negative array index"},
      {"  a[3] += 1;", "a: array index too high"},
      {"  int c[0];", "Array 'c' : size <= 0"},
      {"  int n;", "Variable 'n' already exists"},
      {"  bool big[2000000000];", "Can't create variable"},
      {"  n /= 0;", "Division by zero"},
      {"  if (a[0] < zz) n = 1;", "Wrong variable name or number format: 'zz'"},
  };
  for (const Case& c : cases) {
    vars_.ClearVarList();
    engine_.error = AnsiString();
    const std::string p = CrLf({"int n = 1, a[3];", "n++;", c.line3, "n = 5;"});
    EXPECT_EQ(-1, Run(p)) << c.line3;
    EXPECT_EQ(c.message, engine_.error.str());
    EXPECT_EQ(std::string("3: ") + c.line3, ErrorLine(p));
    EXPECT_EQ(2, Int("n")) << "nothing after the failing statement runs";
  }
}

TEST_F(CErrors, ErrorInsideNestedStatementsPointsAtTheInnermost) {
  const std::string p =
      CrLf({"int i, s;", "for (i = 0; i < 3; i++) {", "  if (i == 2) {", "    s = t;", "  }", "}"});
  EXPECT_EQ(-1, Run(p));
  EXPECT_EQ("Wrong variable name or number format: 't'", engine_.error.str());
  EXPECT_EQ("4:     s = t;", ErrorLine(p));
  EXPECT_EQ(2, Int("i"));
}

TEST_F(CErrors, TimeOutPointsAtTheLoop) {
  engine_.timeout_at = 1;
  const std::string p = CrLf({"int n;", "main() {", "  while (n >= 0)", "    n++;", "}"});
  ASSERT_TRUE(Parse(p));
  ASSERT_EQ(0, root_.ExecuteCCode(0, &vars_, 0, CX_CHILDREN));
  EXPECT_EQ(-1, root_.ExecuteCCode(0, &vars_, 1, CX_MAIN));
  EXPECT_EQ("'while' loop time-out at cycle 100", engine_.error.str());
  EXPECT_EQ("3:   while (n >= 0)", ErrorLine(p));
}

TEST_F(CErrors, WithoutAnEngineMessagesStayInTheGlobalText) {
  CCNode alone;
  m_global_errstr = AnsiString();
  EXPECT_FALSE(alone.ExecuteCCommand("y = 1", &vars_, nullptr));
  EXPECT_EQ("Variable 'y' not found", m_global_errstr.str());
}
