#include "SelectionCommands.h"

#include "ClipboardCommands.h"
#include "DialogPresenter.h"
#include "VandrelGameOfLifeView.h"

#include <QAction>
#include <QRandomGenerator>

SelectionCommands::SelectionCommands(QWidget* window, VandrelGameOfLifeView* view, DialogPresenter& dialogs,
                                     ClipboardCommands& clipboard)
    : QObject(window), window_(window), view_(view), dialogs_(dialogs), clipboard_(clipboard)
{
}

void SelectionCommands::enableWithSelection(const QList<QAction*>& commands)
{
    auto enable = [this, commands] {
        for (QAction* command : commands)
            command->setEnabled(!view_->selection().isEmpty());
    };
    enable();
    connect(view_, &VandrelGameOfLifeView::selectionChanged, this, enable);
}

bool SelectionCommands::needsSelection()
{
    if (!view_->selection().isEmpty())
        return true;
    dialogs_.note(window_, tr("Nothing is selected: drag with Shift over the board to select cells."));
    return false;
}

void SelectionCommands::apply(Selection::Command command)
{
    if (!needsSelection())
        return;
    QString refusal;
    if (!view_->applyToSelection(command, &refusal) && !refusal.isEmpty())
        dialogs_.tell(window_, refusal);
}

void SelectionCommands::cut()
{
    if (!needsSelection())
        return;
    clipboard_.copy();  // copies the board as it is now, before the clearing
    apply(Selection::Command::Clear);
}

void SelectionCommands::randomFill()
{
    if (!needsSelection())
        return;
    dialogs_.askForNumber(window_, tr("Random Fill"), tr("Live cells, in percent of the selection:"), density_, 0, 100,
                          [this](std::optional<int> density) {
                              if (!density || view_->selection().isEmpty())
                                  return;
                              density_ = *density;
                              view_->applyToSelection(Selection::Command::RandomFill, nullptr, density_ / 100.0,
                                                      QRandomGenerator::global()->generate64());
                          });
}
