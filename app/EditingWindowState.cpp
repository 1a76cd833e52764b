#include "EditingWindowState.h"

#include <QMainWindow>

namespace {

// Changing a window flag hides the window; a shown window is shown again.
void setMaximizeButton(QMainWindow* window, bool on)
{
    if (window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint) == on)
        return;
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowMaximizeButtonHint, on);
    if (visible)
        window->show();
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
