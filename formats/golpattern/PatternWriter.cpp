#include "PatternWriter.h"

#include "AtomicFile.h"
#include "CellBitmap.h"
#include "RuleName.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string_view>

namespace {

void appendInteger(std::string& out, std::string_view indent, std::int64_t value)
{
    out += indent;
    out += "<integer>";
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
    out += "</integer>\n";
}

// Writes the XML of a board in order, handing it to `flush` whenever the
// buffer holds `chunk` bytes or more, and once more at the end. Stops early
// when `flush` returns false.
template <class Flush>
bool streamXml(const CellBitmap* board, const LifeLikeRule& rule, std::size_t chunk, Flush&& flush)
{
    const std::int64_t w = board ? board->pixelsWide() : 0;
    const std::int64_t h = board ? board->pixelsHigh() : 0;
    std::string out;
    // Each cell takes at most "\t\t\t<integer>255</integer>\n", 26 bytes.
    const std::uint64_t total = 512 + static_cast<std::uint64_t>(w) * (12 + static_cast<std::uint64_t>(h) * 26);
    out.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(total, chunk + 4096)));
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n"
           "<dict>\n"
           "\t<key>bitMapPixelSize</key>\n"
           "\t<array>\n";
    appendInteger(out, "\t\t", w);
    appendInteger(out, "\t\t", h);
    out += "\t</array>\n"
           "\t<key>bitMapPixelData</key>\n";
    if (w == 0) {
        out += "\t<array/>\n";
    } else {
        out += "\t<array>\n";
        for (std::int64_t x = 0; x < w; ++x) {
            out += "\t\t<array>\n";
            for (std::int64_t y = 0; y < h; ++y) {
                appendInteger(out, "\t\t\t", board->getPixel(x, y));
                if (out.size() >= chunk) {
                    if (!flush(out))
                        return false;
                    out.clear();
                }
            }
            out += "\t\t</array>\n";
        }
        out += "\t</array>\n";
    }
    if (rule != LifeLikeRule::life()) {
        const std::string name =
            rule.world == World::Torus ? RuleName::write(rule, w, h) : rule.name();
        out += "\t<key>rule</key>\n\t<string>" + name + "</string>\n";
    }
    out += "</dict>\n"
           "</plist>\n";
    return flush(out);
}

}  // namespace

std::string PatternWriter::toXml(const CellBitmap* board, const LifeLikeRule& rule)
{
    std::string xml;
    streamXml(board, rule, std::numeric_limits<std::size_t>::max(), [&](std::string& out) {
        xml.swap(out);
        return true;
    });
    return xml;
}

std::string PatternWriter::write(const CellBitmap* board, const std::string& path, CancelFlag* cancel,
                                 const LifeLikeRule& rule)
{
    // (Where the platform has a "hide extension" attribute it would be set
    // here; this file system has none.)
    const AtomicFile::Body body = [board, rule](QIODevice& device, QString&) {
        return streamXml(board, rule, std::size_t{1} << 20, [&device](const std::string& out) {
            return device.write(out.data(), static_cast<qint64>(out.size())) == static_cast<qint64>(out.size());
        });
    };
    return cancel ? AtomicFile::write(path, body, *cancel) : AtomicFile::write(path, body);
}
