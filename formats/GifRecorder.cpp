#include "GifRecorder.h"

#include "CellBitmap.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The largest side of a GIF image: its sizes are 16-bit fields.
constexpr std::int64_t kMaxGifSide = 65535;

// --- giflib glue -----------------------------------------------------------

struct MemoryOutput {
    std::vector<std::uint8_t>* bytes = nullptr;
    bool outOfMemory = false;
};

int writeToMemory(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<MemoryOutput*>(gif->UserData);
    try {
        out->bytes->insert(out->bytes->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        out->outOfMemory = true;
        return 0;
    }
    return length;
}

struct MemoryInput {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t position = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* buffer, int length)
{
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(length, 0)), in->size - in->position);
    std::memcpy(buffer, in->data + in->position, count);
    in->position += count;
    return static_cast<int>(count);
}

struct FileOutput {
    std::FILE* file = nullptr;
    int error = 0;  // errno of the first failed write
};

int writeToFile(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<FileOutput*>(gif->UserData);
    const std::size_t written = std::fwrite(data, 1, static_cast<std::size_t>(length), out->file);
    if (written != static_cast<std::size_t>(length) && out->error == 0)
        out->error = errno != 0 ? errno : EIO;
    return static_cast<int>(written);
}

struct EncoderCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};
using GifEncoder = std::unique_ptr<GifFileType, EncoderCloser>;

struct DecoderCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifDecoder = std::unique_ptr<GifFileType, DecoderCloser>;

struct MapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColorMap = std::unique_ptr<ColorMapObject, MapFreer>;

std::string gifError(int code)
{
    const char* text = GifErrorString(code);
    return text ? text : "unknown GIF error";
}

std::string errnoText(int error)
{
    return std::error_code(error, std::generic_category()).message();
}

bool sameMap(const ColorMapObject* a, const ColorMapObject* b)
{
    if (!a || !b)
        return a == b;
    return a->ColorCount == b->ColorCount &&
           std::equal(a->Colors, a->Colors + a->ColorCount, b->Colors, b->Colors + b->ColorCount,
                      [](const GifColorType& x, const GifColorType& y) {
                          return x.Red == y.Red && x.Green == y.Green && x.Blue == y.Blue;
                      });
}

// Encodes `board` as a single-image GIF into `out` (cleared first). `indices`
// is scratch space for the board translated into colour indices.
void encodeInto(const CellBitmap& board, std::vector<std::uint8_t>& indices, std::vector<std::uint8_t>& out)
{
    const std::int64_t width = board.pixelsWide();
    const std::int64_t height = board.pixelsHigh();
    if (width > kMaxGifSide || height > kMaxGifSide)
        throw std::runtime_error("the board is " + std::to_string(width) + " by " + std::to_string(height) +
                                 " cells, more than a GIF image can hold (65535 a side)");
    const std::size_t cells = board.cellCount();
    const std::uint8_t* data = board.data();

    // The gray levels on the board, in ascending order, each given the next
    // colour index. Most boards hold only 0 and 255: two colours, one bit a
    // pixel before compression.
    std::array<std::uint8_t, 256> present{};
    for (std::size_t i = 0; i < cells; ++i)
        present[data[i]] = 1;
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

    indices.resize(cells);
    for (std::size_t i = 0; i < cells; ++i)
        indices[i] = indexOf[data[i]];

    out.clear();
    MemoryOutput sink{&out, false};
    int error = 0;
    GifEncoder gif(EGifOpen(&sink, writeToMemory, &error));
    if (!gif)
        throw std::bad_alloc();
    ColorMap map(GifMakeMapObject(tableSize, colors.data()));
    if (!map)
        throw std::bad_alloc();
    EGifSetGifVersion(gif.get(), true);
    auto check = [&](int result) {
        if (result == GIF_OK)
            return;
        if (sink.outOfMemory)
            throw std::bad_alloc();
        throw std::runtime_error("a frame could not be encoded (" + gifError(gif->Error) + ")");
    };
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    check(EGifPutScreenDesc(gif.get(), w, h, 8, 0, map.get()));
    check(EGifPutImageDesc(gif.get(), 0, 0, w, h, false, nullptr));
    // The whole image in one call; giflib masks the indices in place, which
    // is why they live in a buffer of our own.
    check(EGifPutLine(gif.get(), indices.data(), static_cast<int>(cells)));
    GifFileType* raw = gif.release();
    if (EGifCloseFile(raw, &error) != GIF_OK) {
        if (sink.outOfMemory)
            throw std::bad_alloc();
        throw std::runtime_error("a frame could not be encoded (" + gifError(error) + ")");
    }
}

// "2 GB", "512 MB", "1.5 GB", "300 bytes": a size for a message.
std::string sizeText(std::size_t bytes)
{
    static constexpr std::array<std::pair<std::size_t, const char*>, 3> units{{
        {std::size_t{1} << 30, "GB"}, {std::size_t{1} << 20, "MB"}, {std::size_t{1} << 10, "KB"}}};
    for (const auto& [unit, name] : units) {
        if (bytes < unit)
            continue;
        if (bytes % unit == 0)
            return std::to_string(bytes / unit) + " " + name;
        char text[64];
        std::snprintf(text, sizeof text, "%.1f %s", static_cast<double>(bytes) / static_cast<double>(unit), name);
        return text;
    }
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

std::string generationsText(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " generation" : " generations");
}

// A name for the temporary file that no other writer picks at the same time.
std::string temporaryName(const std::string& name, const void* writer, int attempt)
{
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t mix = static_cast<std::uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ull;
    mix ^= static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(writer)) * 0xC2B2AE3D27D4EB4Full;
    mix ^= static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    mix ^= (counter.fetch_add(1) + static_cast<std::uint64_t>(attempt)) * 0x165667B19E3779F9ull;
    mix ^= mix >> 29;
    char suffix[17];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(mix));
    // Keep the name well inside the file system's limit on one name.
    std::string result(1, '.');
    result.append(name, 0, 100);
    result.append(1, '.');
    result.append(suffix);
    result.append(".tmp");
    return result;
}

}  // namespace

GifRecorder::GifRecorder(std::string path, std::size_t frameMemoryLimit)
    : path_(std::move(path)), limit_(frameMemoryLimit)
{
}

GifRecorder::~GifRecorder()
{
    if (encoder_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
            queue_.clear();  // never written: not worth encoding
        }
        changed_.notify_all();
        encoder_.join();
    }
}

std::vector<std::uint8_t> GifRecorder::encodeFrame(const CellBitmap& board)
{
    std::vector<std::uint8_t> indices;
    std::vector<std::uint8_t> out;
    encodeInto(board, indices, out);
    return out;
}

void GifRecorder::capture(std::shared_ptr<const CellBitmap> board)
{
    if (!board || finished_)
        return;
    if (full_.load())
        return;  // the frames end with the one that reached the limit or failed
    if (!encoder_.joinable()) {
        try {
            encoder_ = std::thread([this] { encoderLoop(); });
        } catch (const std::system_error&) {
            encodeOne(*board);  // no thread to be had: encode here
            return;
        }
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kQueueDepth; });
    const std::size_t bound = frameBound(*board);
    try {
        queue_.push_back(std::move(board));
    } catch (const std::bad_alloc&) {
        failure_ = "there was not enough memory for its next frame";
        full_.store(true);
        return;
    }
    inFlight_ += bound;
    changed_.notify_all();
    // Near the limit, wait until the frames handed over are encoded, so
    // that full() tells at once whether this one reached it.
    changed_.wait(lock, [this] { return inFlight_ == 0 || encodedBytes_.load() + inFlight_ < limit_; });
}

std::size_t GifRecorder::frameBound(const CellBitmap& board)
{
    // LZW writes at most one code of up to 12 bits per pixel, in blocks of
    // 255 bytes; the headers and a full colour table take under 1 KiB.
    return board.cellCount() * 2 + 1024;
}

bool GifRecorder::full() const
{
    return full_.load();
}

void GifRecorder::encoderLoop()
{
    for (;;) {
        std::shared_ptr<const CellBitmap> board;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !queue_.empty() || closing_; });
            if (queue_.empty())
                return;
            board = std::move(queue_.front());
            queue_.pop_front();
        }
        changed_.notify_all();
        encodeOne(*board);
        {
            std::lock_guard lock(mutex_);
            inFlight_ -= frameBound(*board);
        }
        changed_.notify_all();
    }
}

void GifRecorder::encodeOne(const CellBitmap& board)
{
    // Scratch buffers reused from frame to frame; each is touched by one
    // encoder at a time (the encoder thread, or the run when it has none).
    static thread_local std::vector<std::uint8_t> indices;
    static thread_local std::vector<std::uint8_t> out;
    std::string failure;
    try {
        encodeInto(board, indices, out);
        Frame frame;
        frame.gif.assign(out.begin(), out.end());  // exactly as large as it needs to be
        frame.width = static_cast<int>(board.pixelsWide());
        frame.height = static_cast<int>(board.pixelsHigh());
        const std::size_t bytes = frame.gif.size();
        frames_.push_back(std::move(frame));
        const std::size_t total = encodedBytes_.fetch_add(bytes) + bytes;
        if (total >= limit_) {
            limitReached_.store(true);
            full_.store(true);
        }
        return;
    } catch (const std::bad_alloc&) {
        failure = "there was not enough memory for its next frame";
    } catch (const std::exception& e) {
        failure = e.what();
    }
    std::lock_guard lock(mutex_);
    if (failure_.empty())
        failure_ = failure;
    for (const auto& dropped : queue_)  // later frames would leave a gap
        inFlight_ -= frameBound(*dropped);
    queue_.clear();
    full_.store(true);
}

RecordingResult GifRecorder::finish(RunEnd)
{
    if (finished_)
        return {};
    finished_ = true;
    if (encoder_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
        }
        changed_.notify_all();
        encoder_.join();
    }
    std::vector<Frame> frames = std::move(frames_);
    std::string failure;
    {
        std::lock_guard lock(mutex_);
        failure = failure_;
    }

    if (frames.empty()) {
        if (failure.empty())
            return {};
        return {false, "No animation was written: " + failure + "."};
    }
    const std::size_t count = frames.size();
    RecordingResult result = write(frames);
    frames.clear();
    if (!result.written)
        return result;
    if (!failure.empty())
        result.message = "The recording stopped after " + generationsText(count) + ": " + failure + ".";
    else if (limitReached_.load())
        result.message = "The recording stopped after " + generationsText(count) +
                         ": its frames reached the " + limitText() + " limit.";
    return result;
}

std::string GifRecorder::limitText() const
{
    return sizeText(limit_);
}

RecordingResult GifRecorder::write(const std::vector<Frame>& frames) const
{
    namespace fs = std::filesystem;
    const fs::path target(path_);
    std::string name = target.filename().string();
    if (name.empty())
        name = path_;
    auto failed = [&](const std::string& reason) {
        return RecordingResult{false, "The animation could not be written to \u201C" + name + "\u201D: " + reason + "."};
    };
    if (target.filename().empty())
        return failed("No file name was given");

    struct stat status {};
    if (::stat(path_.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
        return failed("There is a folder of that name");

    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";

    // The temporary file: in the destination's folder, so that the rename
    // that puts it in place never copies.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = (folder / temporaryName(name, this, attempt)).string();
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return failed(errnoText(errno));

    FileOutput sink;
    sink.file = ::fdopen(fd, "wb");
    if (!sink.file) {
        const int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        return failed(errnoText(error));
    }
    std::setvbuf(sink.file, nullptr, _IOFBF, std::size_t{1} << 20);

    // Writes everything; returns an empty string or why it failed.
    auto writeAll = [&]() -> std::string {
        int error = 0;
        GifEncoder gif(EGifOpen(&sink, writeToFile, &error));
        if (!gif)
            return gifError(error);
        auto failure = [&](int code) -> std::string {
            if (sink.error != 0)
                return errnoText(sink.error);
            return gifError(code);
        };

        int screenWidth = 0;
        int screenHeight = 0;
        for (const Frame& frame : frames) {
            screenWidth = std::max(screenWidth, frame.width);
            screenHeight = std::max(screenHeight, frame.height);
        }

        EGifSetGifVersion(gif.get(), true);
        ColorMap global;  // the first frame's table, shared by the frames that have the same
        bool first = true;
        for (const Frame& frame : frames) {
            MemoryInput source{frame.gif.data(), frame.gif.size(), 0};
            GifDecoder in(DGifOpen(&source, readFromMemory, &error));
            if (!in)
                return "a frame could not be read (" + gifError(error) + ")";
            int record = UNDEFINED_RECORD_TYPE;
            do {
                if (DGifGetRecordType(in.get(), reinterpret_cast<GifRecordType*>(&record)) != GIF_OK)
                    return "a frame could not be read (" + gifError(in->Error) + ")";
                if (record == EXTENSION_RECORD_TYPE) {  // our frames have none; skip any
                    int code = 0;
                    GifByteType* block = nullptr;
                    if (DGifGetExtension(in.get(), &code, &block) != GIF_OK)
                        return "a frame could not be read (" + gifError(in->Error) + ")";
                    while (block)
                        if (DGifGetExtensionNext(in.get(), &block) != GIF_OK)
                            return "a frame could not be read (" + gifError(in->Error) + ")";
                } else if (record == TERMINATE_RECORD_TYPE) {
                    return "a frame holds no image";
                }
            } while (record != IMAGE_DESC_RECORD_TYPE);
            if (DGifGetImageDesc(in.get()) != GIF_OK)
                return "a frame could not be read (" + gifError(in->Error) + ")";
            const ColorMapObject* map = in->Image.ColorMap ? in->Image.ColorMap : in->SColorMap;
            if (!map)
                return "a frame has no colour table";

            if (first) {
                global.reset(GifMakeMapObject(map->ColorCount, map->Colors));
                if (!global)
                    return "there was not enough memory";
                if (EGifPutScreenDesc(gif.get(), screenWidth, screenHeight, 8, 0, global.get()) != GIF_OK)
                    return failure(gif->Error);
                // NETSCAPE2.0 application extension: loop count 0, forever.
                static const GifByteType netscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
                static const GifByteType loop[] = {1, 0, 0};
                if (EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
                    EGifPutExtensionBlock(gif.get(), sizeof netscape, netscape) != GIF_OK ||
                    EGifPutExtensionBlock(gif.get(), sizeof loop, loop) != GIF_OK ||
                    EGifPutExtensionTrailer(gif.get()) != GIF_OK)
                    return failure(gif->Error);
                first = false;
            }

            GraphicsControlBlock control{};
            control.DisposalMode = DISPOSE_DO_NOT;
            control.UserInputFlag = false;
            control.DelayTime = kFrameDelay;
            control.TransparentColor = NO_TRANSPARENT_COLOR;
            GifByteType extension[4];
            const auto length = EGifGCBToExtension(&control, extension);
            if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) != GIF_OK)
                return failure(gif->Error);

            // The image takes the shared table when it has the same one, else
            // its own. Either way its code size is the frame's, so the
            // compressed data fits as it is.
            ColorMapObject* local = sameMap(map, global.get()) ? nullptr : const_cast<ColorMapObject*>(map);
            if (EGifPutImageDesc(gif.get(), 0, 0, in->Image.Width, in->Image.Height, in->Image.Interlace,
                                 local) != GIF_OK)
                return failure(gif->Error);
            int codeSize = 0;
            GifByteType* block = nullptr;
            if (DGifGetCode(in.get(), &codeSize, &block) != GIF_OK)
                return "a frame could not be read (" + gifError(in->Error) + ")";
            if (codeSize != std::max(2, map->BitsPerPixel))
                return "a frame is damaged";
            while (block) {
                if (EGifPutCodeNext(gif.get(), block) != GIF_OK)
                    return failure(gif->Error);
                if (DGifGetCodeNext(in.get(), &block) != GIF_OK)
                    return "a frame could not be read (" + gifError(in->Error) + ")";
            }
            if (EGifPutCodeNext(gif.get(), nullptr) != GIF_OK)
                return failure(gif->Error);
        }
        GifFileType* raw = gif.release();
        if (EGifCloseFile(raw, &error) != GIF_OK)
            return sink.error != 0 ? errnoText(sink.error) : gifError(error);
        if (sink.error != 0)
            return errnoText(sink.error);
        return {};
    };

    std::string reason = writeAll();
    if (reason.empty() && std::fflush(sink.file) != 0)
        reason = errnoText(errno);
    if (reason.empty() && ::fsync(fd) != 0)
        reason = errnoText(errno);
    if (std::fclose(sink.file) != 0 && reason.empty())
        reason = errnoText(errno);
    if (reason.empty() && std::rename(temporary.c_str(), path_.c_str()) != 0)
        reason = errnoText(errno);
    if (!reason.empty()) {
        ::unlink(temporary.c_str());
        reason[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])));
        return failed(reason);
    }
    return {true, {}};
}
