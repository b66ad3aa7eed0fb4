#pragma once
// The C-like language of Code components: comment removal, the statement
// tree (one CCNode per statement, the root holds the program) and its
// execution. Expressions are not parsed here: every expression, condition
// and initial value goes as text to `formula` in C mode, and variables live
// in a CVarList.

#include <cstdint>
#include <memory>
#include <vector>

#include "base/AnsiString.h"
#include "expr/EngineLink.h"
#include "expr/globals.h"

class CCmps;
class CVarList;
struct SCCommand;
struct SCDeclarator;
struct SCRun;

// Position (1-based, in the program text as written) of the statement being
// parsed or executed; 0 before parsing and before execution starts. The Code
// component turns it into a line number for its error message.
extern int32_t C_error_position;

// Deepest nesting of statements the parser accepts. Parsing and execution
// recurse once per level, so the limit bounds their stack use whatever the
// program text; no hand-written program comes near it.
constexpr int kMaxCNesting = 256;

// Node types.
enum : int {
  CN_BLOCK = 1,
  CN_COMPLEX = 2,  // declarations: the kind is the type minus 2
  CN_DOUBLE = 3,
  CN_INT64 = 4,
  CN_INT = 5,
  CN_BOOL = 6,
  CN_DECLARATOR = 7,
  CN_SWITCH = 8,
  CN_CASE = 9,
  CN_DEFAULT = 10,
  CN_IF = 11,
  CN_ELSE = 12,
  CN_WHILE = 13,
  CN_DO = 14,
  CN_FOR = 15,
  CN_INIT = 16,
  CN_MAIN = 17,
  CN_BREAK = 18,
  CN_CONTINUE = 19,
  CN_RETURN = 20,
  CN_EXPRESSION = 21,
};

// Results of executing statements.
enum : int {
  CR_ERROR = -1,
  CR_NORMAL = 0,
  CR_CONTINUE = 1,
  CR_BREAK = 2,
  CR_RETURN = 3,
};

// Execution modes of ExecuteCCode.
enum : int {
  CX_CHILDREN = 0,  // the children from index from, in order
  CX_INIT = 1,      // the init section
  CX_MAIN = 2,      // the main section
};

// Text with comments, tabs and line breaks turned into blanks and three
// blanks appended. Positions do not move. A line comment ends only at a
// carriage return; block comments nest; strings are copied unchanged.
AnsiString RemoveCComments(const AnsiString& text);

class CCNode {
 public:
  // cmps resolve component names in expressions and engine receives errors
  // and supplies the document; children copy both from their parent.
  explicit CCNode(int type = 0, int32_t position = 0, CCmps* cmps = nullptr,
                  CEngineLink* engine = nullptr);
  virtual ~CCNode();
  CCNode(const CCNode&) = delete;
  CCNode& operator=(const CCNode&) = delete;

  int Type() const { return type_; }
  int32_t Position() const { return position_; }
  const AnsiString& Text1() const { return text1_; }
  const AnsiString& Text2() const { return text2_; }
  const AnsiString& Text3() const { return text3_; }
  CCmps* Components() const { return cmps_; }
  CEngineLink* Engine() const { return engine_; }
  void SetComponents(CCmps* cmps) { cmps_ = cmps; }
  void SetEngine(CEngineLink* engine) { engine_ = engine; }

  // Replaces the children by the parsed text. False on a syntax error, with
  // the message in m_global_errstr and C_error_position at the statement.
  bool CreateCCode(const AnsiString& text);
  // Parses statements one after another between positions from and to of a
  // comment-free text.
  bool ParseC(const AnsiString& text, int from, int to);
  // Parses the statement starting at or after from and moves from past it.
  // bodyInline puts the statements of a "{...}" body into this node
  // instead of a new block (the body of a switch).
  bool ParseCStatement(const AnsiString& text, int& from, int to, bool bodyInline);
  // Skips blanks from from; with open not 0 the next character must be
  // open. Then finds close at parenthesis depth 0: from and to become the
  // first and last positions between them (to = from - 1 when empty).
  bool FindCExpression(const AnsiString& text, int& from, int& to, char open,
                       char close);
  // Position of the next "," or ";" at parenthesis depth 0 between from and
  // to, "{...}" skipped whole; to when there is none.
  int FindCAssignment(const AnsiString& text, int from, int to);
  // Appends a child of that type; null with m_global_errstr set on failure.
  CCNode* CreateCNode(int type, int32_t position);

  int GetCNodeCount() const { return static_cast<int>(children_.size()); }
  // Child i, or null outside 0 .. count-1.
  CCNode* GetCNode(int i) const;
  // The first child of that type, or null.
  CCNode* GetCNodeType(int type) const;

  // Executes (modes CX_...); result CR_... . Variables declared at index
  // base and above belong to the present block. Errors go to the engine.
  int ExecuteCCode(int from, CVarList* vars, int base, int mode);
  // One expression or assignment, such as x, a[i] += 2, a = b = 3, n++.
  // *result gets the value of the expression or of the assigned target.
  bool ExecuteCCommand(const AnsiString& text, CVarList* vars, SNumber* result);
  // One declarator (x, x = 1, a[4] = {1, 2}) of kind (NUM_...), unique
  // among the variables from index base on.
  bool CreateCVariable(const AnsiString& text, int kind, CVarList* vars, int base);
  // text through `formula` in C mode with engine values; errors to the engine.
  bool formula_c(const AnsiString& text, CVarList* vars, SNumber* result);

 private:
  int depth_ = 0;  // nesting below the root; bounded by kMaxCNesting
  int type_;
  int32_t position_;
  AnsiString text1_, text2_, text3_;
  CCmps* cmps_;
  CEngineLink* engine_;
  std::vector<std::unique_ptr<CCNode>> children_;
  // Statement texts split once at parse time, so that running a program
  // neither splits nor copies text: cmd1_ for text1 (a for loop's
  // initialisation), cmd2_ and cmd3_ for a for loop's condition and step,
  // decl_ for a declarator.
  std::unique_ptr<SCCommand> cmd1_, cmd2_, cmd3_;
  std::unique_ptr<SCDeclarator> decl_;

  bool SyntaxError(const AnsiString& message);
  void Error(const AnsiString& message);
  void Compile();
  int Run(int from, CVarList* vars, int base, SCRun& run);
  int RunStatement(CVarList* vars, int base, SCRun& run);
  int RunSwitch(CVarList* vars, int base, SCRun& run);
  int RunLoop(CVarList* vars, int base, SCRun& run);
  bool LoopCheck(const char* keyword, int64_t pass, SCRun& run);
  bool RunCommand(const SCCommand& cmd, CVarList* vars, SNumber* result);
  bool RunDeclarator(const SCDeclarator& decl, int kind, CVarList* vars, int base);
};
