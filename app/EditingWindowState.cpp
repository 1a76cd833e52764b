#include "EditingWindowState.h"

#include <QMainWindow>

namespace {

// Changing a window flag hides the window; a shown window is shown again,
// and one that was in front is brought to the front again (else its next
// click would only do that).
void setMaximizeButton(QMainWindow* window, bool on)
{
    if (window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint) == on)
        return;
    const bool visible = window->isVisible();
    const bool active = window->isActiveWindow();
    window->setWindowFlag(Qt::WindowMaximizeButtonHint, on);
    if (visible)
        window->show();
    if (active)
        window->activateWindow();
}

}  // namespace

void EditingWindowState::apply(QMainWindow* window)
{
    window->setFixedSize(window->size());
    setMaximizeButton(window, false);
    window->setWindowModified(true);
}

void EditingWindowState::restore(QMainWindow* window)
{
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setMaximizeButton(window, true);
    window->setWindowModified(false);
}
