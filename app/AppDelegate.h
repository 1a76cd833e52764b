#pragma once

#include "ClipboardCommands.h"
#include "AppSettings.h"
#include "RecentFiles.h"
#include "SelectionCommands.h"
#include "DialogPresenter.h"
#include "FileCommands.h"
#include "PopulationGraph.h"
#include "GameOfLife.h"
#include "RuleCommands.h"
#include "RunControl.h"
#include "StatusPresenter.h"
#include "TimeCommands.h"
#include "VandrelGameOfLifeView.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>

class QDialog;
class QLineEdit;
class QMainWindow;
class QProgressBar;
class WorkbenchMenus;

namespace Ui {
class MainWindow;
class NewPatternSheet;
}

// The application's controller: it makes the main window from its interface
// files, is the target of every command, and asks about an unsaved pattern
// before a command leaves it. The file commands' work is FileCommands', the
// runs' RunControl's.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    // What a guarded command asks the guard to do again once the question
    // about an unsaved pattern has been answered.
    enum Continuation : int {
        SavePatternDone = -2,
        CloseWindow = -1,
        StartRun = 0,
        RecordGif = 1,
        ResetBoard = 2,
        NewPattern = 3,
        GliderGunPreset = 4,
        StepRun = 5,
        ImportPattern = 6,
        PastePattern = 7,
        ReplaceBoard = 8,  // a board read from a file
        StepBack = 9,
        BackToStart = 10,
    };

    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;  // every thread that could call back has ended first

    void applicationDidFinishLaunching();
    static bool applicationShouldTerminateAfterLastWindowClosed() { return true; }

    // --- Outlets ---
    VandrelGameOfLifeView* theView = nullptr;
    QMainWindow* window = nullptr;
    QProgressBar* indicator = nullptr;
    QLineEdit* iterationsTextfield = nullptr;
    QDialog* nnewPatternSheet = nullptr;
    QLineEdit* nnewPatternPixelsHighTextField = nullptr;
    QLineEdit* nnewPatternPixelsWideTextField = nullptr;

    DialogPresenter& dialogs() { return dialogs_; }
    // Where the file commands read and write, off the main thread.
    FileWork& fileWork() { return files_->work(); }
    RunControl& runs() { return *runs_; }
    bool isCreating() const { return isCreating_; }

    // --- Commands ---
    void startGameOfLife();
    // One generation, published whole like a run's; guarded like Start.
    void stepGameOfLife();
    void stopGameOfLife();
    // Going back through the generations kept; guarded like Step.
    void stepBack()
    {
        if (endCreatingAndContinueWith(StepBack))
            time_->stepBack();
    }
    void backToStart()
    {
        if (endCreatingAndContinueWith(BackToStart))
            time_->backToStart();
    }
    void reset();
    void setIterations();
    void controlTextDidChange();
    void createNewPattern();
    void newPatternOK();
    void newPatternCancel();
    void editPattern();
    void stopOrRemoveSelection();
    void showGliderGun();
    void openPattern() { files_->openPattern(); }
    void savePattern();
    void openImage() { files_->openImage(); }
    void saveImage() { files_->saveImage(); }
    void startGameOfLifeAndMakeGif();
    void quit();
    // Pattern interchange: Import and Paste replace the board, so they pass the guard.
    void importPattern()
    {
        if (endCreatingAndContinueWith(ImportPattern))
            files_->importPattern();
    }
    void exportPattern() { files_->exportPattern(); }
    void patternInfo() { files_->showPatternInfo(); }
    void copy() { clipboard_->copy(); }
    // Paste as New Board: the pattern replaces the board, through the guard.
    void paste() { clipboard_->paste([this] { return endCreatingAndContinueWith(PastePattern); }, true); }
    // Paste: the pattern floats over the board to be put down; as a new
    // board when it is larger than the board.
    void pasteIntoPlace() { clipboard_->paste([this] { return endCreatingAndContinueWith(PastePattern); }); }
    // The view's own commands: zoom, and undo in pattern-editing mode.
    void zoomIn() { theView->zoomIn(); }
    void zoomOut() { theView->zoomOut(); }
    void zoomToFit() { theView->zoomToFit(); }
    void fitPattern() { theView->fitPattern(); }
    void undo() { theView->undo(); }
    void redo() { theView->redo(); }
    void chooseRule() { rules_->chooseRule(); }
    StatusPresenter& status() { return *status_; }

    // A file handed over by the desktop; true when its type was known.
    bool openFile(const QString& path) { return files_->openFile(path); }

    // Remembers the window, the speed, the count and the paste mode in
    // `file` from one session to the next, and restores them from it now.
    void useSettings(const QString& file);

    // --- Window events ---
    bool windowShouldClose();
    void windowDidResize() {}

    // The guard. True: go on now (pattern-editing mode is over and the window
    // restored). False: the question is on screen, and the guard itself
    // issues the command again when the answer allows.
    bool endCreatingAndContinueWith(int action);

    // On the starter thread: begin the run the start command prepared.
    // False when it never began (stopped before it could).
    bool gameOfLife(RunIndicators indicators);
    bool gameOfLifeGif(RunIndicators indicators, const std::string& file);

    // After the event loop: ends every run (its recording written) and
    // returns the messages about them that no one has seen yet.
    QStringList shutdown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wireCommands();
    // The selection, paste modes, Open Recent and the Patterns menu.
    void wireWorkbench();
    void continueWith(int action);
    void answerQuestion(SaveAnswer answer, int action);
    bool windowClosing();
    // Replaces the board through the guard: now, after the question, or never.
    void replaceBoard(std::function<void()> replace);

    std::unique_ptr<Ui::MainWindow> ui_;
    std::unique_ptr<Ui::NewPatternSheet> sheetUi_;
    std::unique_ptr<QMainWindow> ownedWindow_;
    DialogPresenter dialogs_;
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<ClipboardCommands> clipboard_;
    SelectionCommands* selection_ = nullptr;  // a child of the window
    AppSettings* settings_ = nullptr;          // a child of the controller
    RecentFiles* recent_ = nullptr;            // a child of the controller
    WorkbenchMenus* workbench_ = nullptr;      // a child of the controller
    std::unique_ptr<RunControl> runs_;
    RuleCommands* rules_ = nullptr;  // a child of the window
    TimeCommands* time_ = nullptr;   // a child of the window
    PopulationGraph* graph_ = nullptr;  // a child of the window
    std::unique_ptr<StatusPresenter> status_;

    bool isCreating_ = false;
    bool questionPending_ = false;
    bool closeAllowed_ = false;  // the guard has let this close go on
    QString gifDestination_;
    std::function<void()> pendingReplace_;  // the board read, waiting for the answer
};
