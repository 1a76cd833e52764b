#pragma once

#include "SettlingWatch.h"

#include <QObject>
#include <QString>

class DialogPresenter;
class QAction;
class QMainWindow;
class QMenu;
class RunControl;
class VandrelGameOfLifeView;

// Run ▸ Back to Start, Step Back and Stop When Settled: going back through
// the generations the engine keeps of the runs (GenerationHistory), and
// ending a run once its board settles, the finding in the status bar.
class TimeCommands : public QObject {
    Q_OBJECT
public:
    // Adds the commands to `runMenu` after `after`; from now on the runs
    // of `view` keep their generations.
    TimeCommands(QMainWindow* window, QMenu* runMenu, QAction* after, VandrelGameOfLifeView* view, RunControl& runs,
                 DialogPresenter& dialogs);

    QAction* backToStartAction() const { return backToStart_; }
    QAction* stepBackAction() const { return stepBack_; }
    QAction* stopWhenSettledAction() const { return stopWhenSettled_; }

    // Stop the run going, and put back the board its line of runs began
    // with, or the generation before the one shown.
    void backToStart() { goBack(true); }
    void stepBack() { goBack(false); }

    // "Settled at generation 1,234: period 2", the numbers in the session's locale.
    static QString settledText(const Settling& settling);

private:
    void goBack(bool toStart);

    QMainWindow* window_;
    VandrelGameOfLifeView* view_;
    RunControl& runs_;
    DialogPresenter& dialogs_;
    QAction* backToStart_;
    QAction* stepBack_;
    QAction* stopWhenSettled_;
};
