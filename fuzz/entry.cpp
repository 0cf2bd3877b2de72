// The libFuzzer entry of every fuzz target: FUZZ_PROPERTY names the header holding the
// property, FUZZ_CHECK the function that gives "" when it holds for the bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include FUZZ_PROPERTY

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = FUZZ_CHECK(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
