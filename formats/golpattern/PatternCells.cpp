#include "PatternCells.h"

#include "CancelFlag.h"
#include "FileMessage.h"
#include "RuleName.h"

PatternCells::PatternCells(std::string fileName, LogicalSize logicalSize, const CancelFlag* cancel)
    : fileName_(std::move(fileName)), logicalSize_(logicalSize), cancel_(cancel)
{
}

BoardLoad PatternCells::refuse(const std::string& reason) const
{
    return {nullptr, FileMessage::cannotOpen(fileName_, "a pattern", reason)};
}

std::string PatternCells::notTwoIntegers()
{
    return "\u201cbitMapPixelSize\u201d is not a list of two integers";
}

std::string PatternCells::setSize(PlistInteger width, PlistInteger height)
{
    if (!width.isInteger || !height.isInteger)
        return notTwoIntegers();
    width_ = width.value;
    height_ = height.value;
    const std::string size = std::to_string(width_) + " \u00d7 " + std::to_string(height_);
    if (width_ < 1 || height_ < 1)
        return "its size " + size + " has no cells";
    if (!CellBitmap::sizeFits(width_, height_))
        return "its size " + size + " is larger than the largest board (" + std::to_string(CellBitmap::kMaxCells) +
               " cells)";
    return {};
}

std::string PatternCells::makeBoard(bool live)
{
    board_ = CellBitmap::create(width_, height_, logicalSize_);
    if (!board_)
        return "there is not enough memory for a board of " + std::to_string(width_) + " \u00d7 " +
               std::to_string(height_) + " cells";
    if (live)
        board_->fill(CellBitmap::kLive);
    return {};
}

std::string PatternCells::tooFewColumns() const
{
    return "\u201cbitMapPixelData\u201d does not hold " + std::to_string(width_) + " columns";
}

std::string PatternCells::shortColumn(std::int64_t x) const
{
    return "column " + std::to_string(x) + " does not hold " + std::to_string(height_) + " cells";
}

std::string PatternCells::badCell(std::int64_t x, std::int64_t y, PlistInteger value) const
{
    const std::string where = "the cell at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    if (!value.isInteger)
        return where + " is not an integer";
    return where + " holds " + std::to_string(value.value) + ", outside 0 to 255";
}

bool PatternCells::cancelled() const
{
    return cancel_ && cancel_->cancelled();
}

std::optional<BoardLoad> PatternCells::setRule(std::string_view text)
{
    const RuleName name = RuleName::read(text);
    if (!name.accepted())
        return BoardLoad{nullptr, FileMessage::refused(fileName_, name.refusal)};
    rule_ = name.rule;
    return std::nullopt;
}

BoardLoad PatternCells::take()
{
    // A file without a rule is a Life pattern.
    return {std::move(board_), {}, 0, rule_.value_or(LifeLikeRule::life())};
}
