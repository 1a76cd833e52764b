#include "ClipboardCommands.h"
#include "MessageTranslation.h"
#include "CellBitmap.h"

#include "BoardLoad.h"
#include "BoardNavigation.h"
#include "DialogPresenter.h"
#include "FileCommands.h"
#include "FileMessage.h"
#include "PatternInterchange.h"
#include "RleWriter.h"
#include "VandrelGameOfLifeView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>
#include <cstdint>
#include <memory>

namespace {

// How the reader names the clipboard's text; its messages then begin with
// it in quotes, which aboutClipboard() words for the clipboard.
constexpr const char* kTextName = "clipboard";

}  // namespace

ClipboardCommands::ClipboardCommands(QWidget* window, VandrelGameOfLifeView* view, DialogPresenter& dialogs,
                                     FileCommands& files)
    : window_(window), view_(view), dialogs_(dialogs), files_(files)
{
    // A field takes Ctrl+C and Ctrl+V before the window's commands see them,
    // also when it has nothing to copy or the text is a pattern: those keys
    // are let through to the commands here. (The fields of sheets have no
    // board to copy and keep their keys.)
    for (QLineEdit* field : window->findChildren<QLineEdit*>()) {
        if (field->window() == window)
            field->installEventFilter(this);
    }
}

QLineEdit* ClipboardCommands::focusedField() const
{
    auto* field = qobject_cast<QLineEdit*>(window_->focusWidget());
    return field && field->isVisible() && field->isEnabled() ? field : nullptr;
}

bool ClipboardCommands::fieldCopies(const QLineEdit& field)
{
    return field.hasSelectedText() && field.echoMode() == QLineEdit::Normal;
}

bool ClipboardCommands::fieldPastes(const QLineEdit& field, const QString& text)
{
    const QByteArray bytes = text.left(65536).toUtf8();  // the beginning tells
    return !field.isReadOnly() &&
           PatternInterchange::formatOfText({bytes.constData(), std::size_t(bytes.size())}) ==
               PatternInterchange::Format::None;
}

bool ClipboardCommands::eventFilter(QObject* watched, QEvent* event)
{
    const auto* field = qobject_cast<QLineEdit*>(watched);
    if (field && event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool boardCopies = key->matches(QKeySequence::Copy) && !fieldCopies(*field);
        const bool boardPastes =
            key->matches(QKeySequence::Paste) && !fieldPastes(*field, QGuiApplication::clipboard()->text());
        if (boardCopies || boardPastes) {
            event->ignore();  // not the field's: the window's command runs
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ClipboardCommands::copy()
{
    if (QLineEdit* field = focusedField(); field && fieldCopies(*field)) {
        field->copy();
        return;
    }
    const auto board = view_->boardShown();  // one whole generation, even during a run
    if (!board)
        return;
    const QRect selected = view_->selection().rect();
    const LifeLikeRule rule = view_->life().rule();
    files_.work().run(tr("Copying the board\u2026"), [this, board, selected, rule](CancelFlag&) -> FileWork::Outcome {
        std::int64_t gray = 0;
        const auto part = selected.isEmpty() ? nullptr : cellsIn(*board, selected);
        if (!selected.isEmpty() && !part)
            return [this] { dialogs_.tell(window_, tr("There is not enough memory to copy the selection.")); };
        const QString text = QString::fromStdString(RleWriter::toText(part ? *part : *board, kBoardName, &gray, rule));
        return [this, text, gray] {
            QGuiApplication::clipboard()->setText(text);
            if (gray == 1)
                dialogs_.note(window_, tr("1 gray cell was copied as a dead cell."));
            else if (gray > 1)
                dialogs_.note(window_, tr("%1 gray cells were copied as dead cells.").arg(gray));
        };
    });
}

void ClipboardCommands::paste(const std::function<bool()>& mayReplace, bool asNewBoard)
{
    const QString text = QGuiApplication::clipboard()->text();
    if (QLineEdit* field = focusedField(); field && fieldPastes(*field, text)) {
        field->paste();
        return;
    }
    pasteText(text, mayReplace, asNewBoard);
}

void ClipboardCommands::pasteText(const QString& text, const std::function<bool()>& mayReplace, bool asNewBoard)
{
    const PatternTarget target = files_.shownTarget();
    files_.work().run(tr("Reading the clipboard\u2026"),
                      [this, text, target, mayReplace, asNewBoard](CancelFlag&) -> FileWork::Outcome {
                          const QByteArray bytes = text.toUtf8();
                          auto load = std::make_shared<BoardLoad>(PatternInterchange::parse(
                              {bytes.constData(), std::size_t(bytes.size())}, kTextName, target));
                          const auto live = load->board && !asNewBoard ? BoardNavigation::liveBounds(*load->board)
                                                                       : std::nullopt;
                          return [this, load, mayReplace, live] {
                              if (!load->board)
                                  dialogs_.tell(window_, aboutClipboard(load->error));
                              else if (live && view_->startPaste(*load->board, *live))
                                  offerRule(load->rule);
                              else if (mayReplace())
                                  files_.showPattern(load);
                          };
                      });
}

// A floating pattern that names a rule other than the board's: the person
// says whether the board runs under it from now on.
void ClipboardCommands::offerRule(const std::optional<LifeLikeRule>& rule)
{
    if (!rule || *rule == view_->life().rule())
        return;
    dialogs_.ask(window_,
                 tr("The pattern names the rule %1. Should the board run under it?")
                     .arg(QString::fromStdString(rule->name())),
                 [this, rule = *rule](bool yes) {
                     if (yes)
                         view_->setRule(rule);
                 });
}

std::unique_ptr<CellBitmap> ClipboardCommands::cellsIn(const CellBitmap& board, QRect rect)
{
    auto part = CellBitmap::create(rect.width(), rect.height());
    if (!part)
        return nullptr;
    const auto cells = Selection::cellsOf(board, rect);
    std::copy(cells.begin(), cells.end(), part->data());
    return part;
}

QString ClipboardCommands::aboutClipboard(const std::string& error)
{
    const QString named = QString::fromStdString(FileMessage::quoted(kTextName));
    const QString text = MessageTranslation::translated(error);
    if (!text.startsWith(named))
        return text;
    return tr("The text on the clipboard") + text.mid(named.size());
}
