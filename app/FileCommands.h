#pragma once

#include "DialogPresenter.h"
#include "FileWork.h"

#include <QObject>
#include <QString>

#include <functional>

class QWidget;
class VandrelGameOfLifeView;
struct BoardLoad;

// The file commands of the window: opening and saving patterns and images,
// and the pattern files the desktop hands over. Each asks for its file in a
// panel, then leaves the reading or writing to FileWork, off the main
// thread; the new board, or the message saying why there is none, comes
// back on the main thread. None of them passes the unsaved-pattern guard,
// and none changes pattern-editing mode, but saving a pattern, which ends it.
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
    // A file handed over by the desktop; true when its extension is exactly
    // "golpattern", and it is then opened (a broken one with a message).
    bool openFile(const QString& path);

    FileWork& work() { return work_; }
    static FilePanel gifPanel();

private:
    void openPatternAt(const QString& path);
    void install(BoardLoad& load);
    static QString doing(const char* verb, const QString& path);

    QWidget* window_;
    VandrelGameOfLifeView* view_;
    DialogPresenter& dialogs_;
    std::function<void()> stopRun_;
    FileWork work_;
};
