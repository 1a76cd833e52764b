#include "GifStream.h"

#include "CellBitmap.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>
#include <utility>

namespace {

std::string gifError(int code)
{
    const char* text = GifErrorString(code);
    return text ? text : "unknown GIF error";
}

struct MapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// Where an image's encoder writes: memory, until the image is complete. The
// encoder's closing trailer is the file's business, not the image's, so
// nothing is taken once `complete` is set.
struct ImageSink {
    std::vector<std::uint8_t>* bytes = nullptr;
    bool complete = false;
    bool outOfMemory = false;
};

int toImage(GifFileType* gif, const GifByteType* data, int length)
{
    auto* sink = static_cast<ImageSink*>(gif->UserData);
    if (sink->complete)
        return length;
    try {
        sink->bytes->insert(sink->bytes->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        sink->outOfMemory = true;
        return 0;
    }
    return length;
}

}  // namespace

GifStream::GifStream(std::string path) : file_(std::move(path)) {}

GifStream::~GifStream()
{
    if (gif_)
        EGifCloseFile(gif_, nullptr);
}

int GifStream::output(GifFileType* gif, const unsigned char* data, int length)
{
    auto* self = static_cast<GifStream*>(gif->UserData);
    return static_cast<int>(self->file_.device().write(reinterpret_cast<const char*>(data), length));
}

std::string GifStream::failure(int code)
{
    // A failed write says more than giflib's code for it.
    const QString reason = file_.device().errorString();
    if (code == E_GIF_ERR_WRITE_FAILED && !reason.isEmpty())
        return file_.failure(reason);
    return file_.failure(QString::fromStdString(gifError(code)));
}

std::string GifStream::open(int width, int height)
{
    if (std::string error = file_.open(); !error.empty())
        return error;
    int error = 0;
    gif_ = EGifOpen(this, output, &error);
    if (!gif_)
        return file_.failure(QString::fromStdString(gifError(error)));
    EGifSetGifVersion(gif_, true);
    // No global colour table: every image brings its own.
    if (EGifPutScreenDesc(gif_, width, height, 8, 0, nullptr) != GIF_OK)
        return failure(gif_->Error);
    // NETSCAPE2.0 application extension: loop count 0, forever.
    static const GifByteType netscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType loop[] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
        EGifPutExtensionBlock(gif_, sizeof netscape, netscape) != GIF_OK ||
        EGifPutExtensionBlock(gif_, sizeof loop, loop) != GIF_OK || EGifPutExtensionTrailer(gif_) != GIF_OK)
        return failure(gif_->Error);
    return {};
}

std::string GifStream::putFrame(int delay, const std::vector<std::uint8_t>& image)
{
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = delay;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const auto length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) != GIF_OK)
        return failure(gif_->Error);
    const auto size = static_cast<qint64>(image.size());
    if (file_.device().write(reinterpret_cast<const char*>(image.data()), size) != size)
        return file_.failure(file_.device().errorString());
    return {};
}

std::string GifStream::commit()
{
    GifFileType* gif = std::exchange(gif_, nullptr);
    int error = 0;
    if (EGifCloseFile(gif, &error) != GIF_OK)  // writes the trailer
        return failure(error);
    return file_.commit();
}

void GifStream::encodeImage(const CellBitmap& board, int scale, std::vector<std::uint8_t>& row,
                            std::vector<std::uint8_t>& image)
{
    const std::int64_t width = board.pixelsWide();
    const std::int64_t height = board.pixelsHigh();
    const std::uint8_t* data = board.data();
    const std::size_t cells = board.cellCount();

    // The gray levels on the board, in ascending order, each given the next
    // colour index. Most boards hold only 0 and 255: two colours, one bit a
    // pixel before compression, and each index the cell's lowest bit; that
    // case is found and mapped with loops the compiler vectorises.
    std::uint8_t grays = 0;
    std::uint8_t live = 0;
    std::uint8_t dead = 0;
    for (std::size_t i = 0; i < cells; ++i) {
        const std::uint8_t cell = data[i];
        grays |= static_cast<std::uint8_t>(static_cast<std::uint8_t>(cell - 1) < 254);
        live |= static_cast<std::uint8_t>(cell == CellBitmap::kLive);
        dead |= static_cast<std::uint8_t>(cell == CellBitmap::kDead);
    }
    std::array<std::uint8_t, 256> present{};
    if (grays) {
        for (std::size_t i = 0; i < cells; ++i)
            present[data[i]] = 1;
    } else {
        present[CellBitmap::kLive] = live;
        present[CellBitmap::kDead] = dead;
    }
    const bool lowestBit = !grays && live && dead;  // 0 is index 0, 255 index 1
    std::array<std::uint8_t, 256> indexOf{};
    std::array<GifColorType, 256> colors{};
    int levels = 0;
    for (int level = 0; level < 256; ++level) {
        if (!present[static_cast<std::size_t>(level)])
            continue;
        const auto gray = static_cast<GifByteType>(level);
        indexOf[static_cast<std::size_t>(level)] = static_cast<std::uint8_t>(levels);
        colors[static_cast<std::size_t>(levels)] = {gray, gray, gray};
        ++levels;
    }
    int tableSize = 2;
    while (tableSize < levels)
        tableSize *= 2;
    for (int i = levels; i < tableSize; ++i)  // unused entries repeat the last level
        colors[static_cast<std::size_t>(i)] = colors[static_cast<std::size_t>(levels - 1)];
    const std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(tableSize, colors.data()));
    if (!map)
        throw std::bad_alloc();

    image.clear();
    ImageSink sink{&image};
    int error = 0;
    GifFileType* gif = EGifOpen(&sink, toImage, &error);
    if (!gif)
        throw std::bad_alloc();
    const auto closeImage = [&] {
        sink.complete = true;
        EGifCloseFile(gif, nullptr);
    };
    auto check = [&](int result) {
        if (result == GIF_OK)
            return;
        const int code = gif->Error;
        const bool memory = sink.outOfMemory;
        closeImage();
        if (memory)
            throw std::bad_alloc();
        throw std::runtime_error("a frame could not be encoded (" + gifError(code) + ")");
    };
    const int w = static_cast<int>(width * scale);
    const int h = static_cast<int>(height * scale);
    check(EGifPutImageDesc(gif, 0, 0, w, h, false, map.get()));
    row.resize(static_cast<std::size_t>(w));
    std::uint8_t* const out = row.data();
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint8_t* const in = data + y * width;
        if (scale == 1 && lowestBit) {
            for (std::int64_t x = 0; x < width; ++x)
                out[x] = in[x] & 1;
        } else if (scale == 1) {
            for (std::int64_t x = 0; x < width; ++x)
                out[x] = indexOf[in[x]];
        } else {
            for (std::int64_t x = 0; x < width; ++x)
                std::fill_n(out + x * scale, scale, indexOf[in[x]]);
        }
        // giflib masks the indices in place, which leaves valid ones as they are.
        for (int copy = 0; copy < scale; ++copy)
            check(EGifPutLine(gif, row.data(), w));
    }
    closeImage();
}
