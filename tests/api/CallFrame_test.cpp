// The error text and handle frame shared by every exported function.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "ApiTest.h"
#include "api/CallFrame.h"
#include "doc/Doc.h"
#include "qvs_dll.h"

TEST(ErrorText, AppendedReasonsFollowTheFunctionName) {
  dll_set_error("QVS_GetParam: ");
  dll_add_error("parameter ");
  dll_add_error("R1.X");
  dll_add_error(" not found");
  EXPECT_STREQ("QVS_GetParam: parameter R1.X not found", QVS_GetError());
  dll_clear_error();
  EXPECT_STREQ("OK", QVS_GetError());
}

TEST(ErrorText, IsCutAtTheBufferNeverOverflowed) {
  const std::string big(5000, 'x');
  dll_set_error("QVS_Open: ");
  dll_add_error(big.c_str());
  dll_add_error("more");  // nothing fits any more: silently dropped
  const std::string text = QVS_GetError();
  EXPECT_EQ(static_cast<std::size_t>(kErrorTextSize - 1), text.size());
  EXPECT_EQ("QVS_Open: xxx", text.substr(0, 13));
  dll_set_error(big.c_str());
  EXPECT_EQ(static_cast<std::size_t>(kErrorTextSize - 1), std::string(QVS_GetError()).size());
}

TEST(ErrorText, GetInfoWritesTheVersionIntoTheSharedText) {
  char* info = QVS_GetInfo();
  EXPECT_STREQ("Version 3.12.59.23, Date 04/24/2024", info);
  EXPECT_EQ(info, QVS_GetError());
  EXPECT_STREQ("Version 3.12.59.23, Date 04/24/2024", QVS_GetError());
}

TEST(CallFrame, ExceptionsBecomeFailuresWithAReason) {
  EXPECT_FAILS(RunCall("QVS_X: ", []() -> int { throw std::bad_alloc(); }), "QVS_X: out of memory");
  EXPECT_FAILS(RunCall("QVS_X: ", []() -> int { throw 42; }), "QVS_X: unknown error");
  EXPECT_FAILS(RunCall("QVS_X: ", [] { return Fail("NULL pointer"); }), "QVS_X: NULL pointer");
  EXPECT_EQ(7, RunCall("QVS_X: ", [] { return 7; }));
  EXPECT_STREQ("OK", QVS_GetError());
}

// "no circuit" holds only in a process that has never registered a
// document. The threadsafe death-test style runs the statement in a newly
// started copy of this test program, so the check holds however many tests
// ran before it in this one.
TEST(Handles, NoCircuitBeforeTheFirstDocument) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        dll_set_error("QVS_Close: ");
        const bool none = dll_get_doc(0) == nullptr;
        std::exit(none && std::strcmp(QVS_GetError(), "QVS_Close: no circuit") == 0 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// The handle tests share the process-wide state, so they run as one story.
TEST(Handles, OneCounterNamesEveryDocumentAndNoneIsReused) {
  const int docs_before = CDoc::newDocCount;
  auto* a = new CDoc;
  EXPECT_EQ("qv" + std::to_string(docs_before + 1), a->DocName().str());
  const int ha = dll_register_doc(a);
  const int other = GetDLLHandle();  // e.g. a trace handle
  auto* b = new CDoc;
  const int hb = dll_register_doc(b);
  EXPECT_EQ(ha + 1, other);
  EXPECT_EQ(other + 1, hb);
  EXPECT_EQ(a, dll_get_doc(ha));
  EXPECT_EQ(b, dll_get_doc(hb));

  dll_close_doc(a);
  dll_set_error("QVS_Close: ");
  EXPECT_EQ(nullptr, dll_get_doc(ha));
  EXPECT_STREQ("QVS_Close: wrong circuit handle", QVS_GetError());
  dll_close_doc(b);
  dll_set_error("QVS_Close: ");
  EXPECT_EQ(nullptr, dll_get_doc(hb));
  EXPECT_STREQ("QVS_Close: wrong circuit handle", QVS_GetError());
  EXPECT_EQ(hb + 1, GetDLLHandle());
}
