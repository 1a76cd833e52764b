#include "PatternReader.h"

#include "FileBytes.h"
#include "FileMessage.h"
#include "GzipStream.h"
#include "PatternFile.h"
#include "PatternInterchange.h"

#include <QFile>

bool PatternReader::isPropertyList(std::string_view start)
{
    if (start.starts_with("bplist0"))
        return true;
    if (start.starts_with("\xEF\xBB\xBF"))
        start.remove_prefix(3);
    while (!start.empty() && (start.front() == ' ' || start.front() == '\t' || start.front() == '\r' ||
                              start.front() == '\n'))
        start.remove_prefix(1);
    return start.starts_with("<?xml") || start.starts_with("<!DOCTYPE") || start.starts_with("<plist");
}

BoardLoad PatternReader::parse(std::string_view bytes, const std::string& name, PatternTarget target)
{
    if (isPropertyList(bytes.substr(0, 256)))
        return PatternFile::parse(bytes.data(), bytes.size(), name, {});
    return PatternInterchange::parse(bytes, name, target);
}

BoardLoad PatternReader::read(const std::string& path, PatternTarget target, const CancelFlag* cancel)
{
    QByteArray start;
    if (QFile file(QString::fromStdString(path)); file.open(QIODevice::ReadOnly))
        start = file.peek(256);
    // The application's own files, as they are, go where large ones are
    // streamed; everything else is read whole (and inflated) first.
    if (!GzipStream::isGzip(start) && isPropertyList({start.constData(), std::size_t(start.size())}))
        return PatternFile::read(path, {}, cancel);
    const std::string name = FileMessage::fileName(path);
    QByteArray bytes;
    if (std::string reason = FileBytes::read(path, PatternInterchange::kMaxFileBytes, cancel, bytes);
        !reason.empty())
        return {nullptr, FileMessage::cannotOpen(name, "a pattern", reason)};
    return parse({bytes.constData(), std::size_t(bytes.size())}, name, target);
}
