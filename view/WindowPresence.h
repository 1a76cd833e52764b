#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>

class QWidget;

// What the view knows of its window: whether it is shown on a screen (not
// hidden, not minimised, not on a platform that shows nothing), and whether
// a press is the click that just brought the window to the front.
class WindowPresence : public QObject {
    Q_OBJECT
public:
    // Watches `view` and, once shown, its window; `displayed` hears every
    // change of whether the view can be seen.
    WindowPresence(QWidget* view, std::function<void(bool)> displayed);

    // A click on a window behind others first brings it to the front; the
    // press itself follows a few milliseconds later, with no move of the
    // pointer in between. Such a press, or one in a window not in front,
    // is not meant for the board.
    bool pressBringsWindowToFront() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void update();

    QWidget* view_;
    QWidget* window_ = nullptr;  // the window whose minimising we follow
    std::function<void(bool)> displayed_;
    QElapsedTimer activated_;    // since the window last came to the front
    bool pointerMoved_ = false;  // over the view, since then
};
