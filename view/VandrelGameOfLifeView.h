#pragma once

#include "GameOfLife.h"

#include <QImage>
#include <QWidget>

#include <atomic>
#include <memory>

class QMouseEvent;

// The board view: holds the board and its runs, draws the board stretched
// over the whole view and, in pattern-editing mode, toggles the cell under
// each mouse press.
class VandrelGameOfLifeView : public QWidget {
    Q_OBJECT
public:
    explicit VandrelGameOfLifeView(QWidget* parent = nullptr);
    ~VandrelGameOfLifeView() override;

    // --- The board ---
    // Installs an independent copy of `bitmap`, sets the count back to 100
    // and redraws. The view keeps its place and size in the window. Returns
    // false when no copy could be made; the board then stays as it was.
    bool initWithBitmap(const CellBitmap& bitmap);
    // The current generation (null when there is none).
    std::shared_ptr<const CellBitmap> getBitmap() const { return life_.getBitmap(); }

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
    void startEditing() { isCreating_ = true; }
    void endCreating();
    bool isCreatingAndSomethingChanged() const { return somethingChanged_; }
    bool isCreating() const { return isCreating_; }
    // Toggles the cell under a press at (x, y), in points from the view's
    // left edge and counted up from its bottom edge.
    void mouseDown(QPointF pressFromBottomLeft);

    // The drawing, for the rectangle of the view (in points).
    void drawRect(QPainter& painter, const QRect& rect);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void redrawRequested();

private:
    void updateDisplayed();

    GameOfLife life_;
    bool isCreating_ = false;
    bool somethingChanged_ = false;
    std::atomic<bool> redrawPending_{false};
    QWidget* watchedWindow_ = nullptr;  // the window whose minimising we follow

    // The last picture drawn, reused while neither the board nor the size changed.
    QImage picture_;
    std::uint64_t pictureSerial_ = 0;
};
