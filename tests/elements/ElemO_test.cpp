// Amplifiers and comparators: registry rows, the defaults that depend on
// the type, parameter names by input and output kind, and the document
// attributes.

#include "elements/ElemO.h"

#include "elements/ElemDocCases.h"

TEST(ElemORegistry, TypesAndModels) {
  auto all = [](int extra) {
    std::string e = std::to_string(extra);
    return "Linear(18," + e + ",7) OpAmp(20," + e + ",7) Comparator(21," + e +
           ",7) Function(7," + e + ",7) PWL(11," + e + ",7) SubCir(10,0,1)";
  };
  struct Row {
    const char* head;
    std::string models;
  } rows[] = {
      {"O_O 41 2 Amplifier", all(1)},
      {"O_O_COMP 118 2 Comparator", all(1)},
      {"O_OD 42 3 Differential\\namplifier", all(1)},
      {"O_OD_COMP 119 3 Differential\\ncomparator", all(1)},
      {"O_REF 50 4 Differential amplifier\\nwith reference", all(1)},
      {"O_FD 49 5 Fully differential\\namplifier", all(1)},
      {"O_VC 46 3 Differential amplifier\\nwith current output", all(1)},
      {"O_CV 47 3 Current amplifier", all(2)},
      {"O_CC 48 3 Current amplifier\\nwith current output", all(2)},
      {"O_OS 43 3 Summing\\namplifier",
       "Linear(18,1,7) OpAmp(20,1,7) Function(7,1,7) PWL(11,1,7) SubCir(10,0,1)"},
      {"O_VCG 44 4 Voltage controlled\\namplifier", "PWL(11,1,7)"},
      {"O_CCG 45 4 Current controlled\\namplifier", "PWL(11,2,7)"},
  };
  for (const Row& r : rows) {
    const std::string key = std::string(r.head).substr(0, std::string(r.head).find(' '));
    EXPECT_EQ(std::string(r.head) + "|" + r.models, RegistryRow(key.c_str()));
  }
}

TEST(ElemOParams, DefaultsAndNamesByType) {
  struct Case {
    const char* key;
    double k, hi;  // default gain and upper limit (the lower one is -hi)
    const char* opamp;
    const char* gain_unit;
  } cases[] = {
      {"O_O", 1, 15, "K f1 Vhi Vlo IC", "V/V"},     {"O_OD", INFINITY, 15, "K f1 Vhi Vlo IC", "V/V"},
      {"O_VC", INFINITY, 1, "K f1 Ihi Ilo IC", "A/V"}, {"O_CV", INFINITY, 15, "K f1 Vhi Vlo IC", "V/A"},
      {"O_CC", INFINITY, 1, "K f1 Ihi Ilo IC", "A/A"},
  };
  for (const Case& k : cases) {
    auto c = NewOf(k.key);
    auto* o = static_cast<CElemO*>(c.get());
    EXPECT_EQ(k.k, o->k_.Value()) << k.key;
    EXPECT_EQ(k.hi, o->hi_.Value()) << k.key;
    EXPECT_EQ(-k.hi, o->lo_.Value()) << k.key;
    EXPECT_EQ(k.opamp, ParamNames(*c, MC_OPAMP)) << k.key;
    EXPECT_STREQ(k.gain_unit, c->GetParameter("K")->Unit()) << k.key;
  }
  auto c = NewOf("O_O");
  EXPECT_EQ("K f1 IC", ParamNames(*c, MC_LINEAR));
  EXPECT_TRUE(c->GetParameter("IC")->BoundFormula()->IsEmpty());  // no held output
  EXPECT_EQ("Hysteresis Vhi Vlo Delay IC", ParamNames(*c, MC_COMPARATOR));
  EXPECT_EQ("Low", c->GetParameter("IC")->GetText().str());
  EXPECT_EQ("f IC", ParamNames(*c, MC_FUNCTION));
}

TEST(ElemODocument, EveryAttributeRoundTrips) {
  CheckDocumentCases("O_OD", {{MC_LINEAR, "IC", "1", "ic", "1", true},
                              {MC_FUNCTION, "f", "2*x", "f", "2*x", false},
                              {MC_FUNCTION, "IC", "4", "func_ic", "4", true},
                              {MC_COMPARATOR, "Hysteresis", "0.5", "hyst", "500e-3", false},
                              {MC_COMPARATOR, "Delay", "3", "delay", "3", false},
                              {MC_COMPARATOR, "IC", "High", "comp_ic", "1", true},
                              {MC_OPAMP, "K", "1000", "k", "1e+3", false},
                              {MC_OPAMP, "f1", "=5", "f1", "5", false},
                              {MC_OPAMP, "Vhi", "12", "hi", "12", false},
                              {MC_OPAMP, "Vlo", "-12", "lo", "-12", false},
                              {MC_OPAMP, "IC", "2", "opamp_ic", "2", true}});
  CheckDocumentCases("O_VCG", {{MC_PWL, "pwl", "2,1,3", "pwl", "2,1,3", false}});
}
