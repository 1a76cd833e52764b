#include "KeyboardShortcuts.h"

#include "BoardNavigation.h"
#include "HelpWindow.h"

#include <QCoreApplication>
#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>

namespace {

// A menu's or command's title as shown, without its mnemonic marks.
QString plain(QString text)
{
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.remove(QLatin1Char('&'));
    return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

QString keyName(QKeyCombination key) { return QKeySequence(key).toString(QKeySequence::NativeText); }

// The four arrows, with `modifier` held.
QString arrows(Qt::KeyboardModifiers modifier = Qt::NoModifier)
{
    QStringList names;
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down})
        names << keyName(QKeyCombination(modifier, key));
    return names.join(QLatin1Char(' '));
}

}  // namespace

std::vector<std::pair<QString, QString>> KeyboardShortcuts::rows(const QMainWindow* window)
{
    std::vector<std::pair<QString, QString>> list;
    for (const QAction* entry : window->menuBar()->actions()) {
        const QMenu* menu = entry->menu();
        if (!menu)
            continue;
        for (const QAction* action : menu->actions()) {
            QStringList keys;
            for (const QKeySequence& key : action->shortcuts())
                keys << key.toString(QKeySequence::NativeText);
            if (!keys.isEmpty())
                list.emplace_back(plain(menu->title()) + QStringLiteral(" \u25b8 ") + plain(action->text()),
                                  keys.join(QStringLiteral(", ")));
        }
    }
    for (const auto& [keys, what] : BoardNavigation::keys())
        list.emplace_back(tr("On the board: ") + what, keys);
    // The keys with no menu entry: the cell cursor, a floating paste's, Esc's other meanings, Zoom In's other key.
    const QString editing = tr("In pattern editing: "), pasting = tr("While a paste floats: ");
    list.emplace_back(editing + tr("Move the cell cursor"), arrows());
    list.emplace_back(editing + tr("Move the cell cursor 8 cells"), arrows(Qt::ShiftModifier));
    list.emplace_back(editing + tr("Toggle the cell under the cursor"), keyName(Qt::Key_Return));
    list.emplace_back(pasting + tr("Rotate it clockwise"), keyName(Qt::Key_R));
    list.emplace_back(pasting + tr("Rotate it anticlockwise"), keyName(Qt::SHIFT | Qt::Key_R));
    list.emplace_back(pasting + tr("Flip it left-right"), keyName(Qt::Key_F));
    list.emplace_back(pasting + tr("Flip it top-bottom"), keyName(Qt::SHIFT | Qt::Key_F));
    list.emplace_back(pasting + tr("Drop it"), keyName(Qt::Key_Escape));
    list.emplace_back(tr("Remove the selection when nothing runs"), keyName(Qt::Key_Escape));
    list.emplace_back(tr("Zoom In"), keyName(Qt::CTRL | Qt::Key_Equal));
    return list;
}

QDialog* KeyboardShortcuts::show(QMainWindow* window)
{
    return HelpWindow::show(window, QStringLiteral("keyboardShortcuts"), tr("Keyboard Shortcuts"),
                            {840, 480}, [window](QDialog* dialog) {
                                const auto list = rows(window);
                                auto* table = new QTableWidget(int(list.size()), 2, dialog);
                                table->setHorizontalHeaderLabels({tr("Command"), tr("Keys")});
                                table->verticalHeader()->hide();
                                table->setEditTriggers(QAbstractItemView::NoEditTriggers);
                                for (int row = 0; row < int(list.size()); ++row) {
                                    table->setItem(row, 0, new QTableWidgetItem(list[std::size_t(row)].first));
                                    table->setItem(row, 1, new QTableWidgetItem(list[std::size_t(row)].second));
                                }
                                table->resizeColumnsToContents();
                                table->horizontalHeader()->setStretchLastSection(true);
                                return table;
                            });
}
