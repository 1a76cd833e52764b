#pragma once

#include <QAccessibleWidget>

class VandrelGameOfLifeView;

// What a screen reader hears of the board view: a graphic named "Board",
// described by its size in cells and the zoom and, in pattern-editing mode,
// the cell under the keyboard's cursor and whether it lives.
class BoardAccessible : public QAccessibleWidget {
public:
    explicit BoardAccessible(VandrelGameOfLifeView* view);

    QString text(QAccessible::Text t) const override;

    // Makes Qt ask this class for the interface of every board view.
    static void install();
    // Tells a listening screen reader that the description changed.
    static void changed(VandrelGameOfLifeView* view);

private:
    VandrelGameOfLifeView* view() const;
};
