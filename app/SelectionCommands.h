#pragma once

#include "Selection.h"

#include <QObject>


class ClipboardCommands;
class DialogPresenter;
class QAction;
class QWidget;
class VandrelGameOfLifeView;

// The commands on the selection, from the Edit menu and the board's context
// menu: selecting, cutting, clearing, filling, turning and flipping. A
// command that changes the board enters pattern-editing mode first (which
// stops a run: the view's `beforeEdit`), so that it is one step of the undo
// history and the pattern counts as changed, as after a stroke.
class SelectionCommands : public QObject {
    Q_OBJECT
public:
    SelectionCommands(QWidget* window, VandrelGameOfLifeView* view, DialogPresenter& dialogs,
                      ClipboardCommands& clipboard);

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
    int density_ = 50;
};
