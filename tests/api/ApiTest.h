// Shared helpers of the C-interface tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "qvs_dll.h"

// The call must fail: it returns -1 and leaves exactly this error text. A
// macro, so that a failure names the line of the call.
#define EXPECT_FAILS(call, text)                                 \
  do {                                                           \
    EXPECT_EQ(-1, (call));                                       \
    EXPECT_EQ(std::string(text), std::string(QVS_GetError()));   \
  } while (0)

namespace apitest {

inline std::string Err() { return QVS_GetError(); }
// The interface takes names as char*, though it never writes to them.
inline char* S(const char* s) { return const_cast<char*>(s); }
inline char* S(const std::string& s) { return const_cast<char*>(s.c_str()); }

// The bytes of a file; empty when it cannot be read.
inline std::vector<unsigned char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A little-endian IEEE double at p, whatever the host's byte order.
inline double LittleEndianDouble(const unsigned char* p) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

}  // namespace apitest
