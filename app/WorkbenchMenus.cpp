#include "WorkbenchMenus.h"

#include "PatternLibrary.h"
#include "RecentFiles.h"
#include "SelectionCommands.h"
#include "VandrelGameOfLifeView.h"
#include "ui_MainWindow.h"

#include <QActionGroup>
#include <QMenu>

#include <utility>

WorkbenchMenus::WorkbenchMenus(Ui::MainWindow& ui, QWidget* window, VandrelGameOfLifeView* view,
                               SelectionCommands& selection, Hooks hooks, QObject* parent)
    : QObject(parent), hooks_(std::move(hooks))
{
    using Command = Selection::Command;
    on(ui.actionSelectAll, [view] { view->selectAll(); });
    on(ui.actionRemoveSelection, [view] { view->removeSelection(); });
    on(ui.actionShrinkSelection, [view] { view->shrinkSelection(); });
    on(ui.actionCut, [&selection] { selection.cut(); });
    on(ui.actionRandomFill, [&selection] { selection.randomFill(); });
    on(ui.actionPasteAsNewBoard, hooks_.pasteAsNewBoard);
    auto* modes = new QActionGroup(this);
    const std::pair<QAction*, PasteMode> pasteModes[] = {
        {ui.actionPasteCopy, PasteMode::Copy}, {ui.actionPasteOr, PasteMode::Or}, {ui.actionPasteXor, PasteMode::Xor}};
    for (const auto& [action, mode] : pasteModes) {
        modes->addAction(action);
        action->setCheckable(true);
        action->setChecked(mode == view->pasteMode());
        connect(action, &QAction::triggered, this, [view, mode = mode] { view->setPasteMode(mode); });
    }
    const std::pair<QAction*, Command> commands[] = {
        {ui.actionClear, Command::Clear},
        {ui.actionClearOutside, Command::ClearOutside},
        {ui.actionFill, Command::Fill},
        {ui.actionRotateClockwise, Command::RotateClockwise},
        {ui.actionRotateAnticlockwise, Command::RotateAnticlockwise},
        {ui.actionFlipLeftRight, Command::FlipLeftRight},
        {ui.actionFlipTopBottom, Command::FlipTopBottom},
    };
    QList<QAction*> onSelection{ui.actionRemoveSelection, ui.actionShrinkSelection, ui.actionCut,
                                ui.actionRandomFill};
    for (const auto& [action, command] : commands) {
        on(action, [&selection, command = command] { selection.apply(command); });
        onSelection.append(action);
    }
    selection.enableWithSelection(onSelection);

    // File ▸ Open Recent, after Open Pattern.
    auto* recentMenu = new QMenu(tr("Open &Recent"), window);
    recentMenu->setObjectName(QStringLiteral("menuOpenRecent"));
    ui.menuFile->insertMenu(ui.actionSavePattern, recentMenu);
    recent_ = new RecentFiles(recentMenu, this);
    connect(recent_, &RecentFiles::chosen, this,
            [this](const QString& path) { hooks_.whenIdle([this, path] { hooks_.openRecent(path); }); });

    // The Patterns menu, before Help: choosing one pastes it.
    auto* patterns = new QMenu(tr("&Patterns"), window);
    patterns->setObjectName(QStringLiteral("menuPatterns"));
    ui.menubar->insertMenu(ui.menuHelp->menuAction(), patterns);
    PatternLibrary::fill(patterns, [this](const PatternLibrary::Entry& entry) {
        hooks_.whenIdle([this, text = PatternLibrary::text(entry)] { hooks_.pastePattern(text); });
    });

    // The board's context menu: the commands on the selection.
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    view->addActions({ui.actionCut, ui.actionCopy, ui.actionPaste, ui.actionSelectAll, ui.actionRemoveSelection,
                      ui.actionShrinkSelection});
    view->addActions(onSelection.mid(4));
}

void WorkbenchMenus::on(QAction* action, std::function<void()> command)
{
    connect(action, &QAction::triggered, this, [this, command = std::move(command)] { hooks_.whenIdle(command); });
}
