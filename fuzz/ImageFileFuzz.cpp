// Feeds arbitrary bytes to the image reader. Whatever the input, the reader
// returns either a board or a message, and a board it returns fits.

#include "ImageFile.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The decoders report every broken file on the console; that only slows
    // the fuzzer down.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const BoardLoad load = ImageFile::decode(reinterpret_cast<const char*>(data), size, "fuzz.png");
    if (static_cast<bool>(load.board) == !load.error.empty())
        std::abort();
    if (load.board && !CellBitmap::sizeFits(load.board->pixelsWide(), load.board->pixelsHigh()))
        std::abort();
    return 0;
}
