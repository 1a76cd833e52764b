#pragma once

#include "LifeLikeRule.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class CellBitmap;
class DialogPresenter;
class FileCommands;
class QLineEdit;
class QWidget;
class VandrelGameOfLifeView;

// Edit ▸ Copy and Edit ▸ Paste. Copy puts the selection (with none, the
// whole board) on the clipboard as RLE text, so that it comes back exactly (gray cells as dead, and the
// person is told how many); Paste takes RLE or plaintext from the clipboard
// as a new board, placed as an imported pattern is. Making and reading the
// text is file work (FileWork), off the main thread.
//
// A text field of the window that has the keyboard focus keeps its own
// copying and pasting where that is what the person means, by the keys and
// the menu alike: Copy copies the field's selected text when it has some,
// and Paste pastes into the field a text that is not a pattern (a number
// into the iteration field). Everything else is the board's.
class ClipboardCommands : public QObject {
    Q_OBJECT
public:
    ClipboardCommands(QWidget* window, VandrelGameOfLifeView* view, DialogPresenter& dialogs, FileCommands& files);

    void copy();
    // `mayReplace` runs once the text has been read as a board, and says
    // whether the board may be replaced now (the unsaved-pattern guard);
    // false drops what was read. A text that is no pattern replaces nothing
    // and asks nothing: it gets its message.
    // A pattern smaller than the board floats over it to be put down
    // (unless `asNewBoard`).
    void paste(const std::function<bool()>& mayReplace, bool asNewBoard = false);
    // Pastes a pattern's text as Paste pastes the clipboard's.
    void pasteText(const QString& text, const std::function<bool()>& mayReplace, bool asNewBoard = false);

    // The name of the board's text on the clipboard, on its "#N" line.
    static constexpr const char* kBoardName = "GameOfLifePattern";

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* focusedField() const;
    static bool fieldCopies(const QLineEdit& field);
    static bool fieldPastes(const QLineEdit& field, const QString& text);
    // The reader's message, about "the text on the clipboard" rather than a file.
    static QString aboutClipboard(const std::string& error);
    void offerRule(const std::optional<LifeLikeRule>& rule);
    // A board of the cells of a rectangle of `board`; null without the memory.
    static std::unique_ptr<CellBitmap> cellsIn(const CellBitmap& board, QRect rect);

    QWidget* window_;
    VandrelGameOfLifeView* view_;
    DialogPresenter& dialogs_;
    FileCommands& files_;
};
