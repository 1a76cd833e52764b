#include "TimeCommands.h"

#include "DialogPresenter.h"
#include "RunControl.h"
#include "VandrelGameOfLifeView.h"

#include <QAction>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>

TimeCommands::TimeCommands(QMainWindow* window, QMenu* runMenu, QAction* after, VandrelGameOfLifeView* view,
                           RunControl& runs, DialogPresenter& dialogs)
    : QObject(window), window_(window), view_(view), runs_(runs), dialogs_(dialogs),
      backToStart_(new QAction(tr("Back to Start"), window)), stepBack_(new QAction(tr("Step Back"), window)),
      stopWhenSettled_(new QAction(tr("Stop When Settled"), window))
{
    backToStart_->setObjectName(QStringLiteral("actionBackToStart"));
    backToStart_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Backspace));
    backToStart_->setStatusTip(tr("Go back to the board as it was before it was first run or stepped"));
    stepBack_->setObjectName(QStringLiteral("actionStepBack"));
    stepBack_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Space));
    stepBack_->setStatusTip(tr("Go back one generation"));
    stopWhenSettled_->setObjectName(QStringLiteral("actionStopWhenSettled"));
    stopWhenSettled_->setCheckable(true);
    stopWhenSettled_->setStatusTip(
        tr("End a run early when the board is empty, still or repeats with a period of up to 1,000"));

    // After Step: Step Back, Back to Start; Stop When Settled with the run's other settings.
    const auto actions = runMenu->actions();
    const auto at = actions.indexOf(after);
    QAction* before = at >= 0 && at + 1 < actions.size() ? actions[at + 1] : nullptr;
    runMenu->insertActions(before, {stepBack_, backToStart_});
    runMenu->addSeparator();
    runMenu->addAction(stopWhenSettled_);

    view_->life().history().setEnabled(true);
    connect(stopWhenSettled_, &QAction::toggled, this, [this](bool on) { view_->life().setStopWhenSettled(on); });
}

QString TimeCommands::settledText(const Settling& settling)
{
    const QLocale locale;
    const QString generation = locale.toString(qulonglong(settling.generation));
    if (settling.period == 0)
        return tr("Settled at generation %1: the board is empty").arg(generation);
    return tr("Settled at generation %1: period %2").arg(generation, locale.toString(settling.period));
}

void TimeCommands::goBack(bool toStart)
{
    runs_.stop();
    if (!view_->life().goBack(toStart)) {
        dialogs_.note(window_, toStart ? tr("The board is as it was before it was first run.")
                                       : tr("There is no earlier generation to go back to."));
        return;
    }
    view_->update();
}
