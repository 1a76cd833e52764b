#include "VandrelGameOfLifeView.h"

#include "BoardPainter.h"
#include "GifRecorder.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cmath>

VandrelGameOfLifeView::VandrelGameOfLifeView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // A run asks for a redraw after every generation, from its own thread.
    // Requests that come while one is already on its way add nothing. The
    // call queued carries no data of ours across threads.
    life_.setRedrawHandler([this] {
        if (!redrawPending_.exchange(true))
            QMetaObject::invokeMethod(this, "redrawRequested", Qt::QueuedConnection);
    });
    // A recording run writes its generations as an animated GIF.
    life_.setRecorderFactory([](const std::string& file) { return std::make_unique<GifRecorder>(file); });
    update();
}

// Every run ends, and every engine thread is joined, before any member the
// redraw handler uses goes.
VandrelGameOfLifeView::~VandrelGameOfLifeView() { life_.shutdown(); }

void VandrelGameOfLifeView::redrawRequested()
{
    redrawPending_.store(false);
    update();
}

bool VandrelGameOfLifeView::initWithBitmap(const CellBitmap& bitmap)
{
    if (!life_.initWithBitmap(bitmap))
        return false;
    update();
    return true;
}

bool VandrelGameOfLifeView::startGameOfLifeAndWriteToFile(bool record, const std::string& file,
                                                          RunIndicators indicators)
{
    return life_.startGameOfLifeAndWriteToFile(record, file, std::move(indicators));
}

void VandrelGameOfLifeView::reset()
{
    life_.reset();
    update();
}

void VandrelGameOfLifeView::prepareCreatingWithPixelsWide(std::int32_t width, std::int32_t height)
{
    isCreating_ = true;
    // A size below 1 cell leaves no board; the next drawing makes a random one.
    life_.replaceBitmap(CellBitmap::create(width, height, {double(this->width()), double(this->height())}));
    update();
}

void VandrelGameOfLifeView::endCreating()
{
    isCreating_ = false;
    somethingChanged_ = false;
}

void VandrelGameOfLifeView::mouseDown(QPointF press)
{
    if (!isCreating_)
        return;
    auto board = life_.getBitmap();
    if (!board)
        return;
    const double viewWidth = width();
    const double viewHeight = height();
    const double fromTop = viewHeight - press.y();
    // Cell sizes in single precision, the quotients truncated toward zero.
    const auto cellWidth = static_cast<float>(viewWidth / double(board->pixelsWide()));
    const auto cellHeight = static_cast<float>(viewHeight / double(board->pixelsHigh()));
    auto column = static_cast<std::int64_t>(static_cast<std::int32_t>(press.x() / double(cellWidth)));
    auto row = static_cast<std::int64_t>(static_cast<std::int32_t>(fromTop / double(cellHeight)));
    // A press on the right or bottom edge can reach the board's size.
    column = std::clamp<std::int64_t>(column, 0, board->pixelsWide() - 1);
    row = std::clamp<std::int64_t>(row, 0, board->pixelsHigh() - 1);
    const std::uint8_t toggled =
        board->getPixel(column, row) == CellBitmap::kLive ? CellBitmap::kDead : CellBitmap::kLive;
    board.reset();  // unshared, the board is edited in place
    const CellEdit edit{column, row, toggled};
    const bool changed = life_.editCells({&edit, 1});
    if (changed) {
        somethingChanged_ = true;
        update();
    }
}

void VandrelGameOfLifeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // The press counted from the bottom-left corner, y growing upward.
    const QPointF p = event->position();
    mouseDown({p.x(), double(height()) - p.y()});
}

void VandrelGameOfLifeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawRect(painter, rect());
}

void VandrelGameOfLifeView::drawRect(QPainter& painter, const QRect& rect)
{
    painter.fillRect(rect, Qt::white);
    const auto snapshot = life_.makeBitmapIfNone(rect.width(), rect.height());
    if (!snapshot.board)
        return;  // too small for a board: white, and the next drawing tries again
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(static_cast<int>(std::ceil(rect.width() * ratio)),
                       static_cast<int>(std::ceil(rect.height() * ratio)));
    if (picture_.size() != pixels || pictureSerial_ != snapshot.serial) {
        picture_ = BoardPainter::render(*snapshot.board, pixels);
        picture_.setDevicePixelRatio(ratio);
        pictureSerial_ = snapshot.serial;
    }
    painter.drawImage(QRectF(rect), picture_);
    life_.pacer().shown(snapshot.serial);
}

void VandrelGameOfLifeView::updateDisplayed()
{
    // Offscreen and minimal platforms show nothing: a run never waits for them.
    const QString platform = QGuiApplication::platformName();
    const bool screen = platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    const QWidget* top = window();
    const bool minimised = top && (top->windowState() & Qt::WindowMinimized);
    life_.pacer().setDisplayed(screen && isVisible() && !minimised);
}

void VandrelGameOfLifeView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (window() != watchedWindow_ && window() != this) {
        if (watchedWindow_)
            watchedWindow_->removeEventFilter(this);
        watchedWindow_ = window();
        watchedWindow_->installEventFilter(this);
    }
    updateDisplayed();
}

void VandrelGameOfLifeView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    updateDisplayed();
}

bool VandrelGameOfLifeView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == watchedWindow_ && event->type() == QEvent::WindowStateChange)
        updateDisplayed();
    return QWidget::eventFilter(watched, event);
}
