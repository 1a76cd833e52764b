#include "BoardAccessible.h"

#include "CellBitmap.h"
#include "VandrelGameOfLifeView.h"

#include <QCoreApplication>
#include <QLocale>

BoardAccessible::BoardAccessible(VandrelGameOfLifeView* view)
    : QAccessibleWidget(view, QAccessible::Graphic, QCoreApplication::translate("BoardAccessible", "Board"))
{
}

VandrelGameOfLifeView* BoardAccessible::view() const
{
    return static_cast<VandrelGameOfLifeView*>(widget());
}

QString BoardAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Description)
        return QAccessibleWidget::text(t);
    const auto board = view()->getBitmap();
    if (!board)
        return QCoreApplication::translate("BoardAccessible", "No board");
    const QLocale locale;
    const BoardViewport& viewport = view()->viewport();
    const QString zoom = viewport.wholeBoard()
                             ? QCoreApplication::translate("BoardAccessible", "the whole board shown")
                             : QCoreApplication::translate("BoardAccessible", "zoom %1%")
                                   .arg(locale.toString(viewport.pointsPerCell() * 100, 'g', 4));
    QString text = QCoreApplication::translate("BoardAccessible", "%1 \u00d7 %2 cells, %3")
                       .arg(locale.toString(qlonglong(board->pixelsWide())),
                            locale.toString(qlonglong(board->pixelsHigh())), zoom);
    if (view()->isCreating()) {
        const Cell cell = view()->cursorCell();
        const bool live = cell.x < board->pixelsWide() && cell.y < board->pixelsHigh() &&
                          board->row(cell.y)[cell.x] == CellBitmap::kLive;
        text += (live ? QCoreApplication::translate("BoardAccessible", "; cell %1, %2 under the cursor, live")
                      : QCoreApplication::translate("BoardAccessible", "; cell %1, %2 under the cursor, dead"))
                    .arg(locale.toString(qlonglong(cell.x) + 1), locale.toString(qlonglong(cell.y) + 1));
    }
    return text;
}

void BoardAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString& className, QObject* object) -> QAccessibleInterface* {
            auto* view = qobject_cast<VandrelGameOfLifeView*>(object);
            if (!view || className != QLatin1String(VandrelGameOfLifeView::staticMetaObject.className()))
                return nullptr;
            return new BoardAccessible(view);
        });
        return true;
    }();
    (void)installed;
}

void BoardAccessible::changed(VandrelGameOfLifeView* view)
{
    QAccessibleEvent event(view, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}
