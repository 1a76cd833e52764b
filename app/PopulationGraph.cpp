#include "PopulationGraph.h"

#include "AtomicFile.h"
#include "DialogPresenter.h"
#include "FileWork.h"
#include "VandrelGameOfLifeView.h"

#include <QAction>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

// The drawing area of the dock.
class Plot : public QWidget {
public:
    explicit Plot(PopulationGraph* graph) : QWidget(graph), graph_(graph) { setMinimumSize(240, 140); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        graph_->paintGraph(painter, rect());
    }
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        QMenu menu(this);
        menu.addAction(PopulationGraph::tr("Save as PNG\u2026"), graph_, [this] { graph_->saveAs(QStringLiteral("png")); });
        menu.addAction(PopulationGraph::tr("Save as CSV\u2026"), graph_, [this] { graph_->saveAs(QStringLiteral("csv")); });
        menu.exec(event->globalPos());
    }

private:
    PopulationGraph* graph_;
};

}  // namespace

PopulationGraph::PopulationGraph(QMainWindow* window, QMenu* viewMenu, VandrelGameOfLifeView* view,
                                 DialogPresenter& dialogs, FileWork& work)
    : QDockWidget(tr("Population Graph"), window), window_(window), view_(view), dialogs_(dialogs), work_(work),
      plot_(new Plot(this))
{
    setObjectName(QStringLiteral("populationGraph"));
    setWidget(plot_);
    window->addDockWidget(Qt::BottomDockWidgetArea, this);
    hide();
    QAction* toggle = toggleViewAction();
    toggle->setObjectName(QStringLiteral("actionPopulationGraph"));
    toggle->setStatusTip(tr("Show the population against the generation for the runs of this board"));
    viewMenu->addSeparator();
    viewMenu->addAction(toggle);

    timer_.setInterval(kSampleMs);
    connect(&timer_, &QTimer::timeout, this, &PopulationGraph::sample);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown) {
            sample();
            timer_.start();
        } else {
            timer_.stop();
        }
    });
    // A new board (opened, pasted, the preset) begins the graph again.
    connect(view_, &VandrelGameOfLifeView::iterationsReset, this, [this] { lines_.clear(); });
}

void PopulationGraph::sample()
{
    const auto shown = view_->life().snapshot();
    if (!shown.board) {
        lines_.clear();  // Reset: the next board is a new one
        plot_->update();
        return;
    }
    if (shown.serial == lastSerial_)
        return;
    lastSerial_ = shown.serial;
    const QPointF point(double(shown.generation), double(shown.population));
    // Back to an earlier generation, or an edit: what follows is another run.
    if (lines_.empty() || (!lines_.back().empty() && lines_.back().back().x() >= point.x()))
        lines_.emplace_back();
    auto& line = lines_.back();
    line.push_back(point);
    if (line.size() > kMostPoints) {
        std::vector<QPointF> fewer;
        for (std::size_t i = 0; i < line.size(); i += 2)
            fewer.push_back(line[i]);
        if (fewer.back() != line.back())
            fewer.push_back(line.back());
        line.swap(fewer);
    }
    plot_->update();
}

void PopulationGraph::paintGraph(QPainter& painter, const QRect& area) const
{
    // In the window's own colours, so that a dark session draws it dark.
    painter.fillRect(area, palette().color(QPalette::Base));
    const QFontMetrics metrics = painter.fontMetrics();
    const int margin = metrics.height() + 4;
    double maxX = 1, maxY = 1, minX = 0;
    bool first = true;
    for (const auto& line : lines_) {
        for (const QPointF& p : line) {
            minX = first ? p.x() : std::min(minX, p.x());
            first = false;
            maxX = std::max(maxX, p.x());
            maxY = std::max(maxY, p.y());
        }
    }
    if (maxX <= minX)
        maxX = minX + 1;
    const QString top = QLocale().toString(qlonglong(maxY));
    const QRect plot = area.adjusted(metrics.horizontalAdvance(top) + 8, margin / 2, -margin / 2, -2 * margin);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawText(QRect(area.left(), plot.top(), plot.left() - 4, margin), Qt::AlignRight, top);
    painter.drawText(QRect(area.left(), plot.bottom() - margin, plot.left() - 4, margin), Qt::AlignRight, QStringLiteral("0"));
    painter.drawText(QRect(plot.left(), plot.bottom() + 2, plot.width(), margin), Qt::AlignLeft,
                     QLocale().toString(qlonglong(minX)));
    painter.drawText(QRect(plot.left(), plot.bottom() + 2, plot.width(), margin), Qt::AlignRight,
                     QLocale().toString(qlonglong(maxX)));
    painter.drawText(QRect(plot.left(), plot.bottom() + margin, plot.width(), margin), Qt::AlignHCenter,
                     tr("Generation"));
    painter.save();
    painter.translate(area.left() + metrics.ascent(), plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-plot.height() / 2, -metrics.ascent(), plot.height(), margin), Qt::AlignHCenter,
                     tr("Population"));
    painter.restore();

    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        QPainterPath path;
        for (const QPointF& p : lines_[i]) {
            const QPointF at(plot.left() + (p.x() - minX) / (maxX - minX) * plot.width(),
                             plot.bottom() - p.y() / maxY * plot.height());
            if (path.elementCount() == 0)
                path.moveTo(at);
            else
                path.lineTo(at);
        }
        // The current run in the highlight colour, the runs before it in the faint one of placeholders.
        painter.setPen(QPen(palette().color(i + 1 == lines_.size() ? QPalette::Highlight : QPalette::PlaceholderText),
                            1.5));
        painter.drawPath(path);
    }
}

QByteArray PopulationGraph::csv() const
{
    QByteArray text("run,generation,population\n");
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        for (const QPointF& p : lines_[i])
            text += QByteArray::number(qulonglong(i + 1)) + ',' + QByteArray::number(qulonglong(p.x())) + ',' +
                    QByteArray::number(qlonglong(p.y())) + '\n';
    }
    return text;
}

void PopulationGraph::saveAs(const QString& type)
{
    const FilePanel panel{FilePanel::Mode::Save, tr("Save population graph"),
                          tr("Save the population graph somewhere on your disk"), tr("Save"),
                          {type}, {}, QStringLiteral("Population"), {}};
    dialogs_.showFilePanel(window_, panel, [this, type](std::optional<QString> path) {
        if (!path)
            return;
        // Made here, on the main thread; only the writing goes to the file work.
        auto bytes = std::make_shared<QByteArray>(csv());
        if (type == QLatin1String("png")) {
            QBuffer buffer(bytes.get());
            bytes->clear();
            buffer.open(QIODevice::WriteOnly);
            plot_->grab().toImage().save(&buffer, "PNG");
        }
        work_.run(tr("Saving \u201c%1\u201d\u2026").arg(QFileInfo(*path).fileName()),
                  [this, path, bytes](CancelFlag& cancel) -> FileWork::Outcome {
                      const std::string error = AtomicFile::write(
                          path->toStdString(),
                          [&bytes](QIODevice& device, QString&) { return device.write(*bytes) == bytes->size(); },
                          cancel);
                      return [this, error] {
                          if (!error.empty())
                              dialogs_.tell(window_, QString::fromStdString(error));
                      };
                  });
    });
}
