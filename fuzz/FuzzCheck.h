#pragma once
// Properties that the fuzz targets check. A broken one aborts, so that the fuzzer keeps the
// input that broke it and the run fails.

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void PropertyBroken(const char* file, int line, const char* property) {
  std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, property);
  std::abort();
}

#define FUZZ_CHECK(property) \
  do {                       \
    if (!(property)) PropertyBroken(__FILE__, __LINE__, #property); \
  } while (0)
