#pragma once

#include "Selection.h"

#include <QObject>

#include <functional>

class ClipboardCommands;
class DialogPresenter;
class QAction;
class QWidget;
class VandrelGameOfLifeView;

// The commands on the selection, from the Edit menu and the board's context
// menu: selecting, cutting, clearing, filling, turning and flipping. A
// command that changes the board enters pattern-editing mode first (which
// stops a run), so that it is one step of the undo history and the pattern
// counts as changed, as after a stroke.
class SelectionCommands : public QObject {
    Q_OBJECT
public:
    // `edit` enters pattern-editing mode.
    SelectionCommands(QWidget* window, VandrelGameOfLifeView* view, DialogPresenter& dialogs,
                      ClipboardCommands& clipboard, std::function<void()> edit);

    // The commands that need a selection, enabled only while there is one.
    void enableWithSelection(const QList<QAction*>& commands);

    void apply(Selection::Command command);
    void cut();
    // Asks for the density, then fills.
    void randomFill();
    // The density Random Fill offers, in percent.
    int density() const { return density_; }

private:
    bool needsSelection();

    QWidget* window_;
    VandrelGameOfLifeView* view_;
    DialogPresenter& dialogs_;
    ClipboardCommands& clipboard_;
    std::function<void()> edit_;
    int density_ = 50;
};
