// Parameter descriptors: display texts, setting from text for the editor
// and for the library, numbers for formulas, formula parameters that name
// other parameters, circular references, and the recalculation of all
// formulas of a collection.

#include <cmath>
#include <cstring>
#include <string>

#include "api/CallFrame.h"
#include "base/globals.h"
#include "circuit/TestElem.h"

namespace {

class ParamTest : public CircuitTest {
 protected:
  void SetUp() override {
    CircuitTest::SetUp();
    r1_ = Add();
    r2_ = Add();
  }
  // The descriptor of r1_ (or another component) named name, bound to it.
  CParam* P(const char* name, CTestElem* c = nullptr) {
    CParam* p = (c != nullptr ? c : r1_)->GetParameter(name);
    EXPECT_NE(nullptr, p) << name;
    return p;
  }
  // SetText's result and success together.
  std::string Set(CParam* p, const char* text, bool* ok_out = nullptr, CVarList* vars = nullptr) {
    bool ok = true;
    const AnsiString r = p->SetText(text, nullptr, ok, vars);
    if (ok_out != nullptr) *ok_out = ok;
    return r.str();
  }
  // What the library's error text holds after one library call.
  static std::string DllError() { return std::string(dll_error_text()); }
  static void ResetDllError() { dll_set_error("T: "); }
  // The integer behind the choice or state parameter named name of r1_.
  int& Field(const std::string& name) {
    if (name == "Type") return r1_->type_;
    if (name == "Active") return r1_->active_;
    return name == "Cycle" ? r1_->cycle_ : r1_->level_;
  }

  CTestElem* r1_ = nullptr;
  CTestElem* r2_ = nullptr;
};

// --- Display texts ------------------------------------------------------------------------

TEST_F(ParamTest, TextKindsShowTheirText) {
  r1_->list_ = "0, 1, 2";
  EXPECT_EQ("0, 1, 2", P("List")->GetText().str());
  r1_->SetModel(MC_PWL);
  r1_->pwl_ = "0,0;1,1";
  EXPECT_EQ("0,0;1,1", P("pwl")->GetText().str());
}

TEST_F(ParamTest, FormulaShowsValueOrTextAsMarked) {
  r1_->r_.SetVal(1500.0);
  EXPECT_EQ("1.5e+3", P("R")->GetText().str());
  r1_->r_.SetText("=3*500");
  EXPECT_EQ("1.5e+3", P("R")->GetText().str());
  r1_->show_.SetText("=3*500");
  r1_->show_.SetValue(1500.0);
  EXPECT_EQ("=3*500", P("Show")->GetText().str());
  r1_->r_.SetError(true);
  EXPECT_EQ("#VAL", P("R")->GetText().str());
  EXPECT_EQ("", P("K")->GetText().str());  // empty parameter
}

TEST_F(ParamTest, ChoiceAndStatesShowTheirWords) {
  const struct {
    const char* name;
    int value;
    const char* text;
  } rows[] = {{"Type", 2, "Cubic"}, {"Active", 1, "On"}, {"Cycle", 1, "Yes"}, {"IC", 1, "High"},
              {"Active", 0, "Off"}, {"Cycle", 0, "No"},  {"IC", 0, "Low"}};
  for (const auto& row : rows) {
    Field(row.name) = row.value;
    EXPECT_EQ(row.text, P(row.name)->GetText().str()) << row.name << " " << row.value;
  }
}

TEST_F(ParamTest, CodeShowsAOneLinePreview) {
  CParam* code = P("Code");
  EXPECT_EQ("<no code>", code->GetText().str());
  r1_->code_ = "x";
  EXPECT_EQ("", code->GetText().str());  // the last character is never shown
  r1_->code_ = "a = 1;\r\n\tb = 2;";
  EXPECT_EQ("a = 1;b = 2", code->GetText().str());
  r1_->code_ = std::string(100, 'c');
  EXPECT_EQ(std::string(33, 'c') + "...", code->GetText().str());
  r1_->code_ = std::string(34, 'd');  // 33 taken, nothing more to show
  EXPECT_EQ(std::string(33, 'd') + "...", code->GetText().str());
  r1_->code_ = std::string(33, 'e');
  EXPECT_EQ(std::string(32, 'e'), code->GetText().str());
}

TEST_F(ParamTest, NumbersForFormulas) {
  r1_->r_.SetVal(3.5);
  r1_->type_ = 2;
  r1_->active_ = 1;
  r1_->list_ = "5";
  EXPECT_EQ(3.5, P("R")->GetDoubleValue());
  EXPECT_EQ(2.0, P("Type")->GetDoubleValue());
  EXPECT_EQ(1.0, P("Active")->GetDoubleValue());
  EXPECT_EQ(0.0, P("List")->GetDoubleValue());
  r1_->r_.SetError(true);
  EXPECT_EQ(0.0, P("R")->GetDoubleValue());
}

// --- Setting from text (editor side) ---------------------------------------------------------

TEST_F(ParamTest, TextKindsTakeTheTrimmedText) {
  bool ok = true;
  EXPECT_EQ("", Set(P("List"), "  1, 2  ", &ok));
  EXPECT_TRUE(ok);
  EXPECT_EQ("1, 2", r1_->list_.str());
}

TEST_F(ParamTest, PlainNumberTextLeavesOnlyTheValue) {
  bool ok = false;
  EXPECT_EQ("", Set(P("R"), " 4k7 ", &ok));
  EXPECT_TRUE(ok);
  EXPECT_EQ(4700.0, r1_->r_.Value());
  EXPECT_EQ("", r1_->r_.Text().str());
  EXPECT_EQ("", Set(P("R"), "1/3"));
  EXPECT_EQ(0.333333333333, r1_->r_.Value());  // 12 significant digits
}

TEST_F(ParamTest, PlainExpressionIsEvaluatedOnceWithTheVariables) {
  CVarList vars;
  SetDoubleNumber(vars.AddVar("x", NUM_DOUBLE, 0)->values, 3.0);
  r2_->r_.SetVal(100.0);
  EXPECT_EQ("", Set(P("R"), "2*x+R2.R", nullptr, &vars));
  EXPECT_EQ(106.0, r1_->r_.Value());
  EXPECT_EQ("", r1_->r_.Text().str());
}

TEST_F(ParamTest, FormulaTextStaysAndFollowsWhatItNames) {
  r2_->r_.SetVal(1000.0);
  bool ok = false;
  CParam* p = P("R");
  EXPECT_EQ("", Set(p, "=R2.R*2", &ok));
  EXPECT_TRUE(ok);
  EXPECT_EQ(2000.0, r1_->r_.Value());
  EXPECT_EQ("=R2.R*2", r1_->r_.Text().str());
  // Looking up R2.R bound the shared descriptors to R2 for a moment; the
  // descriptor set is bound to R1 again.
  EXPECT_EQ(&r1_->r_, p->BoundFormula());
  EXPECT_EQ(1000.0, r2_->r_.Value());
  // A component name alone reads its first parameter.
  EXPECT_EQ("", Set(p, "=R2*3"));
  EXPECT_EQ(3000.0, r1_->r_.Value());
}

TEST_F(ParamTest, FormulaWithEqualsDoesNotSeeTheVariables) {
  // It is recalculated later without them, so it must not depend on them.
  CVarList vars;
  vars.AddVar("x", NUM_DOUBLE, 0);
  bool ok = true;
  EXPECT_EQ("Error : Wrong variable name or number format: 'x'", Set(P("R"), "=2*x", &ok, &vars));
  EXPECT_FALSE(ok);
}

TEST_F(ParamTest, FailedFormulaKeepsItsTextMarkedInError) {
  bool ok = true;
  EXPECT_EQ("Error : Wrong variable name or number format: 'R9.R'", Set(P("R"), "=R9.R", &ok));
  EXPECT_FALSE(ok);
  EXPECT_EQ("=R9.R", r1_->r_.Text().str());
  EXPECT_TRUE(r1_->r_.Error());
  EXPECT_EQ("#VAL", P("R")->GetText().str());
  EXPECT_EQ(0.0, P("R")->GetDoubleValue());
  // The next good text clears the mark.
  EXPECT_EQ("", Set(P("R"), "5", &ok));
  EXPECT_FALSE(r1_->r_.Error());
  EXPECT_EQ(5.0, r1_->r_.Value());
}

TEST_F(ParamTest, FailedNumberKeepsTheOldValue) {
  r1_->r_.SetVal(10.0);
  bool ok = true;
  EXPECT_EQ("Error : Wrong variable name or number format: 'zz'", Set(P("R"), "2*zz", &ok));
  EXPECT_FALSE(ok);
  EXPECT_EQ(10.0, r1_->r_.Value());
  EXPECT_TRUE(r1_->r_.Error());
}

TEST_F(ParamTest, EmptyTextOnlyWhereEmptyIsAllowed) {
  r1_->k_.SetVal(2.0);
  bool ok = false;
  EXPECT_EQ("", Set(P("K"), "  ", &ok));
  EXPECT_TRUE(ok);
  EXPECT_TRUE(r1_->k_.IsEmpty());
  EXPECT_EQ("", P("K")->GetText().str());

  // Elsewhere an empty text is an empty formula, which reads as 0.
  r1_->r_.SetVal(2.0);
  ok = false;
  EXPECT_EQ("", Set(P("R"), "", &ok));
  EXPECT_TRUE(ok);
  EXPECT_FALSE(r1_->r_.IsEmpty());
  EXPECT_EQ(0.0, r1_->r_.Value());
}

TEST_F(ParamTest, ChoiceAndStatesByWordIgnoringCaseOrByNumber) {
  // A choice number is truncated and falls back to the first item beyond
  // the list; a state number is on when positive. A failure names the
  // text (a failed choice falls back to the first item). -1: not checked.
  const std::string bad = "Error : Wrong variable name or number format: ";
  const struct {
    const char* name;
    int before;
    const char* text;
    int want;
    std::string error;
  } rows[] = {
      {"Type", 0, "square", 1, ""},  {"Type", 0, "2", 2, ""},  {"Type", 0, "1+0.9", 1, ""},
      {"Type", 2, "3", 0, ""},       {"Type", 2, "-1", 0, ""}, {"Type", 2, "Quartic", 0, bad + "'Quartic'"},
      {"Active", 0, "On", 1, ""},    {"Active", 1, "off", 0, ""}, {"Active", 0, "on", 1, ""},
      {"Active", 1, "-3", 0, ""},    {"Active", 0, "2", 1, ""},   {"Active", 0, "maybe", -1, bad + "'maybe'"},
      {"Cycle", 0, "YES", 1, ""},    {"IC", 0, "high", 1, ""},    {"IC", 1, "Low", 0, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.name) + " = " + row.text);
    Field(row.name) = row.before;
    bool ok = !row.error.empty();
    EXPECT_EQ(row.error, Set(P(row.name), row.text, &ok));
    EXPECT_EQ(row.error.empty(), ok);
    if (row.want >= 0) {
      EXPECT_EQ(row.want, Field(row.name));
    }
  }
}

// --- Circular references -------------------------------------------------------------------------

TEST_F(ParamTest, FormulaNamingItsOwnParameterIsRefused) {
  bool ok = true;
  EXPECT_EQ("Error : Circular reference", Set(P("R"), "=R1.R", &ok));
  EXPECT_FALSE(ok);
  EXPECT_TRUE(r1_->r_.Error());
  EXPECT_EQ("=R1.R", r1_->r_.Text().str());
}

TEST_F(ParamTest, CycleThroughOtherParametersIsRefused) {
  CTestElem* r3 = Add();
  ASSERT_EQ("", Set(P("R", r2_), "=R3.R+1"));
  ASSERT_EQ("", Set(P("R", r3), "=2*R1.K+R1.R"));
  bool ok = true;
  EXPECT_EQ("Error : Circular reference", Set(P("R"), "=R2.R*2", &ok));
  EXPECT_FALSE(ok);
  // Naming only the other parameter of the same component is no cycle.
  EXPECT_EQ("", Set(P("R"), "=3"));
  ok = true;
  EXPECT_EQ("", Set(P("K"), "=R1.R+1", &ok));
  EXPECT_TRUE(ok);
}

TEST_F(ParamTest, CheckEndsOnACycleThatAvoidsTheTarget) {
  // A document may hold a cycle between two other parameters; the check
  // must still end, and find no cycle through R1.R.
  CTestElem* r3 = Add();
  r2_->r_.SetText("=R3.R");
  r3->r_.SetText("=R2.R");
  EXPECT_TRUE(check_circular_ref(&r1_->r_, "=R2.R+1", &cmps_));
  EXPECT_FALSE(check_circular_ref(&r3->r_, "=R2.R+1", &cmps_));
  EXPECT_EQ("Circular reference", m_global_errstr.str());
}

TEST_F(ParamTest, CheckWithoutComponentsOrTextFindsNothing) {
  EXPECT_TRUE(check_circular_ref(&r1_->r_, "=R1.R", nullptr));
  EXPECT_TRUE(check_circular_ref(&r1_->r_, "", &cmps_));
  EXPECT_TRUE(check_circular_ref(&r1_->r_, "=sin(1)+x+10k", &cmps_));
}

// --- Library side ------------------------------------------------------------------------------

TEST_F(ParamTest, DllValueReadsNumbersAndRefusesTheRest) {
  double v = -1;
  ResetDllError();
  r1_->r_.SetVal(220.0);
  EXPECT_EQ(0, P("R")->GetDLLParamValue(&v));
  EXPECT_EQ(220.0, v);
  r1_->type_ = 1;
  EXPECT_EQ(0, P("Type")->GetDLLParamValue(&v));
  EXPECT_EQ(1.0, v);
  EXPECT_EQ("T: ", DllError());

  EXPECT_EQ(-1, P("R")->GetDLLParamValue(nullptr));
  EXPECT_EQ("T: NULL pointer to value", DllError());
  ResetDllError();
  EXPECT_EQ(-1, P("List")->GetDLLParamValue(&v));
  EXPECT_EQ("T: parameter type not supported", DllError());
  ResetDllError();
  r1_->r_.SetError(true);
  EXPECT_EQ(-1, P("R")->GetDLLParamValue(&v));
  EXPECT_EQ("T: formula error", DllError());
}

TEST_F(ParamTest, DllValueSetsNumbersAndIndexesWithoutRangeCheck) {
  bool changed = false;
  r1_->r_.SetText("=R2.R");
  EXPECT_EQ(0, P("R")->SetDLLParamValue(5.0, nullptr, &changed));
  EXPECT_EQ(5.0, r1_->r_.Value());
  EXPECT_EQ("", r1_->r_.Text().str());
  EXPECT_TRUE(changed);
  EXPECT_EQ(0, P("R")->SetDLLParamValue(5.0, nullptr, &changed));
  EXPECT_FALSE(changed);

  EXPECT_EQ(0, P("Active")->SetDLLParamValue(2.0, nullptr));
  EXPECT_EQ(2, r1_->active_);
  EXPECT_EQ(0, P("Active")->SetDLLParamValue(0.95, nullptr));
  EXPECT_EQ(1, r1_->active_);
  EXPECT_EQ(0, P("Type")->SetDLLParamValue(7.0, nullptr));
  EXPECT_EQ(7, r1_->type_);

  ResetDllError();
  EXPECT_EQ(-1, P("Code")->SetDLLParamValue(1.0, nullptr));
  EXPECT_EQ("T: parameter type not supported", DllError());
}

TEST_F(ParamTest, DllTextIsCutToTheBufferAndTellsTheFullSize) {
  r1_->list_ = "0123456789";
  char buf[16];
  std::memset(buf, 'z', sizeof buf);
  EXPECT_EQ(11, P("List")->GetDLLParamText(buf, 5));
  EXPECT_STREQ("0123", buf);
  EXPECT_EQ(11, P("List")->GetDLLParamText(buf, 11));
  EXPECT_STREQ("0123456789", buf);
  EXPECT_EQ(11, P("List")->GetDLLParamText(buf, 10));
  EXPECT_STREQ("012345678", buf);
}

TEST_F(ParamTest, DllTextOfFormulaIsItsTextOrItsValue) {
  char buf[32];
  r1_->r_.SetVal(1500.0);
  EXPECT_EQ(7, P("R")->GetDLLParamText(buf, sizeof buf));
  EXPECT_STREQ("1.5e+3", buf);
  r1_->r_.SetText("=R2.R");
  EXPECT_EQ(6, P("R")->GetDLLParamText(buf, sizeof buf));
  EXPECT_STREQ("=R2.R", buf);
  r1_->cycle_ = 1;
  EXPECT_EQ(4, P("Cycle")->GetDLLParamText(buf, sizeof buf));
  EXPECT_STREQ("Yes", buf);
}

TEST_F(ParamTest, DllTextSetsNumbersOnlyOrFormulas) {
  bool changed = false;
  ResetDllError();
  EXPECT_EQ(0, P("R")->SetDLLParamText("1k", nullptr, &changed));
  EXPECT_EQ(1000.0, r1_->r_.Value());
  EXPECT_TRUE(changed);
  EXPECT_EQ(0, P("R")->SetDLLParamText("1000", nullptr, &changed));
  EXPECT_FALSE(changed);  // the same number
  r2_->r_.SetVal(3.0);
  EXPECT_EQ(0, P("R")->SetDLLParamText("=2*R2.R", nullptr, &changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(6.0, r1_->r_.Value());
  EXPECT_EQ("=2*R2.R", r1_->r_.Text().str());
  EXPECT_EQ("T: ", DllError());
}

TEST_F(ParamTest, DllTextFailuresNameTheText) {
  double expected_reason_probe = 0;
  ASSERT_FALSE(indig("x", &expected_reason_probe));
  const std::string reader_reason = m_global_errstr.str();
  r1_->r_.SetVal(8.0);

  ResetDllError();
  EXPECT_EQ(-1, P("R")->SetDLLParamText("x", nullptr));
  EXPECT_EQ("T: error in value  x : " + reader_reason, DllError());
  EXPECT_TRUE(r1_->r_.Error());
  EXPECT_EQ(8.0, r1_->r_.Value());

  ResetDllError();
  EXPECT_EQ(-1, P("R")->SetDLLParamText("=R1.R", nullptr));
  EXPECT_EQ("T: error in formula =R1.R : Circular reference", DllError());
  EXPECT_EQ("=R1.R", r1_->r_.Text().str());

  ResetDllError();
  EXPECT_EQ(-1, P("R")->SetDLLParamText("", nullptr));
  EXPECT_EQ("T: no text", DllError());
}

TEST_F(ParamTest, DllTextWordsMustMatchExactly) {
  // A refused word leaves the value as it was.
  const struct {
    const char* name;
    const char* text;
    int want;
    const char* error;
  } rows[] = {{"Active", "On", 1, "T: "},  {"Active", "on", 1, "T: text on is not On/Off"},
              {"Cycle", "yes", 0, "T: text yes is not Yes/No"},
              {"IC", "1", 0, "T: text 1 is not High/Low"},
              {"Type", "Cubic", 2, "T: "}, {"Type", "cubic", 2, "T: text cubic not found"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.name) + " = " + row.text);
    ResetDllError();
    EXPECT_EQ(std::string(row.error) == "T: " ? 0 : -1, P(row.name)->SetDLLParamText(row.text, nullptr));
    EXPECT_EQ(row.error, DllError());
    EXPECT_EQ(row.want, Field(row.name));
  }
}

TEST_F(ParamTest, DllTextStoresTextKindsAsGiven) {
  ResetDllError();
  EXPECT_EQ(0, P("List")->SetDLLParamText(" 1, 2 ", nullptr));
  EXPECT_EQ(" 1, 2 ", r1_->list_.str());
  EXPECT_EQ("T: ", DllError());
}

// --- Recalculating a collection ----------------------------------------------------------------

TEST_F(ParamTest, RecalculationFollowsDependenciesInOneCall) {
  // As a document loads them: texts and stale values, R1 first in the list
  // though it depends on R2, which depends on R3.
  CTestElem* r3 = Add();
  r1_->r_.SetText("=2*R2.R");
  r2_->r_.SetText("=R3.R+1");
  r3->r_.SetVal(10.0);
  bool changed = false;
  EXPECT_TRUE(cmps_.CalculateFormulas(&changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(11.0, r2_->r_.Value());
  EXPECT_EQ(22.0, r1_->r_.Value());
  EXPECT_TRUE(cmps_.CalculateFormulas(&changed));
  EXPECT_FALSE(changed);
  // A change reaches everything that depends on it.
  ASSERT_EQ("", Set(P("R", r3), "20"));
  EXPECT_TRUE(cmps_.CalculateFormulas(&changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(42.0, r1_->r_.Value());
}

TEST_F(ParamTest, RecalculationMarksFailuresAndClearsRecoveries) {
  r1_->r_.SetText("=R2.K*2");  // R2.K is empty: NaN, not a failure
  r2_->r_.SetText("=nothing");
  EXPECT_FALSE(cmps_.CalculateFormulas());
  EXPECT_TRUE(r2_->r_.Error());
  EXPECT_FALSE(r1_->r_.Error());
  EXPECT_TRUE(std::isnan(r1_->r_.Value()));
  r2_->r_.SetText("=4");
  EXPECT_TRUE(cmps_.CalculateFormulas());
  EXPECT_FALSE(r2_->r_.Error());
  EXPECT_EQ(4.0, r2_->r_.Value());
}

TEST_F(ParamTest, RecalculationEndsOnACycleInTheDocument) {
  r1_->r_.SetText("=R2.R");
  r2_->r_.SetText("=R1.R+1");
  EXPECT_TRUE(cmps_.CalculateFormulas());
}

}  // namespace
