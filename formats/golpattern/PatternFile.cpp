#include "PatternFile.h"

#include "BinaryPatternReader.h"
#include "CancelFlag.h"
#include "CancellableDevice.h"
#include "ExactPatternReader.h"
#include "FileMessage.h"
#include "PatternWriter.h"
#include "XmlPatternReader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <new>

namespace {

std::string openError(const std::string& fileName, const std::string& reason)
{
    return FileMessage::cannotOpen(fileName, "a pattern", reason);
}

constexpr char kBinaryMagic[] = "bplist0";
constexpr std::size_t kMagicLength = sizeof kBinaryMagic - 1;

// The whole file, read a few megabytes at a time to notice a cancel; an
// error message when it cannot be had (shortened meanwhile, a read error).
std::string readWhole(QIODevice& device, qint64 size, const std::string& name, const CancelFlag* cancel,
                      QByteArray& bytes)
{
    bytes = QByteArray(size, Qt::Uninitialized);
    qint64 got = 0;
    while (got < size) {
        const qint64 n = device.read(bytes.data() + got, std::min<qint64>(size - got, qint64{4} << 20));
        if (n <= 0)
            break;
        got += n;
    }
    if (cancel && cancel->cancelled())
        return openError(name, "the reading was cancelled");
    if (got != size)
        return openError(name, "the file cannot be read (" + device.errorString().toStdString() + ")");
    return {};
}

// XML: exactly as written, or through the XML reader.
BoardLoad readXml(const QByteArray& bytes, const std::string& name, LogicalSize logicalSize, const CancelFlag* cancel)
{
    if (auto load = ExactPatternReader::read(bytes.constData(), static_cast<std::size_t>(bytes.size()), name,
                                             logicalSize, cancel))
        return std::move(*load);
    QByteArray view = QByteArray::fromRawData(bytes.constData(), bytes.size());
    QBuffer buffer(&view);
    buffer.open(QIODevice::ReadOnly);
    return XmlPatternReader::read(buffer, name, logicalSize, cancel);
}

}  // namespace

std::string PatternFile::toXml(const CellBitmap* board, const LifeLikeRule& rule)
{
    return PatternWriter::toXml(board, rule);
}

std::string PatternFile::write(const CellBitmap* board, const std::string& path, CancelFlag* cancel,
                               const LifeLikeRule& rule)
{
    return PatternWriter::write(board, path, cancel, rule);
}

BoardLoad PatternFile::read(const std::string& path, LogicalSize logicalSize, const CancelFlag* cancel)
{
    const std::string name = FileMessage::fileName(path);
    const QString file = QString::fromStdString(path);
    // A pipe or a device would keep the reader waiting, or give no end.
    if (QFileInfo info(file); info.exists() && !info.isFile())
        return {nullptr, openError(name, info.isDir() ? "it is a folder" : "it is not a regular file")};
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {nullptr, openError(name, "the file cannot be read (" + in.errorString().toStdString() + ")")};
    const qint64 size = in.size();
    if (size == 0)
        return {nullptr, openError(name, "the file is empty")};
    if (size > kMaxFileBytes)
        return {nullptr, openError(name, "the file is too large (" + std::to_string(size) + " bytes)")};
    try {
        CancellableDevice device(in, cancel);
        const bool binary = device.peek(kMagicLength) == kBinaryMagic;
        if (!binary && size > qint64(ExactPatternReader::kMaxFileBytes))
            return XmlPatternReader::read(device, name, logicalSize, cancel);  // streamed
        // The binary form is read where it lies; XML small enough to be
        // exactly as written, too.
        QByteArray bytes;
        if (std::string error = readWhole(device, size, name, cancel, bytes); !error.empty())
            return {nullptr, error};
        if (binary)
            return BinaryPatternReader::read(reinterpret_cast<const unsigned char*>(bytes.constData()),
                                             static_cast<std::size_t>(size), name, logicalSize, cancel);
        return readXml(bytes, name, logicalSize, cancel);
    } catch (const std::bad_alloc&) {
        return {nullptr, openError(name, "there is not enough memory to read it")};
    }
}

BoardLoad PatternFile::parse(const char* data, std::size_t size, const std::string& fileName,
                             LogicalSize logicalSize)
{
    if (size == 0 || !data)
        return {nullptr, openError(fileName, "the file is empty")};
    if (size > static_cast<std::uint64_t>(kMaxFileBytes))
        return {nullptr, openError(fileName, "the file is too large (" + std::to_string(size) + " bytes)")};
    try {
        if (size >= kMagicLength && std::memcmp(data, kBinaryMagic, kMagicLength) == 0)
            return BinaryPatternReader::read(reinterpret_cast<const unsigned char*>(data), size, fileName,
                                             logicalSize, nullptr);
        return readXml(QByteArray::fromRawData(data, static_cast<qsizetype>(size)), fileName, logicalSize, nullptr);
    } catch (const std::bad_alloc&) {
        return {nullptr, openError(fileName, "there is not enough memory to read it")};
    }
}
