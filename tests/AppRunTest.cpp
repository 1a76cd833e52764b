#include "AppHarness.h"
#include "Boards.h"
#include "FileHelpers.h"
#include "KeyboardShortcuts.h"
#include "ReferenceLife.h"
#include "RuleDialog.h"
#include "RuleName.h"
#include "TimeCommands.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QMenu>
#include <QProcess>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTemporaryDir>
#include <QWindow>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Holds a run's thread at one moment (a test hook) until the test lets it go.
class Gate {
public:
    // On the run's thread.
    void pass()
    {
        std::unique_lock lock(mutex_);
        arrived_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, 20s, [&] { return open_; });
    }
    bool arrived()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 20s, [&] { return arrived_; });
    }
    void open()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool arrived_ = false;
    bool open_ = false;
};

// Waits without processing events, so that what a run posts to the main thread stays queued.
bool holdUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 20000 && !done(); ++i)
        std::this_thread::sleep_for(1ms);
    return done();
}

// Starts a run of `count` generations at `speed` from the board shown; with
// a path, a recording run through the GIF panel.
void start(AppHarness& h, const char* count, RunPacer::Speed speed = RunPacer::kFastest, const QString& gif = {})
{
    h.app.iterationsTextfield->setText(QString::fromLatin1(count));
    h.app.theView->setSpeed(speed);
    if (gif.isEmpty()) {
        h.app.startGameOfLife();
        return;
    }
    h.app.startGameOfLifeAndMakeGif();
    h.choose(gif);
}

bool generationReached(AppHarness& h, std::uint64_t generation)
{
    return AppHarness::waitUntil([&] { return h.app.theView->life().snapshot().generation >= generation; });
}

constexpr RunPacer::Speed kPaced{false, 100};

class AppRuns : public ::testing::Test {
protected:
    bool indicatorHides() { return AppHarness::waitUntil([&] { return !h.indicatorShown(); }); }
    GameOfLife& life() { return h.app.theView->life(); }

    AppHarness h;
    const std::unique_ptr<CellBitmap> before = h.board()->copy();
};

}  // namespace

TEST_F(AppRuns, CountFollowsTheFieldAtEveryKeystroke)
{
    QLineEdit* field = h.app.iterationsTextfield;
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(h.app.theView->iterations(), 0);
    for (auto [key, count] : {std::pair{Qt::Key_2, 2}, {Qt::Key_5, 25}, {Qt::Key_0, 250}}) {
        QTest::keyClick(field, key);
        EXPECT_EQ(h.app.theView->iterations(), count);
    }
    h.app.reset();  // a new random board keeps the count
    EXPECT_EQ(h.app.theView->iterations(), 250);
    // Pasted text goes in only as typed text would, and ten characters of it at most.
    for (const auto& [pasted, shown] : {std::pair{QStringLiteral("hello world"), QStringLiteral("250")},
                                        {QString(1 << 20, u'7'), QStringLiteral("7777777777")}}) {
        QGuiApplication::clipboard()->setText(pasted);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(field->text(), shown);
    }
}

// A run ends: it completes, is stopped or superseded, or ends by itself
// before its count. Only the current run's end hides the indicator; only a
// run that ended by itself says why, and a stopped one only when its
// recording could not be written.
TEST(RunEndings, EachWayARunEndsSetsTheIndicatorAndSaysWhyOnlyWhenItShould)
{
    QTemporaryDir dir;
    const QString noMemory = QString::fromLatin1(RunControl::kNoMemory);
    const std::system_error noThread(std::make_error_code(std::errc::resource_unavailable_try_again));
    const auto engineHooks = [](GameOfLife::TestHooks hooks) {
        return [hooks](AppHarness& h) { h.app.theView->life().setTestHooks(hooks); };
    };
    const auto throwing = [](auto error) { return [error] { throw error; }; };
    const auto install = [](std::int64_t w, std::int64_t hi) {
        return [w, hi](AppHarness& h) { ASSERT_TRUE(h.app.theView->initWithBitmap(*CellBitmap::create(w, hi))); };
    };
    struct Case {
        const char* name;
        std::function<void(AppHarness&)> prepare;
        const char* gif;  // a recording run to this file in the folder
        const char* count;
        std::function<void(AppHarness&)> meanwhile;
        bool shownAfter;
        QString message;  // in the one message shown; empty: no message
    };
    const Case cases[] = {
        {"completed", {}, nullptr, "3", {}, false, {}},
        {"stopped", {}, nullptr, "1000000", [](AppHarness& h) { h.app.stopGameOfLife(); }, false, {}},
        {"superseded", {}, nullptr, "1000000", [](AppHarness& h) { h.app.startGameOfLife(); }, true, {}},
        {"no GIF image that wide", install(100000, 1), "wide.gif", "1000000", {}, false,
         QStringLiteral("\u201cwide.gif\u201d could not be saved")},
        {"the board changed size during a recording", {}, "changed.gif", "1000000",
         [&](AppHarness& h) {
             ASSERT_TRUE(generationReached(h, 2));
             install(30, 20)(h);
         },
         false, QStringLiteral("The recording stopped after")},
        {"no memory for a generation", engineHooks({{}, throwing(std::bad_alloc()), {}}), nullptr, "5", {}, false,
         noMemory},
        {"no starter thread",
         [&](AppHarness& h) { h.app.runs().setTestHooks({throwing(noThread), {}}); }, nullptr, "5", {}, false,
         noMemory},
        {"no memory on the starter thread",
         [&](AppHarness& h) { h.app.runs().setTestHooks({{}, throwing(std::bad_alloc())}); }, nullptr, "5", {}, false,
         noMemory},
        {"stopped, its recording not written", {}, "gone/lost.gif", "1000000",
         [&](AppHarness& h) {
             ASSERT_TRUE(generationReached(h, 2));
             ASSERT_TRUE(QDir(dir.filePath(QStringLiteral("gone"))).removeRecursively());
             h.app.stopGameOfLife();
         },
         false, QStringLiteral("\u201clost.gif\u201d could not be saved")},
    };
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("gone")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness h;
        if (c.prepare)
            c.prepare(h);
        start(h, c.count, kPaced, c.gif ? dir.filePath(QString::fromLatin1(c.gif)) : QString());
        if (!c.gif) {
            EXPECT_TRUE(h.indicatorShown());
        }
        if (c.meanwhile)
            c.meanwhile(h);
        ASSERT_TRUE(AppHarness::waitUntil([&] { return h.app.runs().unended() == (c.shownAfter ? 1u : 0u); }));
        AppHarness::pump();
        EXPECT_EQ(h.indicatorShown(), c.shownAfter);
        EXPECT_EQ(h.app.theView->isRunning(), c.shownAfter);
        if (c.message.isEmpty()) {
            EXPECT_EQ(h.told, QStringList());
        } else {
            ASSERT_EQ(h.told.size(), 1) << h.told.join(QLatin1Char('\n')).toStdString();
            EXPECT_TRUE(h.told.front().startsWith(c.message)) << h.told.front().toStdString();
        }
        h.app.stopGameOfLife();
        EXPECT_TRUE(h.runEnds());
        h.app.theView->life().setTestHooks({});
        h.app.runs().setTestHooks({});
    }
}

// The end of a run that completed arrives after the next run has begun:
// the indicator stays with the run that is going.
TEST_F(AppRuns, AnEarlierRunsEndArrivingLateLeavesTheIndicatorToTheRunGoing)
{
    start(h, "1");
    ASSERT_TRUE(holdUntil([&] { return life().snapshot().generation == 1; }));
    life().waitForRuns();
    ASSERT_EQ(h.app.runs().unended(), 1u) << "its end is still on its way";
    start(h, "1000000", kPaced);
    // The earlier run's end has been taken and the new run has begun.
    ASSERT_TRUE(AppHarness::waitUntil([&] { return h.app.runs().unended() == 1 && h.app.theView->isRunning(); }));
    EXPECT_TRUE(h.indicatorShown());
    h.app.stopGameOfLife();
}

// Closing during a recording: the window goes only once the frames so far
// are written, or once the person has read why they could not be.
TEST(Shutdown, ClosingDuringARecordingWritesItOrSaysWhyBeforeTheWindowGoes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("gone")));
    for (const bool writable : {true, false}) {
        SCOPED_TRACE(writable ? "written" : "not written");
        AppHarness h;
        const QString file = dir.filePath(writable ? QStringLiteral("run.gif") : QStringLiteral("gone/run.gif"));
        int framesAtClose = -1;
        QObject::connect(h.app.window->windowHandle(), &QWindow::visibleChanged, [&](bool visible) {
            if (!visible)
                framesAtClose = QImageReader(file).imageCount();
        });
        start(h, "1000000", kPaced, file);
        ASSERT_TRUE(generationReached(h, 3));
        if (!writable) {
            ASSERT_TRUE(QDir(dir.filePath(QStringLiteral("gone"))).removeRecursively());
        }
        h.app.quit();
        if (writable) {
            ASSERT_TRUE(AppHarness::waitUntil([&] { return !h.app.window->isVisible(); }));
            EXPECT_GE(framesAtClose, 3);
            QImageReader reader(file);
            for (int i = 0; i < framesAtClose; ++i)
                ASSERT_FALSE(reader.read().isNull()) << "frame " << i;
            EXPECT_EQ(h.told, QStringList());
            continue;
        }
        ASSERT_TRUE(AppHarness::waitUntil([&] { return h.showing<QMessageBox>() != nullptr; }));
        EXPECT_TRUE(h.told.value(0).startsWith(QStringLiteral("\u201crun.gif\u201d could not be saved")));
        AppHarness::pump(100);
        EXPECT_TRUE(h.app.window->isVisible()) << "until the message is read";
        h.showing<QMessageBox>()->accept();
        EXPECT_TRUE(AppHarness::waitUntil([&] { return !h.app.window->isVisible(); }));
    }
}

// An answer the unsaved-pattern question does not have (a button beyond its
// three) keeps the pattern, as Cancel does, and the next command asks again.
TEST(Guard, AnAnswerTheQuestionDoesNotHaveKeepsThePatternAndTheNextCommandAsksAgain)
{
    AppHarness h;
    h.app.editPattern();
    h.app.theView->mouseDown({2, double(h.app.theView->height()) - 2});
    const auto edited = h.board();
    h.app.reset();
    QMessageBox* box = h.question();
    ASSERT_NE(box, nullptr);
    box->addButton(QStringLiteral("Later"), QMessageBox::ActionRole)->click();
    AppHarness::pump();
    EXPECT_EQ(h.question(), nullptr);
    EXPECT_TRUE(h.app.isCreating());
    EXPECT_EQ(h.board(), edited);
    h.app.reset();
    ASSERT_NE(h.question(), nullptr);
    h.answer("dontSaveButton");
    EXPECT_FALSE(h.app.isCreating());
    EXPECT_NE(h.board(), edited);
}

// The step comes while the run holds its second generation, computed but
// not yet published: that one is thrown away and the step's takes its place.
TEST_F(AppRuns, StepStopsTheRunAndPublishesOneWholeGeneration)
{
    Gate gate;
    std::atomic<int> generations{0};
    life().setTestHooks({[&] {
                             if (++generations == 2)
                                 gate.pass();
                         },
                         {}, {}});
    start(h, "1000000");
    ASSERT_TRUE(gate.arrived());
    h.app.stepGameOfLife();
    gate.open();
    ASSERT_TRUE(h.runEnds());
    EXPECT_EQ(h.generation(), 2u);
    EXPECT_TRUE(h.board()->sameCells(*reference::history(*before, 2).back()));
    EXPECT_EQ(h.app.theView->iterations(), 1000000);
    life().setTestHooks({});
}

// The status bar after runs, steps, new boards, zooms and edits, the live
// cells counted on the plain rule's generations.
TEST_F(AppRuns, StatusBarCountsTheGenerationsOfEachBoardAndItsLiveCells)
{
    const auto generations = reference::history(*before, 8);
    auto says = [&](const QString& expected) { EXPECT_EQ(h.statusWhen(expected), expected); };
    says(AppHarness::statusOf(0, before->liveCells()));
    start(h, "5");
    ASSERT_TRUE(indicatorHides());
    says(AppHarness::statusOf(5, generations[5]->liveCells()));
    h.app.stepGameOfLife();
    says(AppHarness::statusOf(6, generations[6]->liveCells()));
    // Space steps, also with a button focused; a text field takes the space as text.
    auto* button = h.app.window->findChild<QPushButton*>(QStringLiteral("startButton"));
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    says(AppHarness::statusOf(7, generations[7]->liveCells()));
    EXPECT_TRUE(indicatorHides());
    h.app.iterationsTextfield->setFocus();
    QTest::keyClick(h.app.iterationsTextfield, Qt::Key_Space);
    AppHarness::pump(100);
    EXPECT_EQ(h.app.iterationsTextfield->text(), QStringLiteral("5 "));
    EXPECT_EQ(h.generation(), 7u);
    // A click on the board takes the keys back from the field.
    QTest::mouseClick(h.app.theView, Qt::LeftButton, {}, {100, 100});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    says(AppHarness::statusOf(8, generations[8]->liveCells()));
    // Shift+Space steps back, Ctrl+Backspace goes back to the start, each to the board recorded.
    for (auto [key, modifier, back] : {std::tuple{Qt::Key_Space, Qt::ShiftModifier, 7}, {Qt::Key_Space, Qt::ShiftModifier, 6},
                                       {Qt::Key_Backspace, Qt::ControlModifier, 0}}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifier);
        says(AppHarness::statusOf(std::uint64_t(back), generations[std::size_t(back)]->liveCells()));
        EXPECT_TRUE(h.board()->sameCells(*generations[std::size_t(back)])) << back;
    }
    // Stop When Settled ends a run of a blinker where it repeats, and says so.
    // The population graph has a line for that run, and another for the run
    // after stepping back, and saves them as CSV.
    h.trigger("actionStopWhenSettled");
    ASSERT_TRUE(h.app.theView->initWithBitmap(*boards::withLive(120, 90, {{5, 5}, {6, 5}, {7, 5}})));
    h.trigger("actionPopulationGraph");
    auto* graph = h.app.window->findChild<PopulationGraph*>();
    ASSERT_TRUE(AppHarness::waitUntil([&] { return graph->lines().size() == 1; }));
    start(h, "50");
    ASSERT_TRUE(indicatorHides());
    EXPECT_EQ(h.app.window->statusBar()->currentMessage(), QStringLiteral("Settled at generation 2: period 2"));
    const QLocale session;  // its numbers in the session's locale
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(TimeCommands::settledText({1234, 2}), QStringLiteral("Settled at generation 1.234: period 2"));
    QLocale::setDefault(session);
    EXPECT_EQ(h.generation(), 2u);
    graph->sample();
    h.app.stepBack();
    graph->sample();
    using Line = std::vector<QPointF>;
    ASSERT_EQ(graph->lines().size(), 2u);
    EXPECT_EQ(graph->lines()[0].front(), QPointF(0, 3));
    EXPECT_EQ(graph->lines()[0].back(), QPointF(2, 3));
    EXPECT_EQ(graph->lines()[1], (Line{{1, 3}}));
    QTemporaryDir dir;
    graph->saveAs(QStringLiteral("csv"));
    h.choose(dir.filePath(QStringLiteral("population.csv")));
    const QByteArray csv = files::readAll(dir.filePath(QStringLiteral("population.csv")));
    EXPECT_TRUE(csv.startsWith("run,generation,population\n1,0,3\n") && csv.endsWith("1,2,3\n2,1,3\n")) << csv.data();
    h.trigger("actionPopulationGraph");
    h.trigger("actionStopWhenSettled");

    // A note and the figures never run into one another, at any width; the
    // figures are whole again once the note has gone.
    auto* label = h.app.window->statusBar()->findChild<QLabel*>(QStringLiteral("boardStatus"));
    const QFontMetrics metrics(label->font());
    const QSize size = h.app.window->size();
    for (int width : {size.width(), 1600, 200}) {
        h.app.window->resize(width, h.app.window->height());
        h.app.dialogs().note(h.app.window, QStringLiteral("2944 gray cells were written to \u201cglider.rle\u201d as dead cells."));
        AppHarness::pump();
        const int noteEnds = 6 + metrics.horizontalAdvance(h.app.window->statusBar()->currentMessage());
        EXPECT_TRUE(label->isHidden() || label->x() > noteEnds) << width;
        EXPECT_EQ(label->text() == h.app.status().text(), width == 1600);
        h.app.window->statusBar()->clearMessage();
        EXPECT_EQ(label->text() == h.app.status().text(), width != 200) << "the narrowest window leaves the zoom out";
    }
    h.app.window->resize(size);
    // Where the figures do not fit, the least needed go and the selection stays whole.
    h.app.window->resize(360, h.app.window->height());
    h.trigger("actionSelectAll");
    ASSERT_TRUE(AppHarness::waitUntil([&] { return label->text().endsWith(QStringLiteral("Selection 120 \u00d7 90")); }));
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("Generation 1 \u00b7 "))) << label->text().toStdString();
    EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width());
    EXPECT_NE(label->text(), h.app.status().text());
    h.app.window->resize(size);
    h.trigger("actionRemoveSelection");

    h.app.showGliderGun();
    says(AppHarness::statusOf(0, 36));
    EXPECT_EQ(h.app.theView->iterations(), 100);  // the preset sets the count back
    h.app.theView->zoomAt(1, {240, 180});
    says(AppHarness::statusOf(0, 36, 120, 90, QStringLiteral("Zoom 600%")));
    h.app.editPattern();
    h.app.theView->mouseDown({240, 180});
    says(AppHarness::statusOf(0, h.board()->liveCells(), 120, 90, QStringLiteral("Zoom 600%")));
    EXPECT_NE(h.board()->liveCells(), 36);
}

// Run > Rule… checks the rule as it is typed; what it sets shows in the
// status bar, runs the board, and in pattern-editing mode is a change to the
// pattern that Undo takes back. The glider gun sets Life again.
TEST_F(AppRuns, TheRuleDialogSetsTheRuleAndWorldUndoablyWhileEditing)
{
    h.app.editPattern();
    for (const auto& [typed, torus, reason] :
         {std::tuple{"B9", false, "\u201cB9\u201d is not a Life-like rule: a Life-like rule gives its birth and "
                                 "survival counts, such as B3/S23."},
          {"b63/s32", true, ""}}) {
        h.trigger("actionRule");
        auto* dialog = h.showing<RuleDialog>();
        ASSERT_TRUE(dialog && dialog->isModal());
        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("ruleField"));
        field->clear();
        QTest::keyClicks(field, QString::fromLatin1(typed));
        EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("ruleReason"))->text(), QString::fromUtf8(reason));
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        EXPECT_EQ(buttons->button(QDialogButtonBox::Ok)->isEnabled(), *reason == 0);
        dialog->findChild<QRadioButton*>(QString::fromLatin1(torus ? "torusButton" : "planeButton"))->setChecked(true);
        QTest::mouseClick(buttons->button(*reason == 0 ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel), Qt::LeftButton);
    }
    const QString status = AppHarness::statusOf(0, before->liveCells(), 120, 90, QStringLiteral("Whole board"),
                                                QStringLiteral("B36/S23 on a torus"));
    EXPECT_EQ(h.statusWhen(status), status);
    EXPECT_TRUE(h.app.theView->isCreatingAndSomethingChanged());
    h.trigger("actionUndo");
    EXPECT_EQ(h.app.theView->life().rule(), LifeLikeRule::life());
    EXPECT_FALSE(h.app.theView->isCreatingAndSomethingChanged());
    h.trigger("actionRedo");
    const LifeLikeRule highLife = RuleName::read("B36/S23:T1,1").rule;
    EXPECT_EQ(h.app.theView->life().rule(), highLife);
    start(h, "4");  // leaving the mode asks about the changed pattern
    h.answer("dontSaveButton");
    ASSERT_TRUE(indicatorHides());
    EXPECT_TRUE(h.board()->sameCells(*reference::history(*before, 4, highLife).back()));
    h.app.showGliderGun();
    EXPECT_EQ(h.app.theView->life().rule(), LifeLikeRule::life());
}

// Help lists every command's keys from the menus themselves, and shows the
// manual page as text.
TEST(AppHelp, ShortcutsListEveryMenuCommandsKeysAndTheManualReadsAsText)
{
    AppHarness h;
    h.trigger("actionKeyboardShortcuts");
    EXPECT_TRUE(h.app.window->findChild<QDialog*>(QStringLiteral("keyboardShortcuts"))->isVisible());
    QStringList listed;
    for (const auto& [command, keys] : KeyboardShortcuts::rows(h.app.window))
        listed << command + QStringLiteral(": ") + keys;
    for (const char* row : {"Edit \u25b8 Redo: Ctrl+Shift+Z, Ctrl+Y", "View \u25b8 Fit Pattern: Ctrl+Shift+F",
                            "Run \u25b8 Step: Space", "File \u25b8 New Pattern\u2026: Ctrl+N", "Zoom In: Ctrl+=",
                            "While a paste floats: Rotate it anticlockwise: Shift+R"})
        EXPECT_TRUE(listed.contains(QString::fromUtf8(row))) << row;
    int withKeys = 0;
    for (const QAction* action : h.app.window->findChildren<QAction*>())
        withKeys += !action->shortcuts().isEmpty() && !action->menu();
    EXPECT_EQ(listed.size(), withKeys + 12);  // and the board's own keys

    h.trigger("actionManual");
    auto* text = h.app.window->findChild<QTextBrowser*>(QStringLiteral("manualText"));
    ASSERT_NE(text, nullptr);
    const QString page = text->toPlainText();
    for (const char* shown : {"GAMEOFLIFE(1)", "gameoflife - run Conway's Game of Life, draw patterns and record runs",
                              "gameoflife -platform wayland -style Fusion", "Edit \u2192 Undo, Redo (Ctrl+Z"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(shown))) << shown;
    for (const char* source : {"\\f", "\\-", ".TP", ".SH", ".BR ", ".RS", ".EX", ".\\\""})
        EXPECT_FALSE(page.contains(QLatin1String(source))) << source << " is drawn, not shown";
}

// A view too small for a board stays without one, and tries again at each drawing.
TEST(AppView, AViewTooSmallForABoardDrawsOneOnceLargeEnough)
{
    AppHarness h;
    h.app.theView->reset();
    h.app.theView->setMinimumSize(1, 1);
    h.app.theView->resize(3, 100);
    (void)h.app.theView->grab();
    EXPECT_EQ(h.board(), nullptr);
    h.app.theView->resize(40, 40);
    (void)h.app.theView->grab();
    ASSERT_TRUE(h.board());
    EXPECT_EQ(h.board()->pixelsWide(), 10);
}

TEST(AppSmoke, TheRealExecutableStartsAndQuitsCleanly)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(GOL_BINARY_DIR "/app/gameoflife"), {});
    ASSERT_TRUE(process.waitForStarted(10000));
    QTest::qWait(1000);
    EXPECT_EQ(process.state(), QProcess::Running);
    process.terminate();  // as the session does at logout
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
}

// File > Pattern Info shows what the file opened said of its pattern, Export
// writes it back, and a board from no file has none.
TEST_F(AppRuns, PatternInfoShowsWhatTheFileSaidAndExportWritesItBack)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.rle")), out = dir.filePath(QStringLiteral("out.cells"));
    ASSERT_TRUE(files::writeAll(in, "#N Blinker\n#O Someone\n#C period 2\n#C from a notebook\nx = 3, y = 1\n3o!\n"));
    ASSERT_TRUE(h.app.openFile(in));
    h.settle();
    h.trigger("actionPatternInfo");
    AppHarness::pump();
    ASSERT_FALSE(h.told.isEmpty());
    EXPECT_EQ(h.told.back(), QStringLiteral("Name: Blinker\nAuthor: Someone"));
    EXPECT_EQ(h.question()->informativeText(), QStringLiteral("period 2\nfrom a notebook"));
    h.question()->accept();
    h.trigger("actionExportPattern");
    h.choose(out);
    EXPECT_TRUE(files::readAll(out).startsWith("!Name: Blinker\n!Author: Someone\n!period 2\n!from a notebook\n"))
        << files::readAll(out).toStdString();

    h.app.showGliderGun();
    h.trigger("actionPatternInfo");
    AppHarness::pump();
    EXPECT_EQ(h.told.back(), QStringLiteral("This pattern came with no name, author or comments."));
    h.question()->accept();
}
