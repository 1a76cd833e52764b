#include "ImageFile.h"

#include "AtomicFile.h"
#include "CancellableDevice.h"
#include "FileMessage.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

std::string openError(const std::string& fileName, const std::string& reason)
{
    return FileMessage::cannotOpen(fileName, "an image", reason);
}

// Rec. 601 luma in integer arithmetic; the weights add up to 1000, so equal
// channels give that same value back exactly.
constexpr std::uint32_t luma(std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return (r * 299 + g * 587 + b * 114 + 500) / 1000;
}

// Gray on white: a fully transparent pixel is white, an opaque one its gray.
constexpr std::uint32_t onWhite(std::uint32_t gray, std::uint32_t alpha, std::uint32_t max)
{
    return static_cast<std::uint32_t>(
        (std::uint64_t{gray} * alpha + std::uint64_t{max} * (max - alpha) + max / 2) / max);
}

static_assert(luma(77, 77, 77) == 77);
static_assert(onWhite(0, 0, 255) == 255 && onWhite(13, 255, 255) == 13);

// Points per pixel along one axis: 72 / dpi where the image gives a
// resolution, else 1. Resolutions are stored in dots per metre, so a value
// within a twentieth of a whole dpi is taken as that whole dpi (2835 dots per
// metre is 72 dpi).
double pointsPerPixel(int dotsPerMeter, int defaultDotsPerMeter)
{
    if (dotsPerMeter <= 0 || dotsPerMeter == defaultDotsPerMeter)
        return 1.0;
    double dpi = dotsPerMeter * 0.0254;
    if (std::abs(dpi - std::round(dpi)) < 0.05)
        dpi = std::round(dpi);
    return 72.0 / dpi;
}

std::unique_ptr<CellBitmap> toBoard(QImage& image)
{
    const int w = image.width();
    const int h = image.height();
    // A freshly made image carries Qt's default resolution; an image that was
    // decoded with the same value gave none of its own.
    const QImage blank(1, 1, QImage::Format_Grayscale8);
    const LogicalSize size{w * pointsPerPixel(image.dotsPerMeterX(), blank.dotsPerMeterX()),
                           h * pointsPerPixel(image.dotsPerMeterY(), blank.dotsPerMeterY())};
    auto board = CellBitmap::create(w, h, size);
    if (!board)
        return nullptr;

    switch (image.format()) {
    case QImage::Format_Grayscale8:
        for (int y = 0; y < h; ++y)
            std::memcpy(board->row(y), image.constScanLine(y), static_cast<std::size_t>(w));
        return board;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        break;
    default:
        if (image.depth() > 32 || image.format() == QImage::Format_Grayscale16)
            image.convertTo(QImage::Format_RGBA64);
        else
            image.convertTo(QImage::Format_ARGB32);
        if (image.isNull())
            return nullptr;
        break;
    }

    if (image.format() == QImage::Format_RGBA64) {
        for (int y = 0; y < h; ++y) {
            const auto* in = reinterpret_cast<const QRgba64*>(image.constScanLine(y));
            std::uint8_t* out = board->row(y);
            for (int x = 0; x < w; ++x) {
                const QRgba64 p = in[x];
                const std::uint32_t gray = onWhite(luma(p.red(), p.green(), p.blue()), p.alpha(), 65535);
                out[x] = static_cast<std::uint8_t>((gray * 255 + 32767) / 65535);
            }
        }
        return board;
    }

    const bool premultiplied = image.format() == QImage::Format_ARGB32_Premultiplied;
    const bool opaque = image.format() == QImage::Format_RGB32;
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::uint8_t* out = board->row(y);
        for (int x = 0; x < w; ++x) {
            const QRgb p = in[x];
            const std::uint32_t gray = luma(qRed(p), qGreen(p), qBlue(p));
            std::uint32_t v = gray;
            if (premultiplied)
                v = gray + (255 - static_cast<std::uint32_t>(qAlpha(p)));  // gray already carries alpha
            else if (!opaque)
                v = onWhite(gray, static_cast<std::uint32_t>(qAlpha(p)), 255);
            out[x] = static_cast<std::uint8_t>(v > 255 ? 255 : v);
        }
    }
    return board;
}

BoardLoad load(QIODevice* device, const std::string& fileName)
{
    QImageReader reader(device);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(ImageFile::kAllocationLimitMiB);
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg")
        return {nullptr, openError(fileName, "it is not a PNG or JPEG image")};

    const QSize announced = reader.size();
    if (announced.isValid() && !CellBitmap::sizeFits(announced.width(), announced.height())) {
        return {nullptr, openError(fileName, "its size of " + std::to_string(announced.width()) + " \u00d7 " +
                                                 std::to_string(announced.height()) +
                                                 " pixels does not fit a board (at most " +
                                                 std::to_string(CellBitmap::kMaxCells) + " cells)")};
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        const QString why = reader.errorString();
        return {nullptr, openError(fileName, "it cannot be decoded (" + why.toStdString() + ")")};
    }
    if (!CellBitmap::sizeFits(image.width(), image.height()))
        return {nullptr, openError(fileName, "its size does not fit a board")};
    auto board = toBoard(image);
    if (!board)
        return {nullptr, openError(fileName, "there is not enough memory for its board")};
    return {std::move(board), {}};
}

}  // namespace

std::string ImageFile::sizeProblem(std::int64_t width, std::int64_t height, int scale)
{
    if (scale < 1)
        return "the scale " + std::to_string(scale) + " is not a whole number of pixels a cell";
    const std::int64_t w = width * scale;
    const std::int64_t h = height * scale;
    if (w > kMaxExportPixels / h)
        return "at " + std::to_string(scale) + " pixels a cell the image would be " + std::to_string(w) +
               " \u00d7 " + std::to_string(h) + " pixels, more than the " + std::to_string(kMaxExportPixels) +
               " an exported image may have";
    return {};
}

std::string ImageFile::writePng(const CellBitmap& board, const std::string& path, int scale, CancelFlag* cancel)
{
    if (const std::string why = sizeProblem(board.pixelsWide(), board.pixelsHigh(), scale); !why.empty())
        return FileMessage::couldNotSave(path, QString::fromStdString(why));
    const auto w = static_cast<int>(board.pixelsWide());
    const auto h = static_cast<int>(board.pixelsHigh());
    QImage image(w * scale, h * scale, QImage::Format_Grayscale8);
    if (image.isNull())
        return FileMessage::couldNotSave(path, QStringLiteral("there is not enough memory"));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* cells = board.row(y);
        uchar* line = image.scanLine(y * scale);
        if (scale == 1) {
            std::memcpy(line, cells, static_cast<std::size_t>(w));
            continue;
        }
        for (int x = 0; x < w; ++x)
            std::memset(line + std::size_t(x) * std::size_t(scale), cells[x], std::size_t(scale));
        for (int copy = 1; copy < scale; ++copy)
            std::memcpy(image.scanLine(y * scale + copy), line, std::size_t(w) * std::size_t(scale));
    }
    // One point per pixel: 72 dpi, stored as dots per metre.
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);

    const AtomicFile::Body body = [&image](QIODevice& device, QString& reason) {
        QImageWriter writer(&device, "png");
        if (writer.write(image))
            return true;
        reason = writer.errorString();
        return false;
    };
    return cancel ? AtomicFile::write(path, body, *cancel) : AtomicFile::write(path, body);
}

BoardLoad ImageFile::read(const std::string& path, const CancelFlag* cancel)
{
    const std::string name = FileMessage::fileName(path);
    const QString fileName = QString::fromStdString(path);
    // A pipe or a device would keep the reader waiting, or give no end.
    if (QFileInfo info(fileName); info.exists() && !info.isFile())
        return {nullptr, openError(name, info.isDir() ? "it is a folder" : "it is not a regular file")};
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {nullptr, openError(name, "the file cannot be read (" + file.errorString().toStdString() + ")")};
    // Through a device that fails once cancelled, so the decoder gives up
    // at its next read.
    CancellableDevice device(file, cancel);
    return load(&device, name);
}

BoardLoad ImageFile::decode(const char* data, std::size_t size, const std::string& fileName)
{
    if (!data || size == 0)
        return {nullptr, openError(fileName, "the file is empty")};
    QByteArray bytes = QByteArray::fromRawData(data, static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {nullptr, openError(fileName, "it cannot be read")};
    return load(&buffer, fileName);
}
