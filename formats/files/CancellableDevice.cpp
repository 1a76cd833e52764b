#include "CancellableDevice.h"

#include "CancelFlag.h"

CancellableDevice::CancellableDevice(QIODevice& inner, const CancelFlag* cancel) : inner_(inner), cancel_(cancel)
{
    // Unbuffered: the inner device buffers, and a read-ahead here would
    // take bytes past what the caller has asked for.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (!inner.isSequential())
        QIODevice::seek(inner.pos());
}

bool CancellableDevice::seek(qint64 pos)
{
    return !refuse() && inner_.seek(pos) && QIODevice::seek(pos);
}

bool CancellableDevice::refuse()
{
    if (!cancel_ || !cancel_->cancelled())
        return false;
    setErrorString(QStringLiteral("cancelled"));
    return true;
}

qint64 CancellableDevice::readData(char* data, qint64 maxSize)
{
    if (refuse())
        return -1;
    const qint64 got = inner_.read(data, maxSize);
    if (got < 0)
        setErrorString(inner_.errorString());
    return got;
}
