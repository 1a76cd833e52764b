// Feeds arbitrary bytes to the gzip inflater, and what inflates to the
// readers chosen by content. The inflater gives bytes or a reason, never more
// bytes than its bound nor none; the reader's outcome is checked as
// PatternCheck says.

#include "GzipStream.h"
#include "PatternCheck.h"
#include "PatternInterchange.h"

#include <QBuffer>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    QByteArray out;
    constexpr std::int64_t kBound = 1 << 20;
    const std::string reason = GzipStream::inflate(in, kBound, nullptr, out);
    if (reason.empty() && (out.size() > kBound || out.isEmpty()))
        std::abort();
    if (reason.empty())
        check(PatternInterchange::parse({out.constData(), std::size_t(out.size())}, "fuzz", PatternTarget::shown(16, 12)));
    return 0;
}
