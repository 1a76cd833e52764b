#pragma once

#include <QObject>
#include <QString>

class DialogPresenter;
class QAction;
class QComboBox;
class QLineEdit;
class QMainWindow;
class RecentFiles;
class VandrelGameOfLifeView;

// What the application remembers from one session to the next: the
// recent files, the window's size and place, the speed, the count of
// generations a run goes for, the paste mode and the folder each kind of
// file panel last showed; kept with QSettings in an INI file. A file that
// is missing or cannot be read, or a value in it out of range, means that
// setting's default. Everything is written when the window goes.
class AppSettings : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QMainWindow* window;
        QComboBox* speed;
        QLineEdit* iterations;
        VandrelGameOfLifeView* view;
        QAction* pasteModes[3];  // Copy, Or, Xor
        RecentFiles* recent;
        DialogPresenter* dialogs;  // the panels' last folders
    };
    // Restores the controls from `file` now.
    AppSettings(const QString& file, Controls controls, QObject* parent = nullptr);
    // Writes them to the file.
    void save() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString file_;
    Controls controls_;
};
