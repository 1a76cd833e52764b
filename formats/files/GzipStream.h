#pragma once

#include <QByteArray>

#include <cstdint>
#include <string>

#include <zlib.h>

class CancelFlag;
class QIODevice;

// gzip, as Life programs compress their patterns (".rle.gz", ".mc.gz"):
// recognised by its first two bytes, whatever the file is called, and
// inflated as it is read, a chunk at a time, never to more than the caller's
// bound, so that a small file that would inflate without end is refused as
// soon as it passes that bound. Writing deflates as the text is made.
class GzipStream {
public:
    static bool isGzip(const QByteArray& start)
    {
        return start.size() >= 2 && static_cast<unsigned char>(start[0]) == 0x1f &&
               static_cast<unsigned char>(start[1]) == 0x8b;
    }

    // "" with the inflated bytes of every member in `out`, or why they cannot
    // be had, as a clause for a message.
    static std::string inflate(QIODevice& in, std::int64_t maxBytes, const CancelFlag* cancel, QByteArray& out);

    // Deflates what it is given onto `out` as one gzip member.
    explicit GzipStream(QIODevice& out);
    ~GzipStream();
    GzipStream(const GzipStream&) = delete;
    GzipStream& operator=(const GzipStream&) = delete;
    bool write(const char* data, std::size_t size);
    bool finish();

private:
    bool deflateInto(int flush);

    QIODevice& out_;
    z_stream stream_{};
    bool ok_ = false;
};
