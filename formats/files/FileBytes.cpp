#include "FileBytes.h"

#include "CancelFlag.h"
#include "GzipStream.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <new>

std::string FileBytes::read(const std::string& path, std::int64_t maxBytes, const CancelFlag* cancel,
                            QByteArray& bytes)
{
    const QString name = QString::fromStdString(path);
    // A pipe or a device would keep the reader waiting, or give no end.
    if (QFileInfo info(name); info.exists() && !info.isFile())
        return info.isDir() ? "it is a folder" : "it is not a regular file";
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return "the file cannot be read (" + file.errorString().toStdString() + ")";
    const qint64 size = file.size();
    if (size == 0)
        return "the file is empty";
    if (size > maxBytes)
        return "the file is too large (" + std::to_string(size) + " bytes)";
    if (GzipStream::isGzip(file.peek(2)))
        return GzipStream::inflate(file, maxBytes, cancel, bytes);
    try {
        bytes = QByteArray(size, Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        return "there is not enough memory to read it";
    }
    qint64 got = 0;
    while (got < size && !(cancel && cancel->cancelled())) {
        const qint64 n = file.read(bytes.data() + got, std::min<qint64>(size - got, qint64{4} << 20));
        if (n <= 0)
            break;
        got += n;
    }
    if (cancel && cancel->cancelled())
        return "the reading was cancelled";
    if (got != size)
        return "the file cannot be read (" + file.errorString().toStdString() + ")";
    return {};
}
