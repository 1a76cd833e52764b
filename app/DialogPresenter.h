#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QDialog;
class QFileDialog;
class QProgressDialog;
class QWidget;

// The settings of an open or save panel.
struct FilePanel {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QString message;      // shown in the panel, above its buttons
    QString prompt;       // the accepting button's text
    QStringList types;    // allowed extensions, without the dot; the first is the one added
    QStringList alsoAccepted;  // further extensions an open panel lists (e.g. "jpeg")
    QString name;         // proposed file name (save panels)
    // Save panels: when set, the person chooses one of the types, named
    // here in the order of `types` ("RLE" for "rle"), and the chosen one is
    // the extension added.
    QStringList typeNames;
};

// The answers of the unsaved-pattern question: the code of the button
// pressed, numbered from 1000 in the order of the buttons. A code beyond
// these three (a button the question does not have) is possible, and the
// guard treats it as Cancel.
enum class SaveAnswer { Save = 1000, Cancel = 1001, DontSave = 1002 };

// Shows the application's dialogs: every one window-modal on the main
// window, reporting through a completion handler on the main thread. Each
// dialog is a real Qt dialog; `presented` lets a caller without a person
// (the tests) reach the dialog as soon as it is on screen and answer it.
class DialogPresenter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The unsaved-pattern question.
    void askToSave(QWidget* window, std::function<void(SaveAnswer)> done);
    // An open or save panel; `done` gets the chosen path, or nothing when dismissed.
    void showFilePanel(QWidget* window, const FilePanel& panel,
                       std::function<void(std::optional<QString>)> done);
    // A message about something that went wrong; `closed` runs once the
    // person has dismissed it.
    void tell(QWidget* window, const QString& text, const QString& details = {},
              std::function<void()> closed = {});
    // Something worth knowing about a command that went well, in the main
    // window's status bar, where it stays until the next message: nothing
    // waits for it to be read.
    void note(QWidget* window, const QString& text);
    // The question before a save replaces an existing file, in the words
    // of Qt's own file dialogs; `done` gets true for Yes.
    void askToReplace(QWidget* parent, const QString& fileName, std::function<void(bool replace)> done);
    // A question answered Yes or No; `done` gets true for Yes.
    void ask(QWidget* window, const QString& text, std::function<void(bool yes)> done);
    // A whole number from `least` to `most`,
    // starting at `value`; `done` gets it, or nothing when dismissed.
    void askForNumber(QWidget* window, const QString& title, const QString& label, int value, int least, int most,
                      std::function<void(std::optional<int>)> done);
    // A busy indicator with Cancel, shown until the caller closes it;
    // `cancelled` runs when the person presses Cancel.
    QProgressDialog* showProgress(QWidget* window, const QString& label, std::function<void()> cancelled);

    // The folder each kind of panel (open or save, and its types) last
    // showed a chosen file in; the next such panel opens there.
    QMap<QString, QString> lastFolders;
    static QString panelKind(const FilePanel& panel);

    // Shows a dialog of the caller's own, window-modal; it is deleted once closed.
    void show(QDialog* dialog) { present(dialog); }
    // Called with each dialog right after it is shown.
    std::function<void(QDialog*)> presented;

    // The path as saved: with the panel's first extension added when the
    // chosen name has none of the allowed ones.
    static QString withAllowedExtension(const QString& path, const QStringList& types);
    // The panel's types with the one the person chose first.
    static QStringList chosenTypeFirst(const QFileDialog& panel, QStringList types);

private:
    void present(QDialog* dialog);
};
