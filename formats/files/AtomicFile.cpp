#include "AtomicFile.h"

#include "CancelFlag.h"
#include "FileMessage.h"

#include <QFileInfo>
#include <QSaveFile>

#include <new>
#include <vector>

#include <sys/stat.h>

// What the content is written to: a megabyte of buffer in front of the
// temporary file, which is opened unbuffered so that every failure reaches
// us with the system's own reason ("No space left on device") rather than
// an unknown error from a half-done flush. A short write is retried, which
// is what brings out that reason. Writes fail once the work is cancelled.
class AtomicFile::Device : public QIODevice {
public:
    Device(QSaveFile& file, const CancelFlag* cancel) : file_(file), cancel_(cancel)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return true; }
    // A write to the file failed: its reason is errorString().
    bool failed() const { return failed_; }

    // Writes out the buffer; false, with errorString() saying why, when it cannot.
    bool flushBuffer()
    {
        qsizetype done = 0;
        while (done < qsizetype(buffer_.size())) {
            const qint64 n = file_.write(buffer_.data() + done, qsizetype(buffer_.size()) - done);
            if (n <= 0) {
                setErrorString(file_.errorString());
                failed_ = true;
                break;
            }
            done += qsizetype(n);
        }
        buffer_.clear();
        return !failed_;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }

    qint64 writeData(const char* data, qint64 size) override
    {
        if (cancel_ && cancel_->cancelled()) {
            setErrorString(QStringLiteral("the save was cancelled"));
            return -1;
        }
        if (failed_)
            return -1;
        try {
            buffer_.insert(buffer_.end(), data, data + size);
        } catch (const std::bad_alloc&) {
            setErrorString(QStringLiteral("there is not enough memory"));
            return -1;
        }
        if (buffer_.size() >= kChunk && !flushBuffer())
            return -1;
        return size;
    }

private:
    static constexpr std::size_t kChunk = std::size_t{1} << 20;

    QSaveFile& file_;
    const CancelFlag* cancel_;
    std::vector<char> buffer_;
    bool failed_ = false;
};

AtomicFile::AtomicFile(std::string path, const CancelFlag* cancel) : path_(std::move(path)), cancel_(cancel) {}

AtomicFile::~AtomicFile()
{
    discard();
}

std::string AtomicFile::failure(const QString& reason) const
{
    return FileMessage::couldNotSave(path_, reason);
}

std::string AtomicFile::open()
{
    const QString name = QString::fromStdString(path_);
    if (QFileInfo(name).fileName().isEmpty())
        return failure(QStringLiteral("no file name was given"));
    // Said here in words of our own: QSaveFile's texts for these repeat the
    // whole path.
    const QFileInfo existing(name);
    if (existing.isDir())
        return failure(QStringLiteral("there is a folder of that name"));
    if (existing.exists() && !existing.isWritable())
        return failure(QStringLiteral("the file is read-only"));
    struct stat status {};
    if (::stat(path_.c_str(), &status) == 0)
        mode_ = status.st_mode & 07777;  // of the link's target, as QSaveFile writes there
    file_ = std::make_unique<QSaveFile>(name);
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QString reason = file_->errorString();
        file_.reset();
        return failure(reason);
    }
    device_ = std::make_unique<Device>(*file_, cancel_);
    return {};
}

QIODevice& AtomicFile::device()
{
    return *device_;
}

std::string AtomicFile::commit()
{
    if (!file_)
        return failure(QStringLiteral("it was not opened"));
    if (!device_->flushBuffer()) {
        const QString reason = device_->errorString();
        discard();
        return failure(reason);
    }
    const bool committed = file_->commit();
    const QString reason = file_->errorString();
    device_.reset();
    file_.reset();
    if (!committed)
        return failure(reason);
    // QSaveFile keeps the old file's permissions, but adds the owner's
    // write permission where the user may write anyway (root).
    struct stat status {};
    if (mode_ && ::stat(path_.c_str(), &status) == 0 && (status.st_mode & 07777) != *mode_)
        ::chmod(path_.c_str(), *mode_);
    return {};
}

void AtomicFile::discard()
{
    device_.reset();
    if (file_) {
        file_->cancelWriting();
        file_.reset();  // removes the temporary file
    }
}

std::string AtomicFile::write(const std::string& path, const Body& body)
{
    return write(path, body, nullptr);
}

std::string AtomicFile::write(const std::string& path, const Body& body, CancelFlag& cancel)
{
    return write(path, body, &cancel);
}

std::string AtomicFile::write(const std::string& path, const Body& body, CancelFlag* cancel)
{
    AtomicFile file(path, cancel);
    if (std::string error = file.open(); !error.empty())
        return error;
    QString reason;
    bool written = false;
    try {
        written = body(file.device(), reason);
    } catch (const std::bad_alloc&) {
        reason = QStringLiteral("there is not enough memory");
    }
    // The new file is put in place only if no cancel came first.
    const bool complete = written && (!cancel || cancel->beginCommit());
    if (cancel && cancel->cancelled())
        return file.failure(QStringLiteral("the save was cancelled"));
    if (!complete) {
        // The file's own reason for a failed write says more than the
        // encoder's report of it.
        if (reason.isEmpty() || file.device_->failed())
            reason = file.device().errorString();
        return file.failure(reason);
    }
    return file.commit();
}
