#include "GzipStream.h"

#include "CancelFlag.h"

#include <QIODevice>

#include <algorithm>
#include <new>

namespace {

constexpr qint64 kChunk = qint64{1} << 18;

std::string tooLarge(std::int64_t maxBytes)
{
    return "it inflates to more than " + std::to_string(maxBytes) + " bytes, more than the largest board needs";
}

}  // namespace

std::string GzipStream::inflate(QIODevice& in, std::int64_t maxBytes, const CancelFlag* cancel, QByteArray& out)
{
    // A whole gzip file ends with its last member's size (modulo 2^32): the
    // file inflates to at least that much, so a larger one is refused
    // before anything is inflated. Only a size deflate could reach from
    // this many bytes (at most 1032 times as many) is taken for one: the
    // last bytes of a damaged file say nothing.
    if (const qint64 size = in.size(); !in.isSequential() && size >= 18) {
        const qint64 start = in.pos();
        unsigned char trailer[4] = {};
        if (in.seek(size - 4) && in.read(reinterpret_cast<char*>(trailer), 4) == 4) {
            const std::int64_t claimed =
                std::int64_t(trailer[0] | trailer[1] << 8 | trailer[2] << 16 | std::uint32_t(trailer[3]) << 24);
            if (claimed > maxBytes && claimed <= 1032 * size)
                return tooLarge(maxBytes);
        }
        if (!in.seek(start))
            return "the file cannot be read (" + in.errorString().toStdString() + ")";
    }
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
        return "there is not enough memory to read it";
    struct End {
        z_stream& z;
        ~End() { inflateEnd(&z); }
    } end{z};
    QByteArray input(kChunk, Qt::Uninitialized);
    qint64 produced = 0;
    int status = Z_OK;
    bool inMember = true;
    try {
        out.resize(std::min<qint64>(kChunk, maxBytes + 1));
        for (;;) {
            if (cancel && cancel->cancelled())
                return "the reading was cancelled";
            if (z.avail_in == 0) {
                const qint64 n = in.read(input.data(), kChunk);
                if (n < 0)
                    return "the file cannot be read (" + in.errorString().toStdString() + ")";
                if (n == 0)
                    break;
                z.next_in = reinterpret_cast<Bytef*>(input.data());
                z.avail_in = uInt(n);
            }
            if (!inMember) {  // another member follows the one that ended
                if (inflateReset(&z) != Z_OK)
                    return "it is not a whole gzip file";
                inMember = true;
            }
            if (produced == out.size()) {
                if (produced > maxBytes)
                    break;
                out.resize(std::min<qint64>(out.size() * 2, maxBytes + 1));
            }
            z.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
            z.avail_out = uInt(std::min<qint64>(out.size() - produced, qint64{1} << 30));
            const uInt before = z.avail_out;
            status = ::inflate(&z, Z_NO_FLUSH);
            produced += before - z.avail_out;
            if (status == Z_STREAM_END)
                inMember = false;
            else if (status != Z_OK && status != Z_BUF_ERROR)
                return "it is not a whole gzip file (" + std::string(z.msg ? z.msg : "its data is damaged") + ")";
        }
    } catch (const std::bad_alloc&) {
        return "there is not enough memory to read it";
    }
    if (produced > maxBytes)
        return tooLarge(maxBytes);
    if (inMember)
        return "it is not a whole gzip file (it ends early)";
    out.resize(produced);
    if (produced == 0)
        return "the file is empty";
    return {};
}

GzipStream::GzipStream(QIODevice& out) : out_(out)
{
    ok_ = deflateInit2(&stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
}

GzipStream::~GzipStream()
{
    deflateEnd(&stream_);
}

bool GzipStream::deflateInto(int flush)
{
    char buffer[1 << 16];
    do {
        stream_.next_out = reinterpret_cast<Bytef*>(buffer);
        stream_.avail_out = sizeof buffer;
        const int status = ::deflate(&stream_, flush);
        if (status == Z_STREAM_ERROR)
            return false;
        const qint64 n = qint64(sizeof buffer - stream_.avail_out);
        if (out_.write(buffer, n) != n)
            return false;
    } while (stream_.avail_out == 0);
    return true;
}

bool GzipStream::write(const char* data, std::size_t size)
{
    while (ok_ && size > 0) {
        const auto part = uInt(std::min<std::size_t>(size, std::size_t{1} << 30));
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        stream_.avail_in = part;
        ok_ = deflateInto(Z_NO_FLUSH);
        data += part;
        size -= part;
    }
    return ok_;
}

bool GzipStream::finish()
{
    return ok_ && (ok_ = deflateInto(Z_FINISH));
}
