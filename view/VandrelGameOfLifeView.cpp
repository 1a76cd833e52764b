#include "VandrelGameOfLifeView.h"

#include "BoardAccessible.h"
#include "BoardNavigation.h"
#include "BoardOverlay.h"
#include "GifRecorder.h"
#include "WindowPresence.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// Device pixel positions that are whole numbers but for rounding stay whole.
constexpr double kRounding = 1e-6;
// One notch of a mouse wheel.
constexpr int kWheelStep = 120;
}  // namespace

VandrelGameOfLifeView::VandrelGameOfLifeView(QWidget* parent)
    : QWidget(parent), editing_(life_, [this] { update(); }), workbench_(*this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFocusPolicy(Qt::StrongFocus);  // a click or Tab gives the board the keys
    BoardAccessible::install();
    connect(this, &VandrelGameOfLifeView::cursorChanged, this, [this] { BoardAccessible::changed(this); });
    setMouseTracking(true);  // moves without a button tell a click apart from the one that activated the window
    // Zoom In is Ctrl+plus; where plus needs Shift, Ctrl and the same key without it zooms in too.
    new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), this, this, &VandrelGameOfLifeView::zoomIn, Qt::WindowShortcut);
    // A run asks for a redraw after every generation, from its own thread.
    // Requests that come while one is already on its way add nothing. The
    // call queued carries no data of ours across threads.
    life_.setRedrawHandler([this] {
        if (!redrawPending_.exchange(true))
            QMetaObject::invokeMethod(this, "redrawRequested", Qt::QueuedConnection);
    });
    // A recording run writes its generations as an animated GIF.
    presence_ = new WindowPresence(this, [this](bool displayed) { life_.pacer().setDisplayed(displayed); });
    life_.setRecorderFactory([](const std::string& file) { return std::make_unique<GifRecorder>(file); });
    update();
}

// Every run ends, and every engine thread is joined, before any member the
// redraw handler uses goes; the window watch goes first, since the view
// being taken down hides it.
VandrelGameOfLifeView::~VandrelGameOfLifeView()
{
    delete presence_;
    life_.shutdown();
}

void VandrelGameOfLifeView::redrawRequested()
{
    redrawPending_.store(false);
    update();
}

bool VandrelGameOfLifeView::initWithBitmap(const CellBitmap& bitmap, const std::optional<LifeLikeRule>& rule,
                                           std::uint64_t generation)
{
    if (!life_.initWithBitmap(bitmap, rule, generation))
        return false;
    boardReplaced();
    emit iterationsReset(life_.iterations());
    return true;
}

bool VandrelGameOfLifeView::setRule(const LifeLikeRule& rule)
{
    if (editing_.isCreating())
        endDrag();
    return editing_.setRule(rule);
}

bool VandrelGameOfLifeView::startGameOfLifeAndWriteToFile(bool record, const std::string& file,
                                                          RunIndicators indicators)
{
    return life_.startGameOfLifeAndWriteToFile(record, file, std::move(indicators));
}

std::shared_ptr<const CellBitmap> VandrelGameOfLifeView::boardShown()
{
    auto board = life_.makeBitmapIfNone(width(), height()).board;
    update();
    return board;
}

void VandrelGameOfLifeView::reset()
{
    life_.reset();
    boardReplaced();
}

// Undoing can no longer lead back to the board the mode began with; whether
// the board differs from it stays as it was.
void VandrelGameOfLifeView::boardReplaced()
{
    endDrag();
    workbench_.fitSelection();
    editing_.boardReplaced();
    update();
}

// ---------------------------------------------------------------- pattern editing

void VandrelGameOfLifeView::prepareCreatingWithPixelsWide(std::int32_t width, std::int32_t height)
{
    editing_.start();
    // A size below 1 cell leaves no board; the next drawing makes a random one.
    life_.replaceBitmap(CellBitmap::create(width, height, {double(this->width()), double(this->height())}));
    boardReplaced();
}

void VandrelGameOfLifeView::startEditing()
{
    editing_.start();
}

void VandrelGameOfLifeView::endCreating()
{
    endDrag();
    editing_.end();
}

void VandrelGameOfLifeView::mouseDown(QPointF press)
{
    beginStroke({press.x(), double(height()) - press.y()});
    endDrag();
}

void VandrelGameOfLifeView::undo()
{
    endDrag();
    editing_.undo();
}

void VandrelGameOfLifeView::redo()
{
    endDrag();
    editing_.redo();
}

void VandrelGameOfLifeView::beginStroke(QPointF point)
{
    if (!editing_.isCreating())
        return;
    syncViewport(life_.getBitmap().get());
    const auto cell = viewport_.cellAt(pixelAt(point));
    if (!cell)
        return;  // beside the board, or no board
    editing_.beginStroke(*cell);
    drag_ = Drag::Stroke;
    dragButton_ = Qt::LeftButton;
}

void VandrelGameOfLifeView::continueStroke(QPointF point)
{
    syncViewport(life_.getBitmap().get());
    std::optional<Cell> cell;
    if (QRectF(rect()).contains(point))  // on the right and bottom edges too
        cell = viewport_.cellAt(pixelAt(point));
    editing_.continueStroke(cell);
}

void VandrelGameOfLifeView::cursorKey(int key, bool far)
{
    const auto board = life_.getBitmap();
    if (!board)
        return;
    syncViewport(board.get());
    CellCursor& cursor = editing_.cursor();
    cursor.show(true);
    if (CellCursor::toggles(key))
        editing_.toggleCursorCell(viewport_.boardCells());
    else
        cursor.move(key, far, viewport_.boardCells());
    // A zoomed board follows the cursor.
    if (!viewport_.wholeBoard()) {
        const Cell cell = cursor.cell(viewport_.boardCells());
        const QRectF frame = BoardOverlay::pointsOf(viewport_, QRect(int(cell.x), int(cell.y), 1, 1), {});
        if (const QPointF by = CellCursor::follow(frame, QSizeF(size())); !by.isNull())
            viewport_.pan(by);
    }
    update();
    emit cursorChanged();
}

void VandrelGameOfLifeView::endDrag()
{
    editing_.endStroke();
    if (drag_ == Drag::Pan)
        unsetCursor();
    drag_ = Drag::None;
    dragButton_ = Qt::NoButton;
}

// ---------------------------------------------------------------- the workbench

void VandrelGameOfLifeView::prepareEdit()
{
    if (beforeEdit_)
        beforeEdit_();
}

bool VandrelGameOfLifeView::recordChange(BlockChange change)
{
    endDrag();
    editing_.record(std::move(change));
    return true;
}

std::optional<QPoint> VandrelGameOfLifeView::cellUnder(QPointF point)
{
    syncViewport(life_.getBitmap().get());
    const auto cell = viewport_.cellAt(pixelAt(point));
    return cell ? std::optional(QPoint(int(cell->x), int(cell->y))) : std::nullopt;
}

std::optional<QPoint> VandrelGameOfLifeView::cellNearest(QPointF point)
{
    const auto board = life_.getBitmap();
    if (!board)
        return std::nullopt;
    syncViewport(board.get());
    const QPoint pixel = pixelAt(point);
    // Beyond the board, the nearest cell on its edge.
    auto column = viewport_.columnAt(pixel.x()), row = viewport_.rowAt(pixel.y());
    if (column < 0)
        column = std::clamp<std::int64_t>(viewport_.columnFrom(pixel.x()), 0, board->pixelsWide() - 1);
    if (row < 0)
        row = std::clamp<std::int64_t>(viewport_.rowFrom(pixel.y()), 0, board->pixelsHigh() - 1);
    return QPoint(int(column), int(row));
}

bool VandrelGameOfLifeView::startPaste(const CellBitmap& pattern, QRect rect)
{
    if (!workbench_.startPaste(pattern, rect))
        return false;
    endDrag();
    workbench_.movePasteTo(pointerOrCentre());
    setFocus();
    return true;
}

// ---------------------------------------------------------------- the mouse

void VandrelGameOfLifeView::mousePressEvent(QMouseEvent* event)
{
    if (drag_ != Drag::None)
        return;  // a second button while one drags
    const Qt::MouseButton button = event->button();
    if (button == Qt::LeftButton && workbench_.isPasting()) {
        workbench_.movePasteTo(event->position());
        workbench_.putDownPaste();
        return;
    }
    if (button == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier)) {
        if (workbench_.beginSelecting(event->position())) {
            drag_ = Drag::Select;
            dragButton_ = button;
        }
        return;
    }
    if (button == Qt::MiddleButton || (button == Qt::LeftButton && !editing_.isCreating())) {
        drag_ = Drag::Pan;
        dragButton_ = button;
        dragFrom_ = event->position();
        if (!viewport_.wholeBoard())
            setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (button == Qt::LeftButton && !presence_->pressBringsWindowToFront())
        beginStroke(event->position());
}

void VandrelGameOfLifeView::mouseMoveEvent(QMouseEvent* event)
{
    if (workbench_.isPasting())
        workbench_.movePasteTo(event->position());
    if (drag_ != Drag::None && !(event->buttons() & dragButton_)) {
        endDrag();  // its release went elsewhere
        return;
    }
    if (drag_ == Drag::Pan) {
        if (viewport_.pan(event->position() - dragFrom_))
            update();
        dragFrom_ = event->position();
    } else if (drag_ == Drag::Stroke) {
        continueStroke(event->position());
    } else if (drag_ == Drag::Select) {
        workbench_.continueSelecting(event->position());
    }
}

void VandrelGameOfLifeView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == dragButton_)
        endDrag();
}

void VandrelGameOfLifeView::wheelEvent(QWheelEvent* event)
{
    wheelAngle_ += event->angleDelta().y();
    const int steps = wheelAngle_ / kWheelStep;
    wheelAngle_ -= steps * kWheelStep;
    if (steps != 0)
        zoomAt(steps, event->position());
    event->accept();
}

void VandrelGameOfLifeView::keyPressEvent(QKeyEvent* event)
{
    if (workbench_.keyPress(event->key(), event->modifiers() & Qt::ShiftModifier))
        return;
    if (editing_.isCreating() && CellCursor::handles(event->key(), event->modifiers())) {
        cursorKey(event->key(), event->modifiers() & Qt::ShiftModifier);
        return;
    }
    if (!BoardNavigation::handles(event->key(), event->modifiers())) {
        QWidget::keyPressEvent(event);
        return;
    }
    syncViewport(life_.getBitmap().get());
    if (BoardNavigation::press(event->key(), viewport_, QSizeF(size())))
        update();
}

// ---------------------------------------------------------------- zoom and pan

QPoint VandrelGameOfLifeView::pixelAt(QPointF point) const
{
    // Qt draws the picture from the window's device pixel where the view
    // begins, rounded down; a press is in the window's device pixel under it.
    const double ratio = devicePixelRatioF();
    const QPointF origin = QPointF(mapTo(window(), QPoint(0, 0))) * ratio;
    const QPointF at = origin + point * ratio;
    auto whole = [](double v) { return int(std::floor(v + kRounding)); };
    return {whole(at.x()) - whole(origin.x()), whole(at.y()) - whole(origin.y())};
}

QPointF VandrelGameOfLifeView::pointerOrCentre() const
{
    const QPointF pointer = mapFromGlobal(QCursor::pos());
    return rect().contains(pointer.toPoint()) ? pointer : QPointF(rect().center());
}

void VandrelGameOfLifeView::syncViewport(const CellBitmap* board)
{
    viewport_.setBoard(board ? board->pixelsWide() : 0, board ? board->pixelsHigh() : 0);
    viewport_.setView(QSizeF(size()), devicePixelRatioF());
}

void VandrelGameOfLifeView::zoomAt(int steps, QPointF point)
{
    syncViewport(life_.getBitmap().get());
    if (viewport_.zoom(steps, pixelAt(point))) {
        update();
        BoardAccessible::changed(this);
    }
}

void VandrelGameOfLifeView::zoomToFit()
{
    if (viewport_.showWholeBoard()) {
        update();
        BoardAccessible::changed(this);
    }
}

void VandrelGameOfLifeView::fitPattern()
{
    const auto board = life_.getBitmap();  // a whole generation, even during a run
    if (!board)
        return;
    syncViewport(board.get());
    const auto live = BoardNavigation::liveBounds(*board);
    if (live && viewport_.showCells(live->x(), live->y(), live->width(), live->height()))
        update();
}

// ---------------------------------------------------------------- drawing

void VandrelGameOfLifeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawRect(painter, rect());
}

void VandrelGameOfLifeView::drawRect(QPainter& painter, const QRect& rect)
{
    const auto snapshot = life_.makeBitmapIfNone(rect.width(), rect.height());
    syncViewport(snapshot.board.get());
    // White under the whole board; beside a zoomed board that does not fill the view, the window's mid tone.
    painter.fillRect(rect, viewport_.wholeBoard() ? QColor(Qt::white) : palette().color(QPalette::Mid));
    if (!snapshot.board)
        return;  // too small for a board: white, and the next drawing tries again
    if (pictureSerial_ != snapshot.serial || !(pictureViewport_ == viewport_) || picture_.image.isNull()) {
        picture_ = BoardPainter::render(*snapshot.board, *snapshot.live, snapshot.grayCells != 0, viewport_);
        picture_.image.setDevicePixelRatio(viewport_.ratio());
        pictureSerial_ = snapshot.serial;
        pictureViewport_ = viewport_;
    }
    // Picture pixel 0 on a whole device pixel, as pixelAt counts.
    const double ratio = viewport_.ratio();
    const QPointF device(painter.deviceTransform().dx(), painter.deviceTransform().dy());
    const QPointF aligned(std::floor(device.x() + kRounding) - device.x(), std::floor(device.y() + kRounding) - device.y());
    painter.drawImage((aligned + QPointF(picture_.at)) / ratio, picture_.image);
    workbench_.draw(painter, viewport_, aligned);
    if (editing_.isCreating() && editing_.cursor().shown()) {
        const Cell cell = editing_.cursor().cell(viewport_.boardCells());
        BoardOverlay::drawCursor(painter, viewport_, QPoint(int(cell.x), int(cell.y)), aligned);
    }
    life_.pacer().shown(snapshot.serial);
    emit drawn();
}
