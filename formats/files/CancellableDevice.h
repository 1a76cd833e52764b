#pragma once

#include <QIODevice>

class CancelFlag;

// A device that passes reads through to another one until the work is
// cancelled, then fails them. The decoders that read through it (the PNG and
// JPEG codecs, the XML reader) stop at their next read instead of running to
// the end of a file nobody wants any more.
class CancellableDevice : public QIODevice {
public:
    // `inner` must be open for reading. A null `cancel` never cancels.
    CancellableDevice(QIODevice& inner, const CancelFlag* cancel);

    bool isSequential() const override { return inner_.isSequential(); }
    qint64 size() const override { return inner_.size(); }
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    bool refuse();

    QIODevice& inner_;
    const CancelFlag* cancel_;
};
