#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;
class RecentFiles;
class SelectionCommands;
class VandrelGameOfLifeView;
namespace Ui {
class MainWindow;
}

// The workbench's menus: the commands on the selection (Edit menu and the
// board's context menu), the paste modes, File ▸ Open Recent and the
// Patterns menu.
class WorkbenchMenus : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // Runs a command now, or once the file being read or written is done.
        std::function<void(std::function<void()>)> whenIdle;
        std::function<void()> pasteAsNewBoard;
        std::function<void(const QString& path)> openRecent;
        // Pastes a pattern's text into place, as Paste does the clipboard's.
        std::function<void(const QString& text)> pastePattern;
    };

    WorkbenchMenus(Ui::MainWindow& ui, QWidget* window, VandrelGameOfLifeView* view, SelectionCommands& selection,
                   Hooks hooks, QObject* parent);

    RecentFiles* recent() const { return recent_; }

private:
    void on(class QAction* action, std::function<void()> command);

    Hooks hooks_;
    RecentFiles* recent_ = nullptr;
};
