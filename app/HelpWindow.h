#pragma once

#include <QSize>
#include <QString>

#include <functional>

class QDialog;
class QMainWindow;
class QWidget;

// A window of the Help menu, beside the main window and not modal: made the
// first time, shown and raised again after.
class HelpWindow {
public:
    // `content` makes what the window shows, in the window it is given.
    static QDialog* show(QMainWindow* window, const QString& name, const QString& title, QSize size,
                         const std::function<QWidget*(QDialog*)>& content);
};
