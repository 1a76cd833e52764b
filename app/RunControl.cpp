#include "RunControl.h"
#include "MessageTranslation.h"

#include "DialogPresenter.h"
#include "TimeCommands.h"
#include "VandrelGameOfLifeView.h"

#include <QProgressBar>
#include <QScreen>

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

namespace {

// The report of a run that ended before its thread could run a generation.
RunReport endedAs(RunEnd end)
{
    RunReport report;
    report.end = end;
    return report;
}

}  // namespace

// One run's end on its way from the thread that ends the run to the main
// thread. The report travels under the control's mutex, never inside the
// queued call, so every hand-over is one the thread sanitizer can follow.
struct RunControl::Ending {
    std::uint64_t ticket = 0;
    bool records = false;
    std::atomic<bool> reported{false};  // a run ends once, whichever thread says so
    bool arrived = false;               // under mutex_
    RunReport report;                   // under mutex_
};

RunControl::RunControl(QWidget* window, VandrelGameOfLifeView* view, QProgressBar* indicator,
                       DialogPresenter& dialogs)
    : window_(window), view_(view), indicator_(indicator), dialogs_(dialogs)
{
}

RunControl::~RunControl()
{
    starters_.clear();  // each has only its start call to make
}

void RunControl::start(Starter starter, std::optional<std::int32_t> generations)
{
    begin(std::move(starter), generations, false);
}

void RunControl::startRecording(Starter starter)
{
    begin(std::move(starter), {}, true);
}

void RunControl::begin(Starter starter, std::optional<std::int32_t> generations, bool records)
{
    stop();
    if (closing_ || shutDown_)
        return;
    indicator_->setVisible(true);
    auto ending = std::make_shared<Ending>();
    RunIndicators indicators;
    indicators.ticket = view_->prepareRun();  // a stop from now on cancels this run
    indicators.generations = generations;
    indicators.finished = [this, ending](const RunReport& report) { deliver(*ending, report); };
    ending->ticket = indicators.ticket;
    ending->records = records;
    current_ = ending->ticket;
    endings_.push_back(ending);

    std::erase_if(starters_, [](const StarterThread& s) { return s.done->load(); });
    try {
        starters_.reserve(starters_.size() + 1);
        if (hooks_.beforeStarter)
            hooks_.beforeStarter();
        auto done = std::make_shared<std::atomic<bool>>(false);
        starters_.push_back({std::jthread([this, starter = std::move(starter), indicators = std::move(indicators),
                                           ending, done, onStarter = hooks_.onStarter]() mutable {
                                 try {
                                     if (onStarter)
                                         onStarter();
                                     if (!starter(std::move(indicators)))
                                         deliver(*ending, endedAs(RunEnd::Cancelled));  // voided before it began
                                 } catch (const std::bad_alloc&) {
                                     deliver(*ending, endedAs(RunEnd::OutOfMemory));
                                 } catch (const std::system_error&) {
                                     deliver(*ending, endedAs(RunEnd::OutOfMemory));
                                 }
                                 done->store(true);
                             }),
                             done});
    } catch (const std::system_error&) {  // no thread to start the run on
        deliver(*ending, endedAs(RunEnd::OutOfMemory));
    } catch (const std::bad_alloc&) {
        deliver(*ending, endedAs(RunEnd::OutOfMemory));
    }
}

void RunControl::stop()
{
    indicator_->setVisible(false);
    current_ = 0;
    view_->abortGameOfLife();
}

void RunControl::showIndicator() const
{
    indicator_->setVisible(true);
}

void RunControl::deliver(Ending& ending, const RunReport& report)
{
    if (ending.reported.exchange(true))
        return;
    {
        std::lock_guard lock(mutex_);
        try {
            ending.report = report;
        } catch (const std::bad_alloc&) {
            ending.report.recording.message.clear();  // the end itself still counts
        }
        ending.arrived = true;
    }
    try {
        QMetaObject::invokeMethod(this, "takeEndings", Qt::QueuedConnection);
    } catch (const std::bad_alloc&) {
        // Taken with the next end that arrives.
    }
}

void RunControl::takeEndings()
{
    std::vector<std::pair<std::uint64_t, RunReport>> arrived;
    {
        std::lock_guard lock(mutex_);
        std::erase_if(endings_, [&](const std::shared_ptr<Ending>& ending) {
            if (!ending->arrived)
                return false;
            arrived.emplace_back(ending->ticket, std::move(ending->report));
            return true;
        });
    }
    for (const auto& [ticket, report] : arrived) {
        const bool current = ticket == current_;
        if (current) {
            indicator_->setVisible(false);
            current_ = 0;
        }
        ended(report, current);
    }
    checkEndAll();
}

QString RunControl::messageFor(const RunReport& report, bool current, QString* details)
{
    const QString recording = report.recorded ? MessageTranslation::translated(report.recording.message) : QString();
    if (current && report.end == RunEnd::OutOfMemory) {
        *details = recording;
        return tr(kNoMemory);
    }
    // A run that was stopped or superseded says nothing, but that its recording was not written.
    if (current || !report.recording.written)
        return recording;
    return {};
}

void RunControl::ended(const RunReport& report, bool current)
{
    if (current && report.settled && !shutDown_)
        dialogs_.note(window_, TimeCommands::settledText(*report.settled));
    QString details;
    const QString text = messageFor(report, current, &details);
    if (text.isEmpty())
        return;
    if (shutDown_) {
        untold_ << (details.isEmpty() ? text : text + QStringLiteral("\n\n") + details);
        return;
    }
    ++openMessages_;
    dialogs_.tell(window_, text, details, [this] {
        --openMessages_;
        checkEndAll();
    });
}

void RunControl::endAll(std::function<void()> then)
{
    stop();
    closing_ = true;
    afterAll_ = std::move(then);
    checkEndAll();
}

bool RunControl::idle() const
{
    return openMessages_ == 0 &&
           std::none_of(endings_.begin(), endings_.end(), [](const auto& ending) { return ending->records; });
}

void RunControl::checkEndAll()
{
    if (!closing_ || !idle())
        return;
    closing_ = false;
    if (auto then = std::exchange(afterAll_, nullptr))
        then();
}

QStringList RunControl::shutdown()
{
    if (!shutDown_) {
        stop();
        shutDown_ = true;
        closing_ = false;  // nothing follows: the window goes as it is
        afterAll_ = nullptr;
        starters_.clear();
        view_->life().shutdown();  // every run ends, its recording written, and reports
        takeEndings();
    }
    return std::exchange(untold_, {});
}

// The choices of the speed box, in its order. "Every generation" draws each
// generation, at most one per frame of the screen.
RunPacer::Speed RunControl::speedAt(int index, const QWidget* window)
{
    const QScreen* screen = window->screen();
    const double frameRate = screen && screen->refreshRate() > 1 ? screen->refreshRate() : 60.0;
    switch (index) {
    case 0: return {true, 2};
    case 1: return {true, 5};
    case 2: return {true, 10};
    case 3: return {true, 30};
    case 5: return RunPacer::kFastest;
    default: return {true, frameRate};
    }
}
