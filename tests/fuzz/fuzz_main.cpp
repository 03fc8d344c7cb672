// libFuzzer entry of one harness; TARVENKO_CIBLE names the function of fuzz_targets.h it calls.
// See CMakeLists.txt for how to build and run them.
#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return tarvenko::fuzz::TARVENKO_CIBLE(data, size);
}
