#pragma once

#include <QCoreApplication>
#include <QString>

class QDialog;
class QMainWindow;

// Help ▸ Manual: the application's manual page, shipped inside it, in a
// window of its own. The page's roff source is drawn simply: its headings,
// paragraphs, tagged paragraphs, indents and examples, and its bold and
// italic words; the few other requests it uses are left out.
class ManualWindow {
    Q_DECLARE_TR_FUNCTIONS(ManualWindow)

public:
    // The page as HTML for a text view.
    static QString toHtml(const QString& roff);
    // Shows the manual beside the main window (the same one again when it is already open).
    static QDialog* show(QMainWindow* window);
};
