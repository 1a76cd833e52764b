// Feeds arbitrary bytes to the RLE and plaintext readers, and to the choice
// by content; each outcome is checked as PatternCheck says.

#include "PatternCheck.h"
#include "PatternInterchange.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(RleReader::parse(text, "fuzz.rle", PatternTarget::shown(16, 12)));
    check(PlaintextPattern::parse(text, "fuzz.cells", PatternTarget::shown(16, 12)));
    check(PatternInterchange::parse(text, "fuzz", PatternTarget::board(24, 20)));
    return 0;
}
