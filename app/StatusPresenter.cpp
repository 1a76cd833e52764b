#include "StatusPresenter.h"

#include "VandrelGameOfLifeView.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QScreen>
#include <QStatusBar>

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

void StatusPresenter::fit()
{
    QString shown = figures_;
    const QString note = bar_->currentMessage();
    if (!note.isEmpty()) {
        // The bar draws its note from 6 pixels in; the figures end at the
        // bar's right edge, less its margin and size grip.
        const QFontMetrics metrics(label_->font());
        const int rightEdge = label_->isVisible() ? label_->geometry().right() + 1 : bar_->width() - 20;
        const int room = rightEdge - 6 - metrics.horizontalAdvance(note) - metrics.horizontalAdvance(QStringLiteral("    "));
        shown = room > metrics.horizontalAdvance(tr("Generation …"))
                    ? metrics.elidedText(figures_, Qt::ElideRight, room)
                    : QString();
    }
    label_->setVisible(!shown.isEmpty());
    if (shown != label_->text())
        label_->setText(shown);
}

void StatusPresenter::refresh()
{
    if (!bar_->isVisible())
        return;
    const BoardSnapshot shown = view_->life().snapshot();
    QString text = tr("No board");
    if (shown.board) {
        const QLocale locale;
        const BoardViewport& viewport = view_->viewport();
        const QString zoom = viewport.wholeBoard()
                                 ? tr("Whole board")
                                 : tr("Zoom %1%").arg(locale.toString(viewport.pointsPerCell() * 100, 'g', 4));
        const QString rule = QString::fromStdString(shown.rule.name()) +
                             (shown.rule.world == World::Torus ? tr(" on a torus") : QString());
        text = tr("Generation %1 \u00b7 Population %2 \u00b7 %3 \u00d7 %4 cells \u00b7 %5 \u00b7 %6")
                   .arg(locale.toString(qulonglong(shown.generation)), locale.toString(qlonglong(shown.population)),
                        locale.toString(qlonglong(shown.board->pixelsWide())),
                        locale.toString(qlonglong(shown.board->pixelsHigh())), rule, zoom);
        if (const QRect selected = view_->selection().rect(); !selected.isEmpty())
            text += tr(" \u00b7 Selection %1 \u00d7 %2")
                        .arg(locale.toString(selected.width()), locale.toString(selected.height()));
    }
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
