#pragma once

#include "FileMessage.h"

#include <QSaveFile>

#include <functional>
#include <new>
#include <string>

// Writes a file so that it appears whole or not at all: the content goes to a
// temporary file beside the target, which replaces the target only once it is
// complete. An earlier file at the path is left untouched by a failed write.
class AtomicFile {
public:
    // `body` writes the content to the device and returns false when it
    // cannot, leaving in `reason` why (the device's own error when empty).
    // Returns "" on success, otherwise a message naming the file.
    static std::string write(const std::string& path,
                             const std::function<bool(QIODevice& device, QString& reason)>& body)
    {
        QSaveFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::WriteOnly))
            return FileMessage::couldNotSave(path, file.errorString());
        QString reason;
        bool written = false;
        try {
            written = body(file, reason);
        } catch (const std::bad_alloc&) {
            reason = QStringLiteral("there is not enough memory");
        }
        if (!written) {
            if (reason.isEmpty())
                reason = file.errorString();
            file.cancelWriting();
            return FileMessage::couldNotSave(path, reason);
        }
        if (!file.commit())
            return FileMessage::couldNotSave(path, file.errorString());
        return {};
    }
};
