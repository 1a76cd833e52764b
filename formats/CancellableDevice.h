#pragma once

#include <QIODevice>

class CancelFlag;

// A device that passes reads and writes through to another one until the
// work is cancelled, then fails them. Decoders and encoders that read or
// write through it (the PNG and JPEG codecs, the XML reader) stop at their
// next read or write instead of running to the end of a file nobody wants.
class CancellableDevice : public QIODevice {
public:
    // `inner` must be open; this device opens in the same mode. A null
    // `cancel` never cancels.
    CancellableDevice(QIODevice& inner, const CancelFlag* cancel);

    bool isSequential() const override { return inner_.isSequential(); }
    qint64 size() const override { return inner_.size(); }
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool refuse();

    QIODevice& inner_;
    const CancelFlag* cancel_;
};
