#include "StatusPresenter.h"

#include "VandrelGameOfLifeView.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QScreen>
#include <QStringList>
#include <QStatusBar>

#include <algorithm>

StatusPresenter::StatusPresenter(QStatusBar* bar, VandrelGameOfLifeView* view)
    : bar_(bar), view_(view), label_(new QLabel(bar))
{
    label_->setObjectName(QStringLiteral("boardStatus"));
    // However long the text, it never makes the window wider than the view wants.
    label_->setMinimumWidth(1);
    bar->addPermanentWidget(label_);
    // The label's own name is what a screen reader announces; set here, it
    // keeps the label from announcing every change of its text.
    label_->setAccessibleName(tr("No board"));
    quiet_.setSingleShot(true);
    quiet_.setInterval(1000);
    connect(&quiet_, &QTimer::timeout, this, [this] {
        if (untold_)
            announce();
    });
    const QScreen* screen = bar->screen();
    const double frameRate = screen && screen->refreshRate() > 1 ? screen->refreshRate() : 60.0;
    frame_.setSingleShot(true);
    frame_.setInterval(std::max(1, int(1000.0 / frameRate)));
    connect(&frame_, &QTimer::timeout, this, &StatusPresenter::refresh);
    connect(view, &VandrelGameOfLifeView::drawn, this, [this] {
        if (!frame_.isActive())
            frame_.start();
    });
    connect(bar, &QStatusBar::messageChanged, this, &StatusPresenter::fit);
    bar->installEventFilter(this);
}

QString StatusPresenter::text() const
{
    return figures_;
}

bool StatusPresenter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == bar_ && event->type() == QEvent::Resize)  // once the bar has laid out its label anew
        QMetaObject::invokeMethod(this, &StatusPresenter::fit, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

QString StatusPresenter::joined(const std::vector<Figure>& figures)
{
    QStringList texts;
    for (const Figure& f : figures)
        texts << f.text;
    return texts.join(QStringLiteral(" \u00b7 "));
}

void StatusPresenter::fit()
{
    // The figures end at the bar's right edge, less its margin and size
    // grip; a note, drawn from 6 pixels in, keeps its whole width before them.
    const QFontMetrics metrics(label_->font());
    const int rightEdge = label_->isVisible() ? label_->geometry().right() + 1 : bar_->width() - 20;
    int room = rightEdge - 6;
    if (const QString note = bar_->currentMessage(); !note.isEmpty())
        room -= metrics.horizontalAdvance(note) + metrics.horizontalAdvance(QStringLiteral("    "));
    // Where they do not fit, the least needed go first (the zoom, the rule,
    // the size, the population, the selection), and what is left is cut short.
    auto kept = parts_;
    while (kept.size() > 1 && metrics.horizontalAdvance(joined(kept)) > room)
        kept.erase(std::min_element(kept.begin(), kept.end(),
                                    [](const Figure& a, const Figure& b) { return a.need < b.need; }));
    const QString shown = room > metrics.horizontalAdvance(tr("Generation …"))
                              ? metrics.elidedText(joined(kept), Qt::ElideRight, room)
                              : QString();
    label_->setVisible(!shown.isEmpty());
    if (shown != label_->text())
        label_->setText(shown);
}

void StatusPresenter::refresh()
{
    if (!bar_->isVisible())
        return;
    const BoardSnapshot shown = view_->life().snapshot();
    std::vector<Figure> parts;
    if (shown.board) {
        const QLocale locale;
        const BoardViewport& viewport = view_->viewport();
        parts.push_back({tr("Generation %1").arg(locale.toString(qulonglong(shown.generation))), 6});
        parts.push_back({tr("Population %1").arg(locale.toString(qlonglong(shown.population))), 4});
        parts.push_back({tr("%1 \u00d7 %2 cells")
                             .arg(locale.toString(qlonglong(shown.board->pixelsWide())),
                                  locale.toString(qlonglong(shown.board->pixelsHigh()))),
                         3});
        parts.push_back({QString::fromStdString(shown.rule.name()) +
                             (shown.rule.world == World::Torus ? tr(" on a torus") : QString()),
                         2});
        parts.push_back({viewport.wholeBoard()
                             ? tr("Whole board")
                             : tr("Zoom %1%").arg(locale.toString(viewport.pointsPerCell() * 100, 'g', 4)),
                         1});
        if (const QRect selected = view_->selection().rect(); !selected.isEmpty())
            parts.push_back({tr("Selection %1 \u00d7 %2")
                                 .arg(locale.toString(selected.width()), locale.toString(selected.height())),
                             5});
    } else {
        parts.push_back({tr("No board"), 6});
    }
    parts_ = std::move(parts);
    const QString text = joined(parts_);
    if (text != figures_) {
        figures_ = text;
        fit();
        if (quiet_.isActive())
            untold_ = true;
        else
            announce();
    }
}

void StatusPresenter::announce()
{
    untold_ = false;
    label_->setAccessibleName(figures_);
    quiet_.start();
}
