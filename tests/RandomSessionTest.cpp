// A long random session: thousands of commands at random moments while runs
// go, each followed by the checks that must hold at every moment. Its seed is
// printed; GOL_SESSION_SEED repeats a session, GOL_SESSION_SECONDS makes it longer.

#include "AppHarness.h"
#include "GliderGun.h"
#include "PatternFile.h"
#include "ReferenceLife.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QImageReader>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <iostream>
#include <map>
#include <new>
#include <numeric>
#include <random>
#include <thread>

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr unsigned kDefaultSeconds = 12;  // several times slower there: fewer commands
constexpr std::uint64_t kReferenceSteps = 60;
#else
constexpr unsigned kDefaultSeconds = 20;
constexpr std::uint64_t kReferenceSteps = 200;
#endif

unsigned environmentNumber(const char* name, unsigned otherwise)
{
    bool ok = false;
    const unsigned value = qgetenv(name).toUInt(&ok);
    return ok ? value : otherwise;
}

// Cells in which two boards of one size differ.
std::int64_t differing(const CellBitmap& a, const CellBitmap& b)
{
    return std::transform_reduce(a.data(), a.data() + a.cellCount(), b.data(), std::int64_t{0}, std::plus<>(),
                                 std::not_equal_to<>());
}

// A board whose history the session knows: the board of `generation`.
struct Known {
    std::unique_ptr<CellBitmap> cells;
    std::uint64_t generation = 0;
};

class RandomSession : public ::testing::Test {
protected:
    struct Command {
        const char* name;
        double weight;
        bool mayReplaceBoard;
        std::function<void()> issue;
    };

    void SetUp() override
    {
        // A small board keeps the plain rule quick enough to follow the runs.
        h.app.theView->setFixedSize(240, 160);
        h.app.window->adjustSize();
        h.app.reset();
        AppHarness::pump();
        // A generation takes as long to reach the board as a large board's
        // would, so commands often land while one is on its way; and now and
        // then a run finds no memory for its generations.
        h.app.theView->life().setTestHooks({[] { std::this_thread::sleep_for(std::chrono::microseconds(500)); },
                                            [starve = starve_] {
                                                if (starve->exchange(false))
                                                    throw std::bad_alloc();
                                            },
                                            {}});
        std::cout << "RandomSession seed " << seed_ << " (GOL_SESSION_SEED repeats it)" << std::endl;
        RecordProperty("seed", std::to_string(seed_));
    }

    int pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(rng_); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    QPoint anywhere() { return {pick(240), pick(160)}; }
    void click(QMessageBox* box, const char* button)
    {
        QTest::mouseClick(box->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    }
    std::vector<Command> commands();
    void answerDialogs();
    void answerPanel(QFileDialog* panel, std::string& did);
    void check(bool mayHaveReplacedBoard);
    std::unique_ptr<CellBitmap> follow(const Known& from, const BoardSnapshot& shown);
    void checkFolder(bool everythingEnded);
    std::string context() const;

    const unsigned seed_ = environmentNumber("GOL_SESSION_SEED", std::random_device{}());
    std::mt19937 rng_{seed_};
    QTemporaryDir dir_;
    AppHarness h;
    Known shown_;                            // the last board seen, followed by the plain rule
    const Known gun_{GliderGun::make(240, 160), 0};  // which a run may take on at any time
    std::unique_ptr<CellBitmap> installed_;  // the board the last command installed, when known
    bool noBoardSeen_ = true;                // since the board was last dropped
    const std::shared_ptr<std::atomic<bool>> starve_ = std::make_shared<std::atomic<bool>>(false);
    int names_ = 0;
    std::deque<std::string> recent_;
    std::map<QString, QDateTime> decoded_;  // files checked, as they were then
    std::uint64_t followed_ = 0, skipped_ = 0;
};

std::vector<RandomSession::Command> RandomSession::commands()
{
    AppDelegate& app = h.app;
    const auto action = [this](const char* name) { return [this, name] { h.trigger(name); }; };
    return {
        {"start", 12, false, action("actionStart")},
        {"step", 8, false, action("actionStep")},
        {"stop", 6, false, action("actionStop")},
        {"reset", 3, true, [&] {
             h.trigger("actionReset");
             EXPECT_TRUE(h.question() || !h.board()) << "the board is dropped; " << context();
         }},
        {"gun", 3, true, [&] {
             h.trigger("actionGliderGun");
             if (!h.question())
                 installed_ = gun_.cells->copy();
         }},
        {"new pattern", 3, false, action("actionNewPattern")},
        {"edit", 5, false, action("actionEditPattern")},
        {"press", 8, true, [&] {
             const auto before = h.board();
             app.theView->mouseDown(anywhere());
             if (before && h.board() && app.isCreating()) {
                 EXPECT_LE(differing(*before, *h.board()), 1) << "a press toggles one cell; " << context();
             }
         }},
        {"stroke", 4, true, [&] {
             std::vector<QPoint> through(std::size_t(2 + pick(5)));
             std::generate(through.begin(), through.end(), [&] { return anywhere(); });
             h.drag(through);
         }},
        {"undo", 3, true, action("actionUndo")},
        {"redo", 2, true, action("actionRedo")},
        {"speed", 3, false, [&] {  // mostly the quick ones, so that runs end
             app.window->findChild<QComboBox*>(QStringLiteral("speedBox"))
                 ->setCurrentIndex(chance(0.2) ? pick(3) : 3 + pick(3));
         }},
        {"count", 4, false, [&] {
             const char* counts[] = {"", "0", "1", "2", "7", "30", "100", "1000", "100000"};
             app.iterationsTextfield->setText(QLatin1String(counts[pick(std::size(counts))]));
         }},
        {"zoom", 3, false, [&] {
             h.trigger(chance(0.4) ? "actionZoomIn" : chance(0.5) ? "actionZoomOut" : "actionZoomToFit");
         }},
        {"open", 2, false, action("actionOpenPattern")},
        {"save", 2, false, action("actionSavePattern")},
        {"record", 2, false, action("actionRecordGif")},
        {"starve", 1, false, [&] { starve_->store(true); }},  // the next run that takes memory for its generations
        {"pause", 16, false, [&] {
             AppHarness::pump(pick(20));
             if (chance(0.1))
                 checkFolder(false);  // also while recordings are being written
         }},
        {"wait", 1, false, [&] {  // one generation more at most; then its end must show
             app.iterationsTextfield->setText(QStringLiteral("1"));
             app.setIterations();  // Return: the field may have said 1 already, since before a board set 100
             ASSERT_TRUE(AppHarness::waitUntil([&] { return app.runs().settled() && !app.theView->isRunning(); }))
                 << context();
             EXPECT_FALSE(h.indicatorShown()) << context();
             checkFolder(false);
         }},
    };
}

// The indicator shows exactly while the current run goes; the modes agree;
// the board is a whole generation of the last board seen or, after a command
// that may replace it, the preset or any new board.
void RandomSession::check(bool mayHaveReplacedBoard)
{
    const bool shown = h.indicatorShown();
    // While the recording's panel is up the indicator shows, unless a
    // command given before the panel came stopped it.
    if (!h.panel() || h.panel()->windowTitle() != QStringLiteral("Save gif")) {
        EXPECT_EQ(shown, h.app.runs().going()) << context();
    }
    if (!shown) {  // the run's thread marks its end a moment after reporting it
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (h.app.theView->isRunning() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_FALSE(h.app.theView->isRunning()) << "a run goes on with the indicator hidden; " << context();
    }
    EXPECT_EQ(h.app.isCreating(), h.app.theView->isCreating()) << context();
    EXPECT_EQ(h.app.window->isWindowModified(), h.app.isCreating()) << context();
    EXPECT_TRUE(!h.app.theView->isCreatingAndSomethingChanged() || h.app.isCreating()) << context();

    if (installed_) {  // the board before is gone for good
        shown_ = {std::move(installed_), 0};
        noBoardSeen_ = mayHaveReplacedBoard = false;
    }
    const BoardSnapshot board = h.app.theView->life().snapshot();
    if (!board.board) {
        EXPECT_TRUE(mayHaveReplacedBoard || noBoardSeen_) << "the board went without a command; " << context();
        noBoardSeen_ = true;
        return;
    }
    if (!noBoardSeen_ && board.generation > shown_.generation + kReferenceSteps) {
        ++skipped_;  // too far to follow: taken as it is
        shown_ = {board.board->copy(), board.generation};
        return;
    }
    auto next = noBoardSeen_ ? nullptr : follow(shown_, board);
    if (!next)
        next = follow(gun_, board);
    EXPECT_TRUE(next || mayHaveReplacedBoard || noBoardSeen_)
        << "generation " << board.generation << " is not a whole generation of the board before; " << context();
    shown_ = {next ? std::move(next) : board.board->copy(), board.generation};
    noBoardSeen_ = false;
}

// `from` after the generations up to the one shown, by the plain rule, when
// that is the board shown; else null.
std::unique_ptr<CellBitmap> RandomSession::follow(const Known& from, const BoardSnapshot& shown)
{
    if (shown.generation < from.generation || shown.generation - from.generation > kReferenceSteps ||
        shown.board->pixelsWide() != from.cells->pixelsWide() || shown.board->pixelsHigh() != from.cells->pixelsHigh())
        return nullptr;
    auto next = from.cells->copy();
    for (std::uint64_t g = from.generation; g < shown.generation; ++g)
        reference::step(*next);
    if (!next->sameCells(*shown.board))
        return nullptr;
    followed_ += shown.generation - from.generation;
    return next;
}

// Answers whatever is on screen, as a person might.
void RandomSession::answerDialogs()
{
    for (int round = 0; round < 8 && !HasFailure(); ++round) {
        QMessageBox* box = h.showing<QMessageBox>();
        std::string did;
        if (box && box->findChild<QPushButton*>(QStringLiteral("dontSaveButton"))) {
            const char* answers[] = {"saveButton", "cancelButton", "dontSaveButton"};
            click(box, (did = answers[pick(3)]).c_str());
        } else if (box && box->findChild<QPushButton*>(QStringLiteral("replaceButton"))) {
            click(box, (did = chance(0.7) ? "replaceButton" : "keepButton").c_str());
        } else if (box) {  // only runs that ended by themselves have something to say
            did = "message: " + box->text().toStdString();
            EXPECT_TRUE(box->text() == QLatin1String(RunControl::kNoMemory) ||
                        box->text().startsWith(QStringLiteral("The recording stopped after")))
                << did << "; " << context();
            box->accept();
        } else if (h.app.nnewPatternSheet->isVisible()) {
            const int sizes[] = {0, 1, 2 + pick(150)}, wide = sizes[pick(3)], high = sizes[pick(3)];
            did = "sheet " + h.sheet(std::to_string(wide), std::to_string(high)).toStdString();
            if (chance(0.2)) {
                did += " cancelled";
                h.app.newPatternCancel();
            } else {
                h.app.newPatternOK();
                if (wide > 0 && high > 0)
                    installed_ = CellBitmap::create(wide, high);
            }
        } else if (QFileDialog* panel = h.panel()) {
            answerPanel(panel, did);
        } else {
            return;
        }
        recent_.push_back(did);
        AppHarness::pump();  // a panel accepted once the question before it has gone
        h.settle();
        check(true);
    }
}

void RandomSession::answerPanel(QFileDialog* panel, std::string& did)
{
    const QString title = panel->windowTitle();
    const QDir folder(dir_.path());
    const QStringList patterns = folder.entryList({QStringLiteral("*.golpattern")});
    const bool open = title == QStringLiteral("Open pattern"), gif = title == QStringLiteral("Save gif");
    if (chance(0.15) || (open && patterns.isEmpty())) {
        did = "dismissed " + title.toStdString();
        h.dismissPanel();
        return;
    }
    const int n = chance(0.2) && names_ > 0 ? pick(names_) : names_++;  // now and then a name used before
    const QString path = folder.filePath(open ? patterns[pick(int(patterns.size()))]
                                              : QString::number(n) + QLatin1String(gif ? ".gif" : ".golpattern"));
    did = title.toStdString() + " " + QFileInfo(path).fileName().toStdString();
    h.choose(path);
    if (open && !h.showing<QMessageBox>())
        installed_ = PatternFile::read(path.toStdString(), {}).board;
}

// Every file written is whole; once every run has ended, nothing else is left in the folder.
void RandomSession::checkFolder(bool everythingEnded)
{
    for (const QFileInfo& file : QDir(dir_.path()).entryInfoList(QDir::Files)) {
        const std::string name = file.fileName().toStdString();
        if (file.suffix() != QStringLiteral("gif") && file.suffix() != QStringLiteral("golpattern")) {
            EXPECT_FALSE(everythingEnded) << "left behind: " << name;
        } else if (std::exchange(decoded_[file.filePath()], file.lastModified()) != file.lastModified()) {
            if (file.suffix() == QStringLiteral("golpattern")) {
                EXPECT_EQ(PatternFile::read(file.filePath().toStdString(), {}).error, "");
                continue;
            }
            QImageReader reader(file.filePath());
            const int frames = reader.imageCount();
            EXPECT_GE(frames, 1) << name;
            for (int i = 0; i < frames; ++i)
                ASSERT_FALSE(reader.read().isNull()) << name << ", frame " << i;
        }
    }
}

std::string RandomSession::context() const
{
    std::string text = "seed " + std::to_string(seed_) + ", last commands:";
    for (const std::string& command : recent_)
        text += " [" + command + "]";
    return text;
}

}  // namespace

TEST_F(RandomSession, EveryCommandAtAnyMomentKeepsTheIndicatorBoardFilesAndModeTrue)
{
    const std::vector<Command> all = commands();
    // Each command as often as its weight says (called with i + 0.5 for command i).
    std::discrete_distribution<std::size_t> next(all.size(), 0, double(all.size()),
                                                 [&](double i) { return all[std::size_t(i)].weight; });
    const auto until = std::chrono::steady_clock::now() +
                       std::chrono::seconds(environmentNumber("GOL_SESSION_SECONDS", kDefaultSeconds));
    int issued = 0;
    for (; std::chrono::steady_clock::now() < until && !HasFailure(); ++issued) {
        const Command& command = all[next(rng_)];
        recent_.push_back(command.name);
        while (recent_.size() > 24)
            recent_.pop_front();
        command.issue();
        check(command.mayReplaceBoard);
        answerDialogs();
    }
    h.app.stopGameOfLife();
    ASSERT_TRUE(h.runEnds());
    AppHarness::pump();
    check(false);
    checkFolder(true);
    std::cout << "RandomSession seed " << seed_ << ": " << issued << " commands, " << followed_
              << " generations followed by the plain rule (" << skipped_ << " times too far apart), "
              << decoded_.size() << " files decoded" << std::endl;
    EXPECT_GT(followed_, 0u);
}
