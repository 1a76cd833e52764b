#include "EditingWindowState.h"

#include <QMainWindow>

// The size is fixed through the window's least and greatest sizes alone:
// the window manager then offers no resizing and no maximising, and the
// window stays where it is. (Changing the window's flags instead would hide
// and show it again, and lose its place and state.) A maximized or
// full-screen window keeps the size the window manager holds it at: fixing
// it too would make the manager take the window out of that state.
void EditingWindowState::apply(QMainWindow* window)
{
    if (!(window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        window->setFixedSize(window->size());
    window->setWindowModified(true);
}

void EditingWindowState::restore(QMainWindow* window)
{
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->setWindowModified(false);
}
