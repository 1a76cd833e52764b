// Feeds arbitrary bytes to the Life 1.05 and 1.06 reader (1.06 when they
// begin "#Life 1.06", 1.05 otherwise); each outcome is checked as PatternCheck says, and a
// small board comes back with the same live cells from the Life 1.06 writer.

#include "LifePattern.h"
#include "PatternCheck.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const BoardLoad load = LifePattern::parse(text, "fuzz.lif", PatternTarget::shown(16, 12));
    check(load);
    if (load.board && load.board->cellCount() <= 4096) {
        const BoardLoad again =
            LifePattern::parse(LifePattern::toText(*load.board), "again.lif", PatternTarget::shown(1, 1));
        if (!again.board || again.board->liveCells() != load.board->liveCells())
            std::abort();
    }
    check(LifePattern::parse(text, "fuzz.lif", PatternTarget::board(24, 20)));
    return 0;
}
