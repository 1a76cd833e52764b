#include "RleWriter.h"

#include "AtomicFile.h"
#include "GzipStream.h"
#include "RuleName.h"

#include <QFileInfo>

#include <charconv>
#include <limits>
#include <optional>

namespace {

// The end of the live cells of a row: one past the last live cell, 0 when
// the row has none.
std::int64_t liveEnd(const std::uint8_t* row, std::int64_t width)
{
    std::int64_t end = width;
    while (end > 0 && row[end - 1] != CellBitmap::kLive)
        --end;
    return end;
}

}  // namespace

std::int64_t RleWriter::grayCells(const CellBitmap& board)
{
    std::int64_t gray = 0;
    const std::uint8_t* cell = board.data();
    for (std::size_t i = 0, n = board.cellCount(); i < n; ++i)
        gray += cell[i] != CellBitmap::kLive && cell[i] != CellBitmap::kDead;
    return gray;
}

std::string RleWriter::oneLine(const std::string& name, std::size_t maxBytes)
{
    std::string line = name;
    if (line.size() > maxBytes) {
        std::size_t cut = maxBytes;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;  // not inside a UTF-8 character
        line.resize(cut);
    }
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    }
    return line;
}

void RleWriter::token(std::int64_t count, char tag)
{
    char text[24];
    char* end = text;
    if (count > 1)
        end = std::to_chars(text, text + sizeof text - 1, count).ptr;
    *end++ = tag;
    const auto length = static_cast<std::size_t>(end - text);
    if (lineLength_ + length > kLineLength) {
        out_ += '\n';
        lineLength_ = 0;
    }
    out_.append(text, length);
    lineLength_ += length;
}

bool RleWriter::flushIfFull()
{
    if (out_.size() < chunk_)
        return true;
    if (!sink_(out_))
        return false;
    out_.clear();
    return true;
}

bool RleWriter::encodeRow(const std::uint8_t* row, std::int64_t end)
{
    std::int64_t x = 0;
    while (x < end) {
        const bool live = row[x] == CellBitmap::kLive;
        std::int64_t run = x + 1;
        while (run < end && (row[run] == CellBitmap::kLive) == live)
            ++run;
        token(run - x, live ? 'o' : 'b');
        x = run;
    }
    return flushIfFull();
}

std::string RleWriter::infoLines(const std::string& name, const PatternInfo* info)
{
    // A line of its own each, a control character (a line feed among them)
    // becoming a space. Lines keep to the longest RLE allows: the name and
    // author are cut short there, a longer comment goes on over more lines.
    constexpr std::size_t kText = kLineLength - 3;
    std::string lines;
    const auto line = [&lines](const char* tag, const std::string& text) {
        lines.append(tag).append(oneLine(text, kText)).append(1, '\n');
    };
    line("#N ", info && !info->name.empty() ? info->name : name);
    if (info && !info->author.empty())
        line("#O ", info->author);
    for (const std::string& comment : info ? info->comments : std::vector<std::string>{}) {
        std::string_view rest = comment;
        do {
            const std::string piece = oneLine(std::string(rest), kText);
            lines.append("#C ").append(piece).append(1, '\n');
            rest.remove_prefix(std::min(rest.size(), std::max<std::size_t>(piece.size(), 1)));
        } while (!rest.empty());
    }
    return lines;
}

bool RleWriter::encode(const CellBitmap& board, const std::string& name, const LifeLikeRule& rule,
                       const PatternInfo* info)
{
    const std::int64_t w = board.pixelsWide();
    const std::int64_t h = board.pixelsHigh();
    out_ = infoLines(name, info) + "x = " + std::to_string(w) + ", y = " + std::to_string(h) +
           ", rule = " + RuleName::write(rule, w, h) + "\n";
    // Where the board lies on its plane or torus as Golly counts it, from the
    // middle cell: Golly then puts it back exactly where it was.
    out_.insert(0, "#CXRLE Pos=" + std::to_string(-(w / 2)) + "," + std::to_string(-(h / 2)) + "\n");
    // Rows are ended lazily: the "$" before a row that has live cells also
    // skips the empty rows between, and the empty rows at the end cost nothing.
    std::int64_t rowsOwed = 0;
    for (std::int64_t y = 0; y < h; ++y) {
        const std::uint8_t* row = board.row(y);
        const std::int64_t end = liveEnd(row, w);
        if (end == 0) {
            ++rowsOwed;
            continue;
        }
        if (rowsOwed > 0)
            token(rowsOwed, '$');
        if (!encodeRow(row, end))
            return false;
        rowsOwed = 1;
    }
    token(1, '!');
    out_ += '\n';
    return sink_(out_);
}

std::string RleWriter::toText(const CellBitmap& board, const std::string& name, std::int64_t* grayCells,
                              const LifeLikeRule& rule, const PatternInfo* info)
{
    std::string text;
    RleWriter writer(std::numeric_limits<std::size_t>::max(), [&text](std::string& out) {
        text.swap(out);
        return true;
    });
    writer.encode(board, name, rule, info);
    if (grayCells)
        *grayCells = RleWriter::grayCells(board);
    return text;
}

PatternSave RleWriter::write(const CellBitmap& board, const std::string& path, CancelFlag* cancel,
                             const LifeLikeRule& rule, bool compressed, const PatternInfo* info)
{
    PatternSave save;
    const std::string name = QFileInfo(QString::fromStdString(path)).completeBaseName().toStdString();
    // A megabyte at a time, so that a large board never needs all its text in memory.
    const AtomicFile::Body body = [&](QIODevice& device, QString&) {
        std::optional<GzipStream> gzip;
        if (compressed)
            gzip.emplace(device);
        RleWriter writer(std::size_t{1} << 20, [&device, &gzip](std::string& out) {
            return gzip ? gzip->write(out.data(), out.size())
                        : device.write(out.data(), qint64(out.size())) == qint64(out.size());
        });
        return writer.encode(board, name, rule, info) && (!gzip || gzip->finish());
    };
    save.error = cancel ? AtomicFile::write(path, body, *cancel) : AtomicFile::write(path, body);
    if (save)
        save.grayCells = grayCells(board);
    return save;
}
