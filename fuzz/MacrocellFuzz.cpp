// Feeds arbitrary bytes to the macrocell reader; each
// outcome is checked as PatternCheck says. A hostile tree (deep, wide,
// referring forward) must be refused quickly: the fuzzer's timeout and memory
// limit see to that.

#include "MacrocellReader.h"
#include "PatternCheck.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(MacrocellReader::parse(text, "fuzz.mc", PatternTarget::shown(16, 12)));
    check(MacrocellReader::parse(text, "fuzz.mc", PatternTarget::board(24, 20)));
    return 0;
}
