#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// One fuzz target: libFuzzer's entry point. The same source links either
// with libFuzzer (clang, -fsanitize=fuzzer) or with CorpusMain.cpp, which
// replays a checked-in corpus as a plain test.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// A broken property: report it and abort, so that libFuzzer keeps the input
// and the corpus test fails.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
