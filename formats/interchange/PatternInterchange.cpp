#include "PatternInterchange.h"

#include "FileMessage.h"
#include "LifePattern.h"
#include "MacrocellReader.h"
#include "PatternTypes.h"
#include "PlaintextPattern.h"
#include "RleReader.h"
#include "RleWriter.h"

#include <new>

namespace {

std::string openError(const std::string& name, const std::string& reason)
{
    return FileMessage::cannotOpen(name, "a pattern", reason);
}

}  // namespace

PatternInterchange::Format PatternInterchange::formatOf(const std::string& path)
{
    const PatternType* type = PatternTypes::ofPath(path);
    if (!type)
        return Format::None;
    switch (type->format) {
    case PatternType::Format::Rle:
        return Format::Rle;
    case PatternType::Format::Plaintext:
        return Format::Plaintext;
    case PatternType::Format::Life:
        return Format::Life;
    case PatternType::Format::Macrocell:
        return Format::Macrocell;
    case PatternType::Format::Golpattern:
        break;
    }
    return Format::None;
}

PatternInterchange::Format PatternInterchange::formatOfText(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    if (LifePattern::isLife(text))
        return Format::Life;
    if (MacrocellReader::isMacrocell(text))
        return Format::Macrocell;
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

BoardLoad PatternInterchange::parse(std::string_view text, const std::string& name, PatternTarget target)
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
    Format format = formatOfText(text);
    if (format == Format::None)
        format = formatOf(name);
    try {
        switch (format) {
        case Format::Rle:
            return RleReader::parse(text, name, target);
        case Format::Plaintext:
            return PlaintextPattern::parse(text, name, target);
        case Format::Life:
            return LifePattern::parse(text, name, target);
        case Format::Macrocell:
            return MacrocellReader::parse(text, name, target);
        case Format::None:
            break;
        }
    } catch (const std::bad_alloc&) {
        return {nullptr, openError(name, "there is not enough memory to read it")};
    }
    if (text.empty())
        return {nullptr, openError(name, "it is empty")};
    return {nullptr, openError(name, "it is not a pattern Game of Life knows (RLE, plaintext, Life 1.05 or 1.06, "
                                     "macrocell, or its own)")};
}

PatternSave PatternInterchange::write(const CellBitmap& board, const std::string& path, CancelFlag* cancel,
                                      const LifeLikeRule& rule, const PatternInfo* info)
{
    const PatternType* type = PatternTypes::ofPath(path);
    if (type && type->format == PatternType::Format::Plaintext)
        return PlaintextPattern::write(board, path, cancel, info);
    if (type && type->format == PatternType::Format::Life)
        return LifePattern::write(board, path, cancel);
    return RleWriter::write(board, path, cancel, rule, type && type->gzip, info);
}
