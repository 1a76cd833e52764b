// Feeds arbitrary bytes to the pattern-file reader. Whatever the input, the
// reader returns either a board or a message, never both and never neither,
// and a board it returns has a size the board type allows.

#include "PatternFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const BoardLoad load = PatternFile::parse(reinterpret_cast<const char*>(data), size, "fuzz.golpattern",
                                              LogicalSize{100, 100});
    if (static_cast<bool>(load.board) == !load.error.empty())
        std::abort();
    if (load.board) {
        if (!CellBitmap::sizeFits(load.board->pixelsWide(), load.board->pixelsHigh()))
            std::abort();
        // What was read can be written and read back unchanged.
        if (load.board->cellCount() <= 4096) {
            const std::string xml = PatternFile::toXml(load.board.get());
            const BoardLoad again = PatternFile::parse(xml.data(), xml.size(), "again.golpattern", LogicalSize{});
            if (!again.board || !again.board->sameCells(*load.board))
                std::abort();
        }
    }
    return 0;
}
