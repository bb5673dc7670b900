// libFuzzer's entry points, declared once for the targets that define them.
#pragma once

#include <cstddef>
#include <cstdint>

// Runs the target on one input; returns 0, the only value libFuzzer takes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// Runs once before the first input, for a target that sets something up.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
