/* The smallest host: load the library, print its version text. Circuit
 * examples will join it as the document loader and engine arrive. */
#include <stdio.h>

#include "qvs_dll.h"

int main(void) {
  printf("%s\n", QVS_GetInfo());
  return 0;
}
