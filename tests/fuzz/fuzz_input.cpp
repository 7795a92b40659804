#include "fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>

void fuzzFailure(const char* what, const char* file, int line) {
    std::fprintf(stderr, "invariant broken at %s:%d: %s\n", file, line, what);
    std::abort();
}
