#pragma once

#include "DialogPresenter.h"
#include "FileWork.h"
#include "PatternPlacement.h"

#include <QObject>
#include <QString>

#include <functional>

class QWidget;
class VandrelGameOfLifeView;
struct BoardLoad;

// The file commands of the window: opening and saving patterns and images,
// importing and exporting the RLE and plaintext patterns of other Life
// programs, and the pattern files the desktop hands over. Each asks for its
// file in a panel, then leaves the reading or writing to FileWork, off the
// main thread; the new board, or the message saying why there is none, comes
// back on the main thread. None of them passes the unsaved-pattern guard
// (the controller passes it before an import), and none changes
// pattern-editing mode, but saving a pattern, which ends it.
class FileCommands : public QObject {
    Q_OBJECT
public:
    // `stopRun` stops the run in progress before a board read from a file
    // is installed.
    FileCommands(QWidget* window, VandrelGameOfLifeView* view, DialogPresenter& dialogs,
                 std::function<void()> stopRun);

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
    // A file handed over by the desktop; true when it was taken: a pattern
    // file (extension exactly "golpattern") is opened, an RLE or plaintext
    // pattern (".rle" or ".cells" in any case) imported, a broken one with a
    // message.
    bool openFile(const QString& path);

    // Where an imported pattern goes: the board shown, or the view's size in
    // cells when there is none.
    PatternTarget shownTarget() const;
    // A pattern read from a file or the clipboard as the new board, drawn
    // over the view as it is now, or the message saying why there is none.
    // The run stops first; the count of generations goes back to 100.
    void showPattern(BoardLoad& load);

    FileWork& work() { return work_; }
    static FilePanel gifPanel();

private:
    void openPatternAt(const QString& path);
    void importPatternAt(const QString& path);
    void install(BoardLoad& load);
    static QString doing(const char* verb, const QString& path);

    QWidget* window_;
    VandrelGameOfLifeView* view_;
    DialogPresenter& dialogs_;
    std::function<void()> stopRun_;
    FileWork work_;
};
