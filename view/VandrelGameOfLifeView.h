#pragma once

#include "BoardPainter.h"
#include "BoardViewport.h"
#include "CellStroke.h"
#include "EditHistory.h"
#include "FloatingPaste.h"
#include "GameOfLife.h"
#include "Selection.h"

#include <QElapsedTimer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

class QMouseEvent;

// The board view: holds the board and its runs, and draws the board, by
// default stretched over the whole view, zoomed and moved as the person
// asks (BoardViewport). In pattern-editing mode a press toggles the cell
// drawn under the pointer and a drag draws with the press's new value
// (CellStroke); each stroke is one step of the undo history (EditHistory).
// A drag with Shift, in the mode or not, selects a rectangle of cells
// (Selection), drawn over the board; each command on it is one step too.
class VandrelGameOfLifeView : public QWidget {
    Q_OBJECT
public:
    explicit VandrelGameOfLifeView(QWidget* parent = nullptr);
    ~VandrelGameOfLifeView() override;

    // --- The board ---
    // Installs an independent copy of `bitmap`, sets the count back to 100
    // and redraws. The view keeps its place and size in the window. Returns
    // false when no copy could be made; the board then stays as it was.
    // With a rule, the board runs under it from now on; its generations are
    // counted from `generation`.
    bool initWithBitmap(const CellBitmap& bitmap, const std::optional<LifeLikeRule>& rule = std::nullopt,
                        std::uint64_t generation = 0);
    // The rule and world boards run under from now on. In pattern-editing
    // mode it is a step of the undo history, and a change to the pattern.
    bool setRule(const LifeLikeRule& rule);
    // The current generation (null when there is none).
    std::shared_ptr<const CellBitmap> getBitmap() const { return life_.getBitmap(); }
    // The board for a command that writes it out. Right after Reset there is
    // none until the next drawing makes one; it is made now instead, so
    // that the command writes the board the person sees next rather than
    // nothing. Null only when the view is too small for a board.
    std::shared_ptr<const CellBitmap> boardShown();

    // --- Runs ---
    void setIterations(std::int32_t iterations) { life_.setIterations(iterations); }
    std::int32_t iterations() const { return life_.iterations(); }
    std::uint64_t prepareRun() { return life_.prepareRun(); }
    // Safe to call from any thread; returns at once.
    bool startGameOfLifeAndWriteToFile(bool record, const std::string& file, RunIndicators indicators);
    void abortGameOfLife() { life_.abortGameOfLife(); }
    void reset();
    bool isRunning() const { return life_.isRunning(); }
    void setSpeed(RunPacer::Speed speed) { life_.pacer().setSpeed(speed); }
    GameOfLife& life() { return life_; }

    // --- Pattern editing ---
    void prepareCreatingWithPixelsWide(std::int32_t width, std::int32_t height);
    // Enters the mode on the board shown; already in it, keeps its history.
    void startEditing();
    void endCreating();
    // The board differs from the one the mode began with (or was last saved):
    // a cell was changed and not every change undone.
    bool isCreatingAndSomethingChanged() const { return somethingChanged_; }
    bool isCreating() const { return isCreating_; }
    // A press and release at (x, y), in points from the view's left edge and
    // counted up from its bottom edge.
    void mouseDown(QPointF pressFromBottomLeft);
    void undo();
    void redo();
    EditHistory& history() { return history_; }

    // --- The selection ---
    const Selection& selection() const { return selection_; }
    // Every cell of the board; false when there is no board.
    bool selectAll();
    void removeSelection();
    // Selects the rectangle of cells (cut to the board).
    void select(QRect cells);
    void shrinkSelection();
    // Applies a command to the selection as one step of the history; in
    // pattern-editing mode only. False when it changed nothing; a turn
    // refused says why in `refusal`.
    bool applyToSelection(Selection::Command command, QString* refusal = nullptr, double density = 0.5,
                          std::uint64_t seed = 0);

    // Runs before a command or a paste changes the board: it enters
    // pattern-editing mode, so that the change is a step of the history.
    void setBeforeEdit(std::function<void()> enter) { beforeEdit_ = std::move(enter); }

    // --- Pasting into place ---
    // Floats the cells of `rect` of `pattern` over the board, under the
    // pointer, until a click puts it down (R, Shift+R, F, Shift+F turn and
    // flip it meanwhile). False when it is larger than the board.
    bool startPaste(const CellBitmap& pattern, QRect rect);
    bool isPasting() const { return paste_.active(); }
    void cancelPaste();
    void turnPaste(bool clockwise);
    void flipPaste(bool leftRight);
    // Puts the pattern down where it floats, as one step of the history.
    bool putDownPaste();
    // Floats the pattern centred on the cell under a point of the view.
    void movePasteTo(QPointF point);
    QPoint pasteAt() const { return pasteAt_; }
    void setPasteMode(PasteMode mode) { pasteMode_ = mode; }
    PasteMode pasteMode() const { return pasteMode_; }

    // --- Zoom and pan ---
    const BoardViewport& viewport() const { return viewport_; }
    // Around the pointer when it is over the view, else around the view's centre.
    void zoomIn() { zoomAt(1, pointerOrCentre()); }
    void zoomOut() { zoomAt(-1, pointerOrCentre()); }
    void zoomToFit();
    // Zooms to the live cells, as large as they fit (BoardNavigation).
    void fitPattern();
    // Zooms `steps` steps in (out when negative) around a point of the view,
    // in points from its top-left corner.
    void zoomAt(int steps, QPointF point);
    // The picture pixel under a point of the view (points from its top-left
    // corner): the window's device pixel there, counted from the view's first.
    QPoint pixelAt(QPointF point) const;

    // The drawing, for the rectangle of the view (in points).
    void drawRect(QPainter& painter, const QRect& rect);

signals:
    // After each drawing.
    void drawn();
    // A board was installed and the count of generations set back to `count`.
    void iterationsReset(std::int32_t count);
    // The selection was made, changed or removed.
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void redrawRequested();

private:
    void updateDisplayed();
    void syncViewport(const CellBitmap* board);
    QPointF pointerOrCentre() const;
    void beginStroke(QPointF point);
    void continueStroke(QPointF point);
    void endDrag();
    void record(const std::vector<CellChange>& changes, bool newStep);
    void boardReplaced();
    bool bringsWindowToFront() const;
    void continueSelecting(QPointF point);
    // The cell under a point, or the nearest one on the board.
    std::optional<QPoint> nearestCell(QPointF point);

    GameOfLife life_;
    bool isCreating_ = false;
    bool somethingChanged_ = false;
    std::atomic<bool> redrawPending_{false};
    QWidget* watchedWindow_ = nullptr;  // the window whose minimising we follow

    BoardViewport viewport_;
    CellStroke stroke_;
    EditHistory history_;
    Selection selection_;
    FloatingPaste paste_;
    QPoint pasteAt_;  // the cell under the pattern's top-left cell
    PasteMode pasteMode_ = PasteMode::Copy;
    std::function<void()> beforeEdit_;
    QPoint selectFrom_;  // the cell where a selecting drag began
    enum class Drag { None, Stroke, Pan, Select };
    Drag drag_ = Drag::None;
    Qt::MouseButton dragButton_ = Qt::NoButton;
    QPointF dragFrom_;
    QElapsedTimer activated_;    // since the window last came to the front
    bool pointerMoved_ = false;  // over the view, since then
    int wheelAngle_ = 0;       // turns of the wheel not yet a whole step

    // The last picture drawn, reused while neither the board nor the viewport changed.
    BoardPicture picture_;
    std::uint64_t pictureSerial_ = 0;
    BoardViewport pictureViewport_;
};
