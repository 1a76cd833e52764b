#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

class QLabel;
class QStatusBar;
class VandrelGameOfLifeView;

// The status bar's account of the board: its generation (counted from 0 each
// time a board is installed), its population, its size in cells, its rule
// (and "on a torus" on one) and the zoom. It follows the view's drawings, at most once a frame of the screen,
// reading only the counts the engine keeps; so a run at full speed pays no
// more for it than a label drawn a few dozen times a second. While the bar is
// hidden it reads nothing. A note shown in the bar keeps its whole width;
// the figures take the room it leaves, the least needed left out and the
// rest cut short with an ellipsis where they do not fit, so the two never
// run into one another. A screen reader hears the figures, all of them, at
// most once a second, the latest ones.
class StatusPresenter : public QObject {
    Q_OBJECT
public:
    StatusPresenter(QStatusBar* bar, VandrelGameOfLifeView* view);

    // The figures, whole.
    QString text() const;
    // Reads the board and the zoom now.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fit();
    void announce();

    QStatusBar* bar_;
    VandrelGameOfLifeView* view_;
    QLabel* label_;
    // One figure of the bar's, and how much it is needed where the figures do not all fit (more, later dropped).
    struct Figure {
        QString text;
        int need = 0;
    };
    static QString joined(const std::vector<Figure>& figures);

    std::vector<Figure> parts_;  // in the order shown
    QString figures_;
    QTimer frame_;  // the next reading, once a frame
    QTimer quiet_;  // a second after an announcement
    bool untold_ = false;  // the figures changed since they were announced
};
