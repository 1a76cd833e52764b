#include "ClipboardCommands.h"

#include "BoardLoad.h"
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
    files_.work().run(QStringLiteral("Copying the board\u2026"), [this, board](CancelFlag&) -> FileWork::Outcome {
        std::int64_t gray = 0;
        const QString text = QString::fromStdString(RleWriter::toText(*board, kBoardName, &gray));
        return [this, text, gray] {
            QGuiApplication::clipboard()->setText(text);
            if (gray == 1)
                dialogs_.note(window_, QStringLiteral("1 gray cell was copied as a dead cell."));
            else if (gray > 1)
                dialogs_.note(window_, QStringLiteral("%1 gray cells were copied as dead cells.").arg(gray));
        };
    });
}

void ClipboardCommands::paste(const std::function<bool()>& mayReplace)
{
    const QString text = QGuiApplication::clipboard()->text();
    if (QLineEdit* field = focusedField(); field && fieldPastes(*field, text)) {
        field->paste();
        return;
    }
    const PatternTarget target = files_.shownTarget();
    files_.work().run(QStringLiteral("Reading the clipboard\u2026"),
                      [this, text, target, mayReplace](CancelFlag&) -> FileWork::Outcome {
                          const QByteArray bytes = text.toUtf8();
                          auto load = std::make_shared<BoardLoad>(PatternInterchange::parse(
                              {bytes.constData(), std::size_t(bytes.size())}, kTextName, target));
                          return [this, load, mayReplace] {
                              if (!load->board)
                                  dialogs_.tell(window_, aboutClipboard(load->error));
                              else if (mayReplace())
                                  files_.showPattern(load);
                          };
                      });
}

QString ClipboardCommands::aboutClipboard(const std::string& error)
{
    const std::string named = FileMessage::quoted(kTextName);
    if (!error.starts_with(named))
        return QString::fromStdString(error);
    return QStringLiteral("The text on the clipboard") + QString::fromStdString(error.substr(named.size()));
}
