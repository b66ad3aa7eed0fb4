// Controlled sources: registry rows, the parameter names that follow the
// output and control kinds, and the document attributes.

#include "elements/ElemVCVS.h"

#include "elements/ElemDocCases.h"

TEST(ElemVCVSRegistry, TypesAndModels) {
  auto models = [](const char* value, const char* osc, int extra) {
    std::string e = std::to_string(extra);
    return std::string("Linear(18,") + e + ",7) " + value + "(16," + e + ",7) Function(7," + e +
           ",7) PWL(11," + e + ",7) " + osc + "(45," + e + ",7) One-shot(68," + e +
           ",7) PWM(48," + e + ",7) SubCir(10,0,1)";
  };
  EXPECT_EQ("V_VCVS 71 4 Voltage controlled\\nvoltage source|" + models("V", "VCO", 1),
            RegistryRow("V_VCVS"));
  EXPECT_EQ("V_CCVS 72 4 Current controlled\\nvoltage source|" + models("V", "CCO", 2),
            RegistryRow("V_CCVS"));
  EXPECT_EQ("I_VCCS 33 4 Voltage controlled\\ncurrent source|" + models("I", "VCO", 1),
            RegistryRow("I_VCCS"));
  EXPECT_EQ("I_CCCS 34 4 Current controlled\\ncurrent source|" + models("I", "CCO", 2),
            RegistryRow("I_CCCS"));
}

TEST(ElemVCVSParams, NamesFollowOutputAndControl) {
  struct Case {
    const char* key;
    const char* value;  // model 16
    const char* vco;
    const char* oneshot;
    const char* pwm;
    const char* gain_unit;
  } cases[] = {
      {"V_VCVS", "V", "V1 V0 dFdV Type Phase", "V1 V0 Width Threshold", "V1 V0 F Vmax Phase",
       "V/V"},
      {"V_CCVS", "V", "V1 V0 dFdI Type Phase", "V1 V0 Width Threshold", "V1 V0 F Vmax Phase",
       "V/A"},
      {"I_VCCS", "I", "I1 I0 dFdV Type Phase", "I1 I0 Width Threshold", "I1 I0 F Imax Phase",
       "A/V"},
      {"I_CCCS", "I", "I1 I0 dFdI Type Phase", "I1 I0 Width Threshold", "I1 I0 F Imax Phase",
       "A/A"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.key);
    auto c = NewOf(k.key);
    EXPECT_EQ("K", ParamNames(*c, MC_LINEAR));
    EXPECT_STREQ(k.gain_unit, c->GetParameter("K")->Unit());
    EXPECT_EQ(k.value, ParamNames(*c, MC_V));
    EXPECT_EQ("f IC", ParamNames(*c, MC_FUNCTION));
    EXPECT_EQ(PK_FUNCTION, c->GetParameter("f")->Kind());
    EXPECT_EQ("pwl", ParamNames(*c, MC_PWL));
    EXPECT_EQ(k.vco, ParamNames(*c, MC_VCO));
    EXPECT_EQ(k.oneshot, ParamNames(*c, MC_ONE_SHOT));
    EXPECT_EQ(k.pwm, ParamNames(*c, MC_PWM));
  }
}

TEST(ElemVCVSDocument, EveryAttributeRoundTrips) {
  CheckDocumentCases("V_VCVS", {{MC_LINEAR, "K", "5", "k", "5", false},
                                {MC_V, "V", "7", "v", "7", false},
                                {MC_FUNCTION, "f", "x*x+<1>", "f", "x*x%2b%3c1%3e", false},
                                {MC_FUNCTION, "IC", "3", "ic", "3", true},
                                {MC_VCO, "dFdV", "20", "dfdv", "20", false},
                                {MC_VCO, "Type", "Triangle", "vcotype", "2", false},
                                {MC_ONE_SHOT, "Threshold", "4", "thr", "4", false},
                                {MC_ONE_SHOT, "Width", "2", "width", "2", false},
                                {MC_PWM, "V1", "9", "v1", "9", false},
                                {MC_PWM, "V0", "-9", "v0", "-9", false},
                                {MC_PWM, "F", "50", "fpwm", "50", false},
                                {MC_PWM, "Vmax", "6", "max", "6", false},
                                {MC_PWM, "Phase", "90", "phase", "90", false}});
  // The table travels only in model PWL.
  CheckDocumentCases("V_CCVS", {{MC_PWL, "pwl", "1,2,3", "pwl", "1,2,3", false}});
  // The current-output names reach the same fields.
  CheckDocumentCases("I_CCCS", {{MC_VCO, "dFdI", "30", "dfdv", "30", false},
                                {MC_PWM, "I1", "8", "v1", "8", false},
                                {MC_PWM, "Imax", "2", "max", "2", false}});
}
