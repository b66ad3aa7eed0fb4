/* Drives the library from plain C through the public header: proves the
 * header compiles as C and the exported names link. */
#include <stdio.h>
#include <string.h>

#include "qvs_dll.h"

static int failures = 0;

static void expect_str(const char* what, const char* got, const char* want) {
  if (got == NULL || strcmp(got, want) != 0) {
    fprintf(stderr, "%s: got \"%s\", want \"%s\"\n", what, got ? got : "(null)", want);
    ++failures;
  }
}

int main(void) {
  expect_str("initial error text", QVS_GetError(), "OK");
  expect_str("version", QVS_GetInfo(), "Version 3.12.59.23, Date 04/24/2024");
  expect_str("error text after GetInfo", QVS_GetError(),
             "Version 3.12.59.23, Date 04/24/2024");
  if (QVS_GetInfo() != QVS_GetError()) {
    fprintf(stderr, "GetInfo and GetError must share one buffer\n");
    ++failures;
  }
  return failures == 0 ? 0 : 1;
}
