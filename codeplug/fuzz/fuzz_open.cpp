// libFuzzer entry for Open: any input either fails cleanly or round-trips through Save.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "codeplug/fuzz/open_property.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem =
        codeplug::fuzz::CheckOpen(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
