#include "PlaintextPattern.h"

#include "FileMessage.h"
#include "PatternText.h"
#include "RleWriter.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::int64_t kMax = CellBitmap::kMaxCells;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
bool isLive(char c) { return c == 'O' || c == '*'; }

// One past the last live cell of a row; 0 when it has none.
std::int64_t liveEnd(const std::uint8_t* row, std::int64_t width)
{
    std::int64_t end = width;
    while (end > 0 && row[end - 1] != CellBitmap::kLive)
        --end;
    return end;
}

// "!Name:", then the rows down to the last one with a live cell, each without
// its dead cells at the end ("." when it has none).
std::string infoLines(const std::string& name, const PatternInfo* info)
{
    std::string lines;
    const auto line = [&lines](const char* tag, const std::string& text) {
        lines.append(tag).append(RleWriter::oneLine(text, std::string::npos)).append(1, '\n');
    };
    line("!Name: ", info && !info->name.empty() ? info->name : name);
    if (info && !info->author.empty())
        line("!Author: ", info->author);
    if (info) {
        for (const std::string& comment : info->comments)
            line("!", comment);
    }
    return lines;
}

PatternText::Layout layout(const CellBitmap& board, const std::string& name, const PatternInfo* info = nullptr)
{
    std::int64_t rows = board.pixelsHigh();
    while (rows > 0 && liveEnd(board.row(rows - 1), board.pixelsWide()) == 0)
        --rows;
    return {infoLines(name, info), rows,
            [&board](std::int64_t y, std::string& out) {
                const std::uint8_t* row = board.row(y);
                const std::int64_t end = std::max<std::int64_t>(liveEnd(row, board.pixelsWide()), 1);
                for (std::int64_t x = 0; x < end; ++x)
                    out += row[x] == CellBitmap::kLive ? 'O' : '.';
                out += '\n';
            }};
}

}  // namespace

bool PlaintextPattern::fail(const std::string& reason)
{
    error_ = FileMessage::cannotOpen(fileName_, "a plaintext pattern", reason);
    return false;
}

bool PlaintextPattern::readRow(std::string_view row, CellBitmap* board, std::int64_t offsetX, std::int64_t offsetY)
{
    const auto length = static_cast<std::int64_t>(row.size());
    if (board) {
        if (length == 0)
            return true;
        std::uint8_t* cells = board->row(rows_ + offsetY) + offsetX;
        for (std::int64_t x = 0; x < length; ++x) {
            if (isLive(row[std::size_t(x)]))
                cells[x] = CellBitmap::kLive;
        }
        return true;
    }
    const std::string where = "on line " + std::to_string(line_) + ", ";
    if (length > kMax || rows_ >= kMax)
        return fail(where + "the pattern grows larger than the largest board (" + std::to_string(kMax) + " cells)");
    for (char c : row) {
        if (c == '.' || isLive(c))
            continue;
        const auto byte = static_cast<unsigned char>(c);
        char what[16];
        if (byte > 0x20 && byte < 0x7f)
            std::snprintf(what, sizeof what, "\u201c%c\u201d", c);
        else
            std::snprintf(what, sizeof what, "the byte 0x%02X", byte);
        return fail(where + what + " is not a cell (\u201c.\u201d dead, \u201cO\u201d or \u201c*\u201d live)");
    }
    width_ = std::max(width_, length);
    if (length > 0)
        height_ = rows_ + 1;
    return true;
}

bool PlaintextPattern::scan(CellBitmap* board, std::int64_t offsetX, std::int64_t offsetY)
{
    std::size_t pos = text_.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    line_ = 0;
    rows_ = 0;
    bool started = false;
    while (pos < text_.size()) {
        ++line_;
        const void* newline = std::memchr(text_.data() + pos, '\n', text_.size() - pos);
        const std::size_t end = newline ? std::size_t(static_cast<const char*>(newline) - text_.data()) : text_.size();
        std::string_view line = text_.substr(pos, end - pos);
        pos = end + 1;
        if (line.starts_with('!')) {
            if (board)
                continue;
            if (line.starts_with("!Name:"))
                info_.name = PatternInfo::after(line, 6);
            else if (line.starts_with("!Author:"))
                info_.author = PatternInfo::after(line, 8);
            else
                info_.comments.push_back(PatternInfo::after(line, 1));
            continue;
        }
        while (!line.empty() && isBlank(line.back()))
            line.remove_suffix(1);
        if (line.empty() && !started)
            continue;  // blank lines before the first row
        started = true;
        if (!readRow(line, board, offsetX, offsetY))
            return false;
        ++rows_;
    }
    return true;
}

BoardLoad PlaintextPattern::parse(std::string_view text, const std::string& fileName, PatternTarget target)
{
    PlaintextPattern reader(text, fileName);
    if (!reader.scan(nullptr, 0, 0))
        return {nullptr, reader.error_};
    return PatternPlacement::loaded(
        reader.width_, reader.height_, target, [&reader](CellBitmap& cells, auto offsetX, auto offsetY) {
            reader.scan(&cells, offsetX, offsetY);
        },
        [&reader](const std::string& why) {
            reader.fail(why);
            return reader.error_;
        },
        std::move(reader.info_));
}

std::string PlaintextPattern::toText(const CellBitmap& board, const std::string& name, std::int64_t* grayCells,
                                     const PatternInfo* info)
{
    const std::string text = PatternText::whole(layout(board, name, info));
    if (grayCells)
        *grayCells = RleWriter::grayCells(board);
    return text;
}

PatternSave PlaintextPattern::write(const CellBitmap& board, const std::string& path, CancelFlag* cancel,
                                   const PatternInfo* info)
{
    const std::string name = QFileInfo(QString::fromStdString(path)).completeBaseName().toStdString();
    return PatternText::write(board, path, cancel, layout(board, name, info));
}
