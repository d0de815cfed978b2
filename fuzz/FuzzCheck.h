#pragma once
// A property a fuzz target checks: when it does not hold, the input is a finding. Aborting
// makes libFuzzer keep the input as a crash file, whatever the build's NDEBUG.
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                          \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (false)
