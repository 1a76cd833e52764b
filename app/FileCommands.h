#pragma once

#include "DialogPresenter.h"
#include "FileWork.h"
#include "PatternInfo.h"
#include "PatternPlacement.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QWidget;
class VandrelGameOfLifeView;
struct BoardLoad;

// The file commands of the window: opening and saving patterns and images,
// importing and exporting the RLE and plaintext patterns of other Life
// programs, and the pattern files the desktop hands over. Each asks for its
// file in a panel, then leaves the reading or writing to FileWork, off the
// main thread; the new board, or the message saying why there is none, comes
// back on the main thread. A board read whole replaces the one shown only
// through `askFirst`, the unsaved-pattern question: after the file was chosen
// and read, never for a panel dismissed or a file refused.
class FileCommands : public QObject {
    Q_OBJECT
public:
    // Calls its argument, which replaces the board, now, later, or never
    // (the person kept the pattern being edited).
    using AskFirst = std::function<void(std::function<void()> replace)>;
    // `stopRun` stops the run in progress before a board read from a file
    // is installed.
    FileCommands(QWidget* window, VandrelGameOfLifeView* view, DialogPresenter& dialogs,
                 std::function<void()> stopRun, AskFirst askFirst);

    void openPattern();
    void openImage();
    void saveImage();
    // The pattern save panel, then the save. `saved` runs once the file is
    // written; `panelClosed` as soon as the panel closes, whatever the answer.
    void savePattern(std::function<void()> saved, std::function<void()> panelClosed = {});
    // An RLE or plaintext pattern, centred on a board as large as the board
    // shown (larger when the pattern needs room), or on its own plane.
    void importPattern();
    // The board as RLE or plaintext, the type chosen in the panel; gray
    // cells are written as dead, and the person is told how many.
    void exportPattern();
    // A file handed over by the desktop: a pattern file (extension exactly
    // "golpattern") is opened, any other imported as an RLE or plaintext
    // pattern; one that cannot be read is refused with a message. True when
    // the type was known by its extension (".rle" or ".cells" in any case).
    bool openFile(const QString& path);
    // An image file, as Open Image opens it.
    void openImageAt(const QString& path);

    // Where an imported pattern goes: the board shown, or the view's size in
    // cells when there is none.
    PatternTarget shownTarget() const;
    // A pattern read from a file or the clipboard as the new board, drawn
    // over the view as it is now, or the message saying why there is none.
    // The run stops first; the count of generations goes back to 100.
    void showPattern(const std::shared_ptr<BoardLoad>& load);

    FileWork& work() { return work_; }
    static FilePanel gifPanel();

    // File ▸ Pattern Info: the name, author and comments of the file the
    // board was opened, imported or pasted from; Export writes them back.
    void showPatternInfo();
    // The board shown came from no file (a new pattern, a random board, the preset).
    void forgetPatternInfo() { info_ = {}; }

signals:
    // A pattern or image file was read and its board is offered for showing.
    void opened(const QString& path);

private:
    void openPatternAt(const QString& path);
    void importPatternAt(const QString& path);
    void readPatternAt(const char* verb, const QString& path);
    void install(const std::shared_ptr<BoardLoad>& load);
    static QString doing(const char* verb, const QString& path);

    QWidget* window_;
    VandrelGameOfLifeView* view_;
    DialogPresenter& dialogs_;
    PatternInfo info_;
    std::function<void()> stopRun_;
    AskFirst askFirst_;
    FileWork work_;
};
