// Meters: registry rows (extra unknowns and trace flags as the meters
// need them), pin types, and the common part as their whole document.

#include "elements/ElemA.h"

#include "elements/ElemAttrCheck.h"

TEST(ElemA, RegistryRows) {
  EXPECT_EQ("V_VM 73 2 Voltmeter|Voltmeter(16,0,1)", RegistryRow("V_VM"));
  EXPECT_EQ("A_A 6 2 Amperemeter|Amperemeter(19,1,7)", RegistryRow("A_A"));
  EXPECT_EQ("W_WM 78 3 Wattmeter|Wattmeter(46,1,7)", RegistryRow("W_WM"));
}

TEST(ElemA, PinTypesAndDocument) {
  EXPECT_EQ(2, NewOf("V_VM")->GetCmpPinType(1));
  EXPECT_EQ(1, NewOf("A_A")->GetCmpPinType(0));
  EXPECT_EQ(1, NewOf("W_WM")->GetCmpPinType(2));
  auto w = NewOf("W_WM");
  EXPECT_EQ(nullptr, w->GetParameter(""));
  w->SetName("PW");
  w->SetNode(2, 7);
  CXMLNode stored("Cmp");
  auto copy = RoundTrip(*w, false, &stored);
  EXPECT_EQ("PW", copy->Name().str());
  EXPECT_EQ(7, copy->Node(2));
  EXPECT_EQ("Wattmeter", Attr(stored, "model"));
  EXPECT_EQ(nullptr, copy->GetSignal());
}
