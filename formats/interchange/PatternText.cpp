#include "PatternText.h"

#include "AtomicFile.h"
#include "RleWriter.h"

bool PatternText::encode(const Layout& layout, std::size_t chunk, const std::function<bool(std::string&)>& sink)
{
    std::string out = layout.header;
    for (std::int64_t y = 0; y < layout.rows; ++y) {
        layout.row(y, out);
        if (out.size() >= chunk) {
            if (!sink(out))
                return false;
            out.clear();
        }
    }
    return sink(out);
}

std::string PatternText::whole(const Layout& layout)
{
    std::string text;
    encode(layout, std::string::npos, [&text](std::string& out) {
        text.swap(out);
        return true;
    });
    return text;
}

PatternSave PatternText::write(const CellBitmap& board, const std::string& path, CancelFlag* cancel,
                               const Layout& layout)
{
    PatternSave save;
    const AtomicFile::Body body = [&](QIODevice& device, QString&) {
        return encode(layout, std::size_t{1} << 20, [&device](std::string& out) {
            return device.write(out.data(), qint64(out.size())) == qint64(out.size());
        });
    };
    save.error = cancel ? AtomicFile::write(path, body, *cancel) : AtomicFile::write(path, body);
    if (save)
        save.grayCells = RleWriter::grayCells(board);
    return save;
}
