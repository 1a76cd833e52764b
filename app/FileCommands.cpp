#include "FileCommands.h"
#include "MessageTranslation.h"

#include "BoardLoad.h"
#include "CellBitmap.h"
#include "FileMessage.h"
#include "Generation.h"
#include "ImageFile.h"
#include "PatternFile.h"
#include "PatternInterchange.h"
#include "PatternReader.h"
#include "PatternTypes.h"
#include "VandrelGameOfLifeView.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <memory>

namespace {

FilePanel patternSavePanel()
{
    return {FilePanel::Mode::Save, FileCommands::tr("Save pattern"),
            FileCommands::tr("Save the pattern somewhere on your disk"), FileCommands::tr("Save pattern"),
            {QStringLiteral("golpattern")}, {}, QStringLiteral("GameOfLifePattern"), {}};
}

FilePanel patternOpenPanel()
{
    return {FilePanel::Mode::Open, FileCommands::tr("Open pattern"),
            FileCommands::tr("Open a pattern from somewhere on your disk"), FileCommands::tr("Open pattern"),
            {QStringLiteral("golpattern")}, {}, {}, {}};
}

FilePanel imageSavePanel()
{
    return {FilePanel::Mode::Save, FileCommands::tr("Save image"),
            FileCommands::tr("Save the image somewhere on your disk"), FileCommands::tr("Save image"),
            {QStringLiteral("png")}, {}, QStringLiteral("GameOfLifeImage"), {}};
}

FilePanel imageOpenPanel()
{
    return {FilePanel::Mode::Open, FileCommands::tr("Open image"),
            FileCommands::tr("Open an image from somewhere on your disk"), FileCommands::tr("Open image"),
            {QStringLiteral("png"), QStringLiteral("jpg")}, {QStringLiteral("jpeg")}, {}, {}};
}

// The types of other Life programs, from the one table of types.
FilePanel importPanel()
{
    return {FilePanel::Mode::Open, FileCommands::tr("Import pattern"),
            FileCommands::tr("Import a pattern of another Life program from somewhere on your disk"),
            FileCommands::tr("Import pattern"), PatternTypes::imported(), {}, {}, {}};
}

FilePanel exportPanel()
{
    return {FilePanel::Mode::Save, FileCommands::tr("Export pattern"),
            FileCommands::tr("Export the pattern for other Life programs"), FileCommands::tr("Export pattern"),
            PatternTypes::exported(), {}, QStringLiteral("GameOfLifePattern"), PatternTypes::exportedNames()};
}

}  // namespace

FilePanel FileCommands::gifPanel()
{
    return {FilePanel::Mode::Save, tr("Save gif"), tr("Save the gif somewhere on your disk"), tr("Save gif"), {QStringLiteral("gif")}, {}, QStringLiteral("GameOfLifeAnimation"), {}};
}

FileCommands::FileCommands(QWidget* window, VandrelGameOfLifeView* view, DialogPresenter& dialogs,
                           std::function<void()> stopRun, AskFirst askFirst)
    : window_(window), view_(view), dialogs_(dialogs), stopRun_(std::move(stopRun)), askFirst_(std::move(askFirst)),
      work_(window, dialogs)
{
    work_.hold(view);  // no cell is toggled under a file being written or replaced
}

QString FileCommands::doing(const char* verb, const QString& path)
{
    const std::string name = FileMessage::quoted(FileMessage::fileName(path.toStdString()));
    return tr(verb).arg(QString::fromStdString(name));
}

void FileCommands::install(const std::shared_ptr<BoardLoad>& load)
{
    if (!load->board) {
        dialogs_.tell(window_, MessageTranslation::translated(load->error));
        return;
    }
    // A board whose run cannot have the memory is refused before it replaces
    // the one shown, saying how much it needs.
    const auto width = load->board->pixelsWide(), height = load->board->pixelsHigh();
    const auto tellNoMemory = [this](const std::string& why) {
        dialogs_.tell(window_, tr("There is not enough memory for this board: %1.")
                                   .arg(MessageTranslation::translated(why)));
    };
    if (const std::string why = Generation::memoryProblem(width, height, Generation::memoryLimit()); !why.empty()) {
        tellNoMemory(why);
        return;
    }
    askFirst_([this, load, width, height, tellNoMemory] {
        stopRun_();
        // A pattern that names its rule runs under it; one that does not (an
        // image, plaintext) under the board's.
        if (!view_->initWithBitmap(*load->board, load->rule, load->generation))
            tellNoMemory(Generation::memoryProblem(width, height, 0));
        else
            info_ = load->info;
    });
}

void FileCommands::showPattern(const std::shared_ptr<BoardLoad>& load)
{
    // The view's size when the pattern has been read, as it is then shown.
    if (load->board)
        load->board->setSize({double(view_->width()), double(view_->height())});
    install(load);
}

PatternTarget FileCommands::shownTarget() const
{
    if (const auto board = view_->getBitmap())
        return PatternTarget::shown(board->pixelsWide(), board->pixelsHigh());
    return PatternTarget::shown(CellBitmap::cellsForPoints(view_->width()),
                                CellBitmap::cellsForPoints(view_->height()));
}

void FileCommands::openPatternAt(const QString& path)
{
    readPatternAt(QT_TR_NOOP("Opening %1\u2026"), path);
}

void FileCommands::importPatternAt(const QString& path)
{
    readPatternAt(QT_TR_NOOP("Importing %1\u2026"), path);
}

// Open and Import read alike, the reader chosen by the file's content; they
// differ in the progress dialog's words and in the panel that chose the file.
void FileCommands::readPatternAt(const char* verb, const QString& path)
{
    work_.run(doing(verb, path), [this, path, target = shownTarget()](CancelFlag& cancel) -> FileWork::Outcome {
        auto load = std::make_shared<BoardLoad>(PatternReader::read(path.toStdString(), target, &cancel));
        return [this, load, path] {
            if (load->board)
                emit opened(path);
            showPattern(load);
        };
    });
}

void FileCommands::importPattern()
{
    dialogs_.showFilePanel(window_, importPanel(), [this](std::optional<QString> path) {
        if (path)
            importPatternAt(*path);
    });
}

void FileCommands::exportPattern()
{
    dialogs_.showFilePanel(window_, exportPanel(), [this](std::optional<QString> path) {
        const auto board = view_->boardShown();  // one whole generation, even during a run
        if (!path || !board)
            return;
        const LifeLikeRule rule = view_->life().rule();
        const QString label = doing(QT_TR_NOOP("Exporting %1\u2026"), *path);
        work_.run(label, [this, path, board, rule, info = info_](CancelFlag& cancel) -> FileWork::Outcome {
            const PatternSave save = PatternInterchange::write(*board, path->toStdString(), &cancel, rule, &info);
            return [this, path, save] {
                if (!save)
                    dialogs_.tell(window_, MessageTranslation::translated(save.error));
                else if (save.grayCells > 0)
                    dialogs_.note(window_, MessageTranslation::translated(
                                               FileMessage::grayWrittenAsDead(path->toStdString(), save.grayCells)));
            };
        });
    });
}

void FileCommands::showPatternInfo()
{
    if (info_.empty()) {
        dialogs_.tell(window_, tr("This pattern came with no name, author or comments."));
        return;
    }
    const auto text = [](const std::string& s) { return QString::fromStdString(FileMessage::printable(s)); };
    QStringList lines;
    if (!info_.name.empty())
        lines << tr("Name: %1").arg(text(info_.name));
    if (!info_.author.empty())
        lines << tr("Author: %1").arg(text(info_.author));
    QStringList comments;
    for (const std::string& comment : info_.comments)
        comments << text(comment);
    dialogs_.tell(window_, lines.isEmpty() ? tr("Comments:") : lines.join(QLatin1Char('\n')),
                  comments.join(QLatin1Char('\n')));
}

void FileCommands::openPattern()
{
    dialogs_.showFilePanel(window_, patternOpenPanel(), [this](std::optional<QString> path) {
        if (path)
            openPatternAt(*path);
    });
}

bool FileCommands::openFile(const QString& path)
{
    if (QFileInfo(path).suffix() == QLatin1String(PatternFile::kExtension)) {
        openPatternAt(path);
        return true;
    }
    // Any other file is read as Import reads it: by its content, and refused
    // with the reason when that fails. Its type is one of Import's, or none.
    importPatternAt(path);
    const PatternType* type = PatternTypes::ofPath(path.toStdString());
    return type && type->format != PatternType::Format::Golpattern;
}

void FileCommands::savePattern(std::function<void()> saved, std::function<void()> panelClosed)
{
    dialogs_.showFilePanel(window_, patternSavePanel(), [=, this](std::optional<QString> path) {
        if (panelClosed)
            panelClosed();
        if (!path)
            return;
        const auto board = view_->boardShown();  // one whole generation, even during a run
        const LifeLikeRule rule = view_->life().rule();
        work_.run(doing(QT_TR_NOOP("Saving %1\u2026"), *path), [=, this](CancelFlag& cancel) -> FileWork::Outcome {
            const std::string error = PatternFile::write(board.get(), path->toStdString(), &cancel, rule);
            return [=, this] {
                if (error.empty())
                    saved();
                else  // not saved: pattern-editing mode and its unsaved mark stay
                    dialogs_.tell(window_, MessageTranslation::translated(error));
            };
        });
    });
}

void FileCommands::openImage()
{
    dialogs_.showFilePanel(window_, imageOpenPanel(), [this](std::optional<QString> path) {
        if (path)
            openImageAt(*path);
    });
}

void FileCommands::openImageAt(const QString& path)
{
    work_.run(doing(QT_TR_NOOP("Opening %1\u2026"), path), [this, path](CancelFlag& cancel) -> FileWork::Outcome {
        auto load = std::make_shared<BoardLoad>(ImageFile::read(path.toStdString(), &cancel));
        return [this, load, path] {
            if (load->board)
                emit opened(path);
            install(load);
        };
    });
}

void FileCommands::saveImage()
{
    dialogs_.showFilePanel(window_, imageSavePanel(), [this](std::optional<QString> path) {
        const auto board = view_->boardShown();
        if (!path || !board)
            return;
        const QString label = doing(QT_TR_NOOP("Saving %1\u2026"), *path);
        work_.run(label, [this, path, board](CancelFlag& cancel) -> FileWork::Outcome {
            const std::string error = ImageFile::writePng(*board, path->toStdString(), 1, &cancel);
            return [this, error] {
                if (!error.empty())
                    dialogs_.tell(window_, MessageTranslation::translated(error));
            };
        });
    });
}
