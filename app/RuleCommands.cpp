#include "RuleCommands.h"

#include "DialogPresenter.h"
#include "RuleDialog.h"
#include "VandrelGameOfLifeView.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

RuleCommands::RuleCommands(QMainWindow* window, QMenu* runMenu, VandrelGameOfLifeView* view,
                           DialogPresenter& dialogs)
    : QObject(window), window_(window), view_(view), dialogs_(dialogs),
      action_(new QAction(tr("Rule\u2026"), window))
{
    action_->setObjectName(QStringLiteral("actionRule"));
    action_->setStatusTip(tr("Choose the rule and the world the board runs under"));
    runMenu->addSeparator();
    runMenu->addAction(action_);
}

void RuleCommands::chooseRule()
{
    auto* dialog = new RuleDialog(window_, view_->life().rule());
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        if (!view_->setRule(dialog->chosen()))
            dialogs_.tell(window_, tr("There is not enough memory to change the rule of this board."));
    });
    dialogs_.show(dialog);
}
