#pragma once

#include <QObject>

#include <functional>

class DialogPresenter;
class QAction;
class QMainWindow;
class QMenu;
class VandrelGameOfLifeView;

// Run ▸ Rule…: the command that opens the rule dialog (RuleDialog) and sets
// the rule and world it gives on the board, through the view (an undoable
// change to the pattern in pattern-editing mode).
class RuleCommands : public QObject {
    Q_OBJECT
public:
    // Adds the command to `runMenu`.
    RuleCommands(QMainWindow* window, QMenu* runMenu, VandrelGameOfLifeView* view, DialogPresenter& dialogs);

    QAction* action() const { return action_; }
    void chooseRule();

private:
    QMainWindow* window_;
    VandrelGameOfLifeView* view_;
    DialogPresenter& dialogs_;
    QAction* action_;
};
