#include "WindowPresence.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace {

// A press this soon after the window came to the front, the pointer not
// moved since, is the click that brought it there (a person's next click
// comes much later).
constexpr qint64 kActivationPressMs = 150;

}  // namespace

WindowPresence::WindowPresence(QWidget* view, std::function<void(bool)> displayed)
    : QObject(view), view_(view), displayed_(std::move(displayed))
{
    view_->installEventFilter(this);
}

bool WindowPresence::pressBringsWindowToFront() const
{
    const QWindow* shownIn = view_->window()->windowHandle();
    if (!shownIn || !shownIn->isActive())
        return true;
    return activated_.isValid() && !pointerMoved_ && activated_.elapsed() < kActivationPressMs;
}

bool WindowPresence::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        if (watched == view_) {
            activated_.start();
            pointerMoved_ = false;
        }
        break;
    case QEvent::MouseMove:
        pointerMoved_ = pointerMoved_ || watched == view_;
        break;
    case QEvent::Show:
        if (watched == view_ && view_->window() != window_ && view_->window() != view_) {
            if (window_)
                window_->removeEventFilter(this);
            window_ = view_->window();
            window_->installEventFilter(this);
        }
        update();
        break;
    case QEvent::Hide:
    case QEvent::WindowStateChange:
        update();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void WindowPresence::update()
{
    // Offscreen and minimal platforms show nothing: a run never waits for them.
    const QString platform = QGuiApplication::platformName();
    const bool screen = platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    const QWidget* top = view_->window();
    const bool minimised = top && (top->windowState() & Qt::WindowMinimized);
    displayed_(screen && view_->isVisible() && !minimised);
}
