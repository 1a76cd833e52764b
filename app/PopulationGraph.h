#pragma once

#include <QDockWidget>
#include <QPointF>
#include <QTimer>

#include <cstdint>
#include <vector>

class DialogPresenter;
class FileWork;
class QMainWindow;
class QMenu;
class QPainter;
class VandrelGameOfLifeView;

// View ▸ Population Graph: a dock with the population against the
// generation, one line for each run since the board was made (a run after
// going back, or after an edit, begins a line of its own). It samples the
// board shown at most ten times a second while it is shown, reading the
// counts the engine keeps, so a run never waits for it. Drawn with
// QPainter; its context menu saves it as PNG or CSV.
class PopulationGraph : public QDockWidget {
    Q_OBJECT
public:
    static constexpr int kSampleMs = 100;
    // Keeps this many points a line at most; then every other one goes.
    static constexpr std::size_t kMostPoints = 4000;

    // Adds its command to `viewMenu`; hidden to begin with.
    PopulationGraph(QMainWindow* window, QMenu* viewMenu, VandrelGameOfLifeView* view, DialogPresenter& dialogs,
                    FileWork& work);

    // Each line's points: x the generation, y the population.
    const std::vector<std::vector<QPointF>>& lines() const { return lines_; }
    // Takes a sample of the board shown now.
    void sample();
    void saveAs(const QString& type);
    // The lines as CSV text: run, generation, population.
    QByteArray csv() const;
    void paintGraph(QPainter& painter, const QRect& area) const;

private:
    QMainWindow* window_;
    VandrelGameOfLifeView* view_;
    DialogPresenter& dialogs_;
    FileWork& work_;
    QWidget* plot_;
    QTimer timer_;
    std::vector<std::vector<QPointF>> lines_;
    std::uint64_t lastSerial_ = 0;
};
