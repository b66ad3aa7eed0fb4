// Errors of C programs: every syntax message with the statement it points
// at, and the messages of running statements with their position. Lines are
// found the way the Code component reports them, by get_line_number on the
// CR LF text.

#include <string>

#include "CScript.h"

class CErrors : public CScript {
 protected:
  // The line holding C_error_position in text, as "number: text".
  static std::string ErrorLine(const std::string& text) {
    int line = 0;
    const AnsiString s = get_line_number(AnsiString(text), C_error_position, &line);
    return std::to_string(line) + ": " + s.str();
  }
};

// Nesting is limited so that parsing and running use bounded stack whatever
// the text; kMaxCNesting (256) levels pass, the next is refused at its own
// statement.
TEST_F(CErrors, SyntaxErrorsStopAtTheFailingStatement) {
  const std::string colon = "Syntax error: ':' not found", semi = "Syntax error: ';' not found",
                    deep = "Syntax error: statements nested deeper than 256 levels";
  const int limit = kMaxCNesting;
  std::string ifs;
  for (int k = 0; k < 2000; ++k) ifs += "if (1) ";
  const struct {
    std::string program, message;
    int position;
    std::string line = "";  // "1: " and the program when not given
  } rows[] = {
      {CrLf({"x = 1;", "while x < 3) x++;"}), "Syntax error: '(' not found", 9,
       "2: while x < 3) x++;"},
      // Line 1 is 6 + 2 characters, line 2 8 + 2; the if stands 2 further in.
      {CrLf({"x = 1;", "y = 2; {", "  if (x < (y) y = 3;", "}"}), "Syntax error: ')' not found",
       21, "3:   if (x < (y) y = 3;"},
      {CrLf({"switch (k) {", "case 1 y = 1;", "}"}), colon, 15, "2: case 1 y = 1;"},
      {"switch (k) { default y = 1; }", colon, 14},
      // The block is the failing statement, not the if around it.
      {CrLf({"x = 1;", "if (x) {", "  y = 2;"}), "Syntax error: '}' not found", 16,
       "2: if (x) {"},
      {CrLf({"x = 1;", "y = 2"}), semi, 9, "2: y = 2"},
      {"x = 1; int a, b", semi, 8},
      {"{ x = 1 } y = 2;", semi, 3},  // a statement in a block must end inside it
      {"for (i = 0; i < 3) x++;", semi, 1},  // for needs both of its semicolons
      {" for (i = 0) x++;", semi, 2},
      // A missing body points at the statement before it: 8 + 13 is the
      // closing parenthesis.
      {CrLf({"x = 1;", "while (x < 3)"}), semi, 8 + 13, "2: while (x < 3)"},
      {"{ if (x) } y = 1;", semi, 8},
      // An error inside a body points at the inner statement: 17 + 8 + 3.
      {CrLf({"while (x < 3) {", "  x++;", "  y = 2", "}"}), semi, 17 + 8 + 3, "3:   y = 2"},
      {CrLf({"do {", "  x++;", "} until (x > 3);"}), "Syntax error: 'while' not found", 1,
       "1: do {"},
      {std::string(limit, '{') + "x = 1;" + std::string(limit, '}'), deep, limit + 1},
      {ifs + "x = 1;", deep, 256 * 7 + 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("program: " + row.program.substr(0, 60));
    EXPECT_FALSE(Parse(row.program));
    EXPECT_EQ(row.message, m_global_errstr.str());
    EXPECT_EQ(row.position, C_error_position);
    EXPECT_EQ(row.line.empty() ? "1: " + row.program : row.line, ErrorLine(row.program));
  }
  // limit - 1 blocks with a statement in the innermost: limit levels.
  EXPECT_TRUE(Parse(std::string(limit - 1, '{') + "x = 1;" + std::string(limit - 1, '}')))
      << m_global_errstr.str();
}

TEST_F(CErrors, UnknownKeywordIsTypeZero) {
  // No program text produces type 0: everything that is not a keyword is an
  // expression statement. The code path belongs to CreateCNode.
  EXPECT_EQ(nullptr, root_.CreateCNode(0, 7));
  EXPECT_EQ("Syntax error: unknown C keyword", m_global_errstr.str());
  EXPECT_EQ(7, C_error_position);
  EXPECT_EQ(0, root_.GetCNodeCount());
}

TEST_F(CErrors, ParsingStartsAtPositionZeroAndReplacesTheProgram) {
  ASSERT_TRUE(Parse("x = 1; y = 2;"));
  C_error_position = 55;
  EXPECT_TRUE(Parse("   "));
  EXPECT_EQ(0, C_error_position);
  EXPECT_EQ("", Tree());
  ASSERT_TRUE(Parse("z = 3;"));
  EXPECT_EQ("expr(z = 3)", Tree());
}

// --- Running. Every message of a failing statement, with the line that
// C_error_position points at.

TEST_F(CErrors, RunTimeMessagesPointAtTheFailingStatement) {
  const struct {
    const char *line3, *message;
  } rows[] = {
      {"  q = 1;", "Variable 'q' not found"},
      {"  a[-1] = 1;", "a: negative array index"},
      {"  a[3] += 1;", "a: array index too high"},
      {"  int c[0];", "Array 'c' : size <= 0"},
      {"  int n;", "Variable 'n' already exists"},
      {"  bool big[2000000000];", "Can't create variable"},
      {"  n /= 0;", "Division by zero"},
      {"  if (a[0] < zz) n = 1;", "Wrong variable name or number format: 'zz'"},
  };
  for (const auto& row : rows) {
    const std::string p = CrLf({"int n = 1, a[3];", "n++;", row.line3, "n = 5;"});
    SCOPED_TRACE(row.line3);
    EXPECT_EQ(-1, RunFresh(p));
    EXPECT_EQ(row.message, engine_.error.str());
    EXPECT_EQ(std::string("3: ") + row.line3, ErrorLine(p));
    ExpectVars("n=2");  // nothing after the failing statement runs
  }
}

TEST_F(CErrors, ErrorInsideNestedStatementsPointsAtTheInnermost) {
  const std::string p =
      CrLf({"int i, s;", "for (i = 0; i < 3; i++) {", "  if (i == 2) {", "    s = t;", "  }", "}"});
  EXPECT_EQ(-1, Run(p));
  EXPECT_EQ("Wrong variable name or number format: 't'", engine_.error.str());
  EXPECT_EQ("4:     s = t;", ErrorLine(p));
  ExpectVars("i=2");
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
