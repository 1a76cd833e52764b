#include "PatternInterchange.h"

#include "FileBytes.h"
#include "FileMessage.h"
#include "PlaintextPattern.h"
#include "RleReader.h"
#include "RleWriter.h"

#include <QFile>
#include <QFileInfo>

#include <new>

namespace {

std::string openError(const std::string& name, const std::string& reason)
{
    return FileMessage::cannotOpen(name, "a pattern", reason);
}

}  // namespace

PatternInterchange::Format PatternInterchange::formatOf(const std::string& path)
{
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix();
    if (suffix.compare(QLatin1String(RleReader::kExtension), Qt::CaseInsensitive) == 0)
        return Format::Rle;
    if (suffix.compare(QLatin1String(PlaintextPattern::kExtension), Qt::CaseInsensitive) == 0)
        return Format::Plaintext;
    return Format::None;
}

PatternInterchange::Format PatternInterchange::formatOfText(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    bool lineStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            lineStart = true;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r')
            continue;
        if (c == '#' && lineStart) {
            const std::size_t newline = text.find('\n', i);
            if (newline == std::string_view::npos)
                break;
            i = newline - 1;
            continue;
        }
        if (c == 'x' || c == 'X')
            return Format::Rle;
        if (c == '!' || c == '.' || c == 'O' || c == '*')
            return Format::Plaintext;
        break;
    }
    return Format::None;
}

std::string PatternInterchange::withLineFeeds(std::string_view text)
{
    std::string lf(text);
    for (std::size_t i = lf.find('\r'); i != std::string::npos; i = lf.find('\r', i + 1)) {
        if (i + 1 == lf.size() || lf[i + 1] != '\n')
            lf[i] = '\n';
    }
    return lf;
}

bool PatternInterchange::hasLoneCarriageReturn(std::string_view text)
{
    for (std::size_t i = text.find('\r'); i != std::string_view::npos; i = text.find('\r', i + 1)) {
        if (i + 1 == text.size() || text[i + 1] != '\n')
            return true;
    }
    return false;
}

BoardLoad PatternInterchange::parseAs(Format format, std::string_view text, const std::string& name,
                                      PatternTarget target)
{
    // Old Macintosh files end their lines with a carriage return alone; the
    // readers see line feeds, as in every other file.
    std::string lineFeeds;
    if (hasLoneCarriageReturn(text)) {
        try {
            lineFeeds = withLineFeeds(text);
        } catch (const std::bad_alloc&) {
            return {nullptr, openError(name, "there is not enough memory to read it")};
        }
        text = lineFeeds;
    }
    if (format == Format::None)
        format = formatOfText(text);
    try {
        switch (format) {
        case Format::Rle:
            return RleReader::parse(text, name, target);
        case Format::Plaintext:
            return PlaintextPattern::parse(text, name, target);
        case Format::None:
            break;
        }
    } catch (const std::bad_alloc&) {
        return {nullptr, openError(name, "there is not enough memory to read it")};
    }
    if (text.empty())
        return {nullptr, openError(name, "it is empty")};
    return {nullptr, openError(name, "it is neither RLE nor plaintext")};
}

BoardLoad PatternInterchange::parse(std::string_view text, const std::string& name, PatternTarget target)
{
    return parseAs(Format::None, text, name, target);
}

BoardLoad PatternInterchange::read(const std::string& path, PatternTarget target, const CancelFlag* cancel)
{
    const std::string name = FileMessage::fileName(path);
    QByteArray bytes;
    if (std::string reason = FileBytes::read(path, kMaxFileBytes, cancel, bytes); !reason.empty())
        return {nullptr, openError(name, reason)};
    return parseAs(formatOf(path), {bytes.constData(), std::size_t(bytes.size())}, name, target);
}

PatternSave PatternInterchange::write(const CellBitmap& board, const std::string& path, CancelFlag* cancel)
{
    if (formatOf(path) == Format::Plaintext)
        return PlaintextPattern::write(board, path, cancel);
    return RleWriter::write(board, path, cancel);
}
