#pragma once

#include "FileMessage.h"

#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class CancelFlag;
class QSaveFile;

// The one careful writer every file goes through. The content goes to a
// temporary file beside the target (QSaveFile), which replaces the target
// only once it is complete, so a file appears whole or not at all. An
// existing file keeps its permissions; a symbolic link stays a link and its
// target gets the new content; a destination that cannot be written is
// reported once, with one message naming the file; and the temporary file
// never stays behind, whatever happens (short of the process dying).
class AtomicFile {
public:
    using Body = std::function<bool(QIODevice& device, QString& reason)>;

    // `body` writes the content to the device (sequential: no seeking) and
    // returns false when it cannot, leaving in `reason` why (the device's
    // own error when empty).
    // Returns "" on success, otherwise a message naming the file; on failure
    // whatever was at the path stays untouched.
    static std::string write(const std::string& path, const Body& body);
    // The same, called off when `cancel` is: the file then stays as it was.
    static std::string write(const std::string& path, const Body& body, CancelFlag& cancel);

    // For content that comes piece by piece, over time (a recording):
    // open(), write to device(), then commit(). Dropped without a commit,
    // the temporary file goes and the target stays as it was. One thread
    // at a time. Writes fail once `cancel` (if any) is called.
    explicit AtomicFile(std::string path, const CancelFlag* cancel = nullptr);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // "" when the temporary file is ready, otherwise a message naming the file.
    std::string open();
    QIODevice& device();
    // Puts the new file in place: "" or a message naming the file.
    std::string commit();
    // Drops what was written; the target stays as it was.
    void discard();

    // The message for a write that failed for `reason`.
    std::string failure(const QString& reason) const;

private:
    class Device;
    static std::string write(const std::string& path, const Body& body, CancelFlag* cancel);

    std::string path_;
    const CancelFlag* cancel_;
    std::unique_ptr<QSaveFile> file_;
    std::unique_ptr<Device> device_;
    std::optional<unsigned> mode_;  // the permissions of the file being replaced
};
