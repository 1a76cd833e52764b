#pragma once

#include "BoardPainter.h"
#include "BoardViewport.h"
#include "BoardWorkbench.h"
#include "GameOfLife.h"
#include "PatternEditing.h"

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

class QMouseEvent;
class WindowPresence;

// The board view: holds the board and its runs, and draws the board, by
// default stretched over the whole view, zoomed and moved as the person
// asks (BoardViewport). In pattern-editing mode a press toggles the cell
// drawn under the pointer and a drag draws with the press's new value
// (PatternEditing); each stroke is one step of the undo history.
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
    bool isCreatingAndSomethingChanged() const { return editing_.somethingChanged(); }
    bool isCreating() const { return editing_.isCreating(); }
    // The keyboard's cell in pattern-editing mode (on the board shown).
    Cell cursorCell() const { return editing_.cursor().cell(viewport_.boardCells()); }
    // A press and release at (x, y), in points from the view's left edge and
    // counted up from its bottom edge.
    void mouseDown(QPointF pressFromBottomLeft);
    void undo();
    void redo();
    EditHistory& history() { return editing_.history(); }

    // --- The selection and pasting into place (BoardWorkbench) ---
    BoardWorkbench& workbench() { return workbench_; }
    const Selection& selection() const { return workbench_.selection(); }
    bool selectAll() { return workbench_.selectAll(); }
    void removeSelection() { workbench_.removeSelection(); }
    void select(QRect cells) { workbench_.select(cells); }
    void shrinkSelection() { workbench_.shrinkSelection(); }
    bool applyToSelection(Selection::Command command, QString* refusal = nullptr, double density = 0.5,
                          std::uint64_t seed = 0)
    {
        return workbench_.applyToSelection(command, refusal, density, seed);
    }
    // Floats the cells of `rect` of `pattern` under the pointer and takes the
    // keys (R, Shift+R, F, Shift+F turn and flip it). False when it is larger than the board.
    bool startPaste(const CellBitmap& pattern, QRect rect);
    bool isPasting() const { return workbench_.isPasting(); }
    void cancelPaste() { workbench_.cancelPaste(); }
    void turnPaste(bool clockwise) { workbench_.turnPaste(clockwise); }
    void flipPaste(bool leftRight) { workbench_.flipPaste(leftRight); }
    bool putDownPaste() { return workbench_.putDownPaste(); }
    void movePasteTo(QPointF point) { workbench_.movePasteTo(point); }
    QPoint pasteAt() const { return workbench_.pasteAt(); }
    void setPasteMode(PasteMode mode) { workbench_.setPasteMode(mode); }
    PasteMode pasteMode() const { return workbench_.pasteMode(); }

    // Runs before a command or a paste changes the board: it enters
    // pattern-editing mode, so that the change is a step of the history.
    void setBeforeEdit(std::function<void()> enter) { beforeEdit_ = std::move(enter); }
    void prepareEdit();
    // Records a change already made to the board as one step of the history.
    bool recordChange(BlockChange change);
    // The cell under a point of the view (none beside the board), or the
    // nearest one on the board.
    std::optional<QPoint> cellUnder(QPointF point);
    std::optional<QPoint> cellNearest(QPointF point);

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
    // The keyboard's cell moved or was toggled.
    void cursorChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void redrawRequested();

private:
    void syncViewport(const CellBitmap* board);
    QPointF pointerOrCentre() const;
    void beginStroke(QPointF point);
    void continueStroke(QPointF point);
    void endDrag();
    void boardReplaced();
    void cursorKey(int key, bool far);

    GameOfLife life_;
    std::atomic<bool> redrawPending_{false};

    BoardViewport viewport_;
    PatternEditing editing_;
    BoardWorkbench workbench_;
    WindowPresence* presence_ = nullptr;  // a child of the view
    std::function<void()> beforeEdit_;
    enum class Drag { None, Stroke, Pan, Select };
    Drag drag_ = Drag::None;
    Qt::MouseButton dragButton_ = Qt::NoButton;
    QPointF dragFrom_;
    int wheelAngle_ = 0;       // turns of the wheel not yet a whole step

    // The last picture drawn, reused while neither the board nor the viewport changed.
    BoardPicture picture_;
    std::uint64_t pictureSerial_ = 0;
    BoardViewport pictureViewport_;
};
