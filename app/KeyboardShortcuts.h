#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

class QDialog;
class QMainWindow;

// Help ▸ Keyboard Shortcuts: every command of the window's menus that has
// keys, with all of its keys, read from the menus themselves (so the list
// cannot fall behind them), then the board's own keys.
class KeyboardShortcuts {
    Q_DECLARE_TR_FUNCTIONS(KeyboardShortcuts)

public:
    // Each row: the command as "Menu ▸ Command", and its keys.
    static std::vector<std::pair<QString, QString>> rows(const QMainWindow* window);
    // Shows the list in a window of its own beside the main window (the
    // same one again when it is already open).
    static QDialog* show(QMainWindow* window);
};
