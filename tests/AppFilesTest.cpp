#include "AppHarness.h"
#include "Boards.h"
#include "FileHelpers.h"
#include "ImageFile.h"
#include "PatternFile.h"
#include "PatternInterchange.h"
#include "PatternReader.h"

#include <QAction>
#include <QClipboard>
#include <QFileOpenEvent>
#include <QStatusBar>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <future>

namespace {

class AppFiles : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString writePattern(const char* name, const CellBitmap& board) const
    {
        EXPECT_EQ(PatternFile::write(&board, path(name).toStdString()), "");
        return path(name);
    }
    QString nameField() { return h.panel()->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(); }
    QString message()
    {
        auto* box = qobject_cast<QMessageBox*>(h.lastDialog());
        return box ? box->text() : QString();
    }

    QTemporaryDir dir;
    AppHarness h;
};

// The board with its gray cells dead, as RLE and plaintext carry it.
std::unique_ptr<CellBitmap> liveAndDead(const CellBitmap& board)
{
    auto plain = std::make_unique<CellBitmap>(board);
    for (std::uint8_t* cell = plain->data(); cell != plain->data() + plain->cellCount(); ++cell)
        *cell = *cell == CellBitmap::kLive ? CellBitmap::kLive : CellBitmap::kDead;
    return plain;
}

const QByteArray kGliderRle = "#N Glider\n#C as people write it\nx = 3, y = 3, rule = B3/S23\nbo$2bo$3o!\n";

}  // namespace

// Each command that opens a board, during a run: its panel, the run
// stopped, the board shown (a pattern at the view's size, an import
// centred on the board shown, an image one cell a pixel with its grays)
// and the count back to 100, which the field shows.
TEST_F(AppFiles, OpeningABoardStopsTheRunShowsItAndSetsTheCountBackTo100)
{
    auto pattern = boards::seeded(33, 21, 5);
    std::shared_ptr<CellBitmap> photo = CellBitmap::create(64, 48);
    photo->setPixel(0, 0, CellBitmap::kLive);
    photo->setPixel(1, 0, 128);
    ASSERT_EQ(ImageFile::writePng(*photo, path("photo.png").toStdString()), "");
    ASSERT_TRUE(files::writeAll(path("glider.rle"), kGliderRle));
    const struct {
        const char* command;
        const char* title;
        const char* message;
        QString file;
        std::shared_ptr<CellBitmap> board;
        bool atViewSize = true;
    } cases[] = {
        // On the first board, 120 by 90: offsets (120 - 3) / 2 and (90 - 3) / 2.
        {"actionImportPattern", "Import pattern",
         "Import a pattern of another Life program from somewhere on your disk", path("glider.rle"),
         boards::withLive(120, 90, {{59, 43}, {60, 44}, {58, 45}, {59, 45}, {60, 45}})},
        {"actionOpenPattern", "Open pattern", "Open a pattern from somewhere on your disk",
         writePattern("p.golpattern", *pattern), std::move(pattern)},
        {"actionOpenImage", "Open image", "Open an image from somewhere on your disk", path("photo.png"), photo, false},
    };
    h.app.iterationsTextfield->setText(QStringLiteral("7"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        h.app.theView->setIterations(1000000);
        h.app.startGameOfLife();
        h.trigger(c.command);
        ASSERT_NE(h.panel(), nullptr);
        EXPECT_EQ(h.panel()->windowTitle(), QString::fromLatin1(c.title));
        EXPECT_EQ(h.panel()->labelText(QFileDialog::Accept), QString::fromLatin1(c.title));
        EXPECT_EQ(h.panel()->findChild<QLabel*>(QStringLiteral("panelMessage"))->text(), QString::fromLatin1(c.message));
        h.choose(c.file);
        EXPECT_FALSE(h.indicatorShown());
        ASSERT_TRUE(h.runEnds());
        EXPECT_TRUE(h.board()->sameCells(*c.board));
        EXPECT_TRUE(!c.atViewSize || h.board()->size() == LogicalSize({480, 360}));
        EXPECT_EQ(h.app.theView->iterations(), 100);
        EXPECT_EQ(h.app.iterationsTextfield->text(), QStringLiteral("100"));  // what the field shows is what runs
    }
}

// Hostile files, each refused with its message, the board as it was.
TEST_F(AppFiles, FilesHandedOverNeedTheExactExtensionAndHostileOnesChangeNothing)
{
    auto board = boards::seeded(12, 9, 2);
    h.app.editPattern();
    const auto before = h.board();
    // Read as Import reads them, by their content, and refused; the type of
    // the name tells what was expected.
    const QString unknown = QStringLiteral(" cannot be opened as a pattern: it is not a pattern Game of Life knows "
                                           "(RLE, plaintext, Life 1.05 or 1.06, macrocell, or its own).");
    for (const auto& [name, why] :
         {std::pair{"x.txt", unknown}, {"x.GOLPATTERN", unknown},
          {"x.lif", QStringLiteral(" cannot be opened as a Life pattern: it does not begin with \u201c#Life 1.05\u201d "
                                   "or \u201c#Life 1.06\u201d.")}}) {
        ASSERT_TRUE(files::writeAll(path(name), "no pattern\n"));
        EXPECT_EQ(h.app.openFile(path(name)), QLatin1String(name) == QLatin1String("x.lif"));
        h.settle();
        EXPECT_EQ(message(), QStringLiteral("\u201c%1\u201d").arg(QLatin1String(name)) + why);
        h.lastDialog()->close();
    }

    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                            "<key>bitMapPixelSize</key><array><integer>2</integer><integer>2</integer></array>";
    // A flood of markup (more hostile files are seeds of the corpus).
    ASSERT_TRUE(files::writeAll(path("hostile.golpattern"), head + QByteArray("<!a>").repeated(1000000) + "</dict></plist>"));
    EXPECT_TRUE(h.app.openFile(path("hostile.golpattern")));
    h.settle();
    EXPECT_EQ(h.board(), before);
    EXPECT_EQ(message(), QStringLiteral("\u201chostile.golpattern\u201d cannot be opened as a pattern: it is not a "
                                        "well-formed XML property list (line 2: Expected '-', '[CDATA[', or 'DOCTYPE', "
                                        "but got '[a-zA-Z]')."));
    h.lastDialog()->close();

    EXPECT_TRUE(h.app.openFile(writePattern("x.golpattern", *board)));
    h.settle();
    EXPECT_TRUE(h.board()->sameCells(*board));
    EXPECT_FALSE(h.app.isCreating());  // an unchanged pattern is left without a question

    // RLE and plaintext, as arguments or in an open event from the desktop,
    // centred on the 12 by 9 board shown.
    ASSERT_TRUE(files::writeAll(path("glider.RLE"), kGliderRle));
    EXPECT_TRUE(h.app.openFile(path("glider.RLE")));
    h.settle();
    EXPECT_TRUE(h.board()->sameCells(*boards::withLive(12, 9, {{5, 3}, {6, 4}, {4, 5}, {5, 5}, {6, 5}})));
    ASSERT_TRUE(files::writeAll(path("blinker.cells"), "!Name: Blinker\nOOO\n"));
    QFileOpenEvent event(path("blinker.cells"));
    QCoreApplication::sendEvent(qApp, &event);
    h.settle();
    EXPECT_TRUE(h.board()->sameCells(*boards::withLive(12, 9, {{4, 4}, {5, 4}, {6, 4}})));
}

// A changed pattern is asked about once the file chosen is read: not for a
// dismissed panel, not for a file refused.
TEST_F(AppFiles, OpeningOverAChangedPatternAsksOnceTheFileIsReadAndCancelKeepsIt)
{
    const QString pattern = writePattern("p.golpattern", *boards::seeded(30, 20, 3));
    ASSERT_EQ(ImageFile::writePng(*boards::seeded(40, 30, 4), path("p.png").toStdString(), 1), "");
    ASSERT_TRUE(files::writeAll(path("broken.golpattern"), "junk"));
    const struct {
        std::function<void(const QString&)> open;
        QString file;
    } cases[] = {
        {[&](const QString& f) { h.trigger("actionOpenPattern"); h.choose(f); }, pattern},
        {[&](const QString& f) { h.trigger("actionOpenImage"); h.choose(f); }, path("p.png")},
        {[&](const QString& f) { h.app.openFile(f); h.settle(); }, pattern},  // handed over by the desktop
    };
    for (const auto& c : cases) {
        h.app.editPattern();
        h.app.theView->mouseDown({2, 2});
        const auto drawn = h.board();
        h.trigger("actionOpenImage");
        h.dismissPanel();
        c.open(path("broken.golpattern"));
        h.lastDialog()->close();
        EXPECT_EQ(h.question(), nullptr);
        c.open(c.file);
        h.answer("cancelButton");
        EXPECT_EQ(h.board(), drawn);
        EXPECT_TRUE(h.app.isCreating());
        c.open(c.file);
        h.answer("dontSaveButton");
        EXPECT_EQ(h.board()->pixelsWide(), c.file == pattern ? 30 : 40);
        EXPECT_FALSE(h.app.isCreating() || h.app.window->isWindowModified()) << c.file.toStdString();
    }
}

// Each save panel: its title and the name it offers; "glider.v2" is saved as
// "glider.v2.<extension>", which is the file asked about before it is
// replaced. The image and the recording have one pixel a cell, however large
// the view shows the board.
TEST_F(AppFiles, EachSavePanelOffersItsNameAndAsksBeforeReplacingTheFileUnderTheAddedExtension)
{
    h.app.theView->setSpeed(RunPacer::kFastest);
    h.app.iterationsTextfield->setText(QStringLiteral("3"));
    const struct {
        const char* file;
        void (AppDelegate::*command)();
        const char *title, *offered;
        const char* type = nullptr;  // the type chosen in the panel
    } panels[] = {{"glider.v2.golpattern", &AppDelegate::savePattern, "Save pattern", "GameOfLifePattern"},
                  {"glider.v2.png", &AppDelegate::saveImage, "Save image", "GameOfLifeImage"},
                  {"glider.v2.gif", &AppDelegate::startGameOfLifeAndMakeGif, "Save gif", "GameOfLifeAnimation"},
                  {"glider.v2.rle", &AppDelegate::exportPattern, "Export pattern", "GameOfLifePattern"},
                  {"glider.v2.cells", &AppDelegate::exportPattern, "Export pattern", "GameOfLifePattern",
                   "Plaintext (*.cells)"}};
    for (const auto& panel : panels) {
        SCOPED_TRACE(panel.file);
        ASSERT_TRUE(files::writeAll(path(panel.file), "old"));
        (h.app.*panel.command)();
        ASSERT_NE(h.panel(), nullptr);
        EXPECT_EQ(h.panel()->windowTitle(), QLatin1String(panel.title));
        EXPECT_EQ(nameField(), QLatin1String(panel.offered));
        if (panel.type)
            h.panel()->selectNameFilter(QString::fromLatin1(panel.type));
        h.choose(path("glider.v2"));
        ASSERT_NE(h.question(), nullptr);
        EXPECT_EQ(h.question()->text(), QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(panel.file));
        h.answer("keepButton");
        ASSERT_NE(h.panel(), nullptr);  // back to the panel, nothing written
        EXPECT_EQ(files::readAll(path(panel.file)), "old");

        h.choose(path("glider.v2"));
        h.answer("replaceButton");
        EXPECT_EQ(h.panel(), nullptr);
        h.settle();
        ASSERT_TRUE(AppHarness::waitUntil([&] { return files::readAll(path(panel.file)) != "old"; }));
        ASSERT_TRUE(h.runEnds());
        // The image, or three generations.
        if (const QString file = path(panel.file); file.endsWith(".png") || file.endsWith(".gif")) {
            QImageReader image(file);
            EXPECT_EQ(image.size(), QSize(120, 90));
            EXPECT_EQ(image.format() == "gif" ? image.imageCount() : int(image.read().format()),
                      image.format() == "gif" ? 3 : int(QImage::Format_Grayscale8));
        }
    }
}

// Read back exactly: a live cell in the far corner gives the plaintext its
// whole size.
TEST_F(AppFiles, ExportWritesTheChosenTypeAndNotesTheGrayCellsWrittenAsDead)
{
    auto board = boards::seeded(37, 23, 8, false);
    board->setPixel(36, 22, CellBitmap::kLive);
    for (auto [x, y] : {std::pair{0, 0}, {36, 0}, {5, 22}})
        board->setPixel(x, y, 128);
    ASSERT_TRUE(h.app.theView->initWithBitmap(*board));
    const struct {
        const char* type;
        const char* typed;
        const char* written;
    } cases[] = {{"RLE (*.rle)", "out", "out.rle"},
                 {"Plaintext (*.cells)", "out", "out.cells"},
                 {"RLE (*.rle)", "mine.CELLS", "mine.CELLS"}};  // a type typed in the name stays
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        h.app.exportPattern();
        ASSERT_NE(h.panel(), nullptr);
        h.panel()->selectNameFilter(QString::fromLatin1(c.type));
        h.choose(path(c.typed));
        const BoardLoad back = PatternReader::read(path(c.written).toStdString(), PatternTarget::board(37, 23));
        ASSERT_TRUE(back.board) << back.error;
        EXPECT_TRUE(back.board->sameCells(*liveAndDead(*board)));
        EXPECT_EQ(h.app.window->statusBar()->currentMessage(),
                  QStringLiteral("3 gray cells were written to \u201c%1\u201d as dead cells.").arg(c.written));
    }
}

// The keys as a person presses them, with the iteration field focused: the
// field copies its selection and takes a number, the board all the rest.
TEST_F(AppFiles, CopyThenPasteGivesTheBoardBackAndTextThatIsNoPatternChangesNothing)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    auto board = boards::seeded(37, 23, 9);
    LifeLikeRule dayAndNight = LifeLikeRule::parse("B3678/S34678").rule;
    dayAndNight.world = World::Torus;
    ASSERT_TRUE(h.app.theView->initWithBitmap(*board, dayAndNight));
    h.app.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(h.app.window));
    QLineEdit* field = h.app.iterationsTextfield;
    field->setFocus();
    field->setText(QStringLiteral("250"));
    auto press = [&](Qt::Key key, Qt::KeyboardModifiers more = {}) {
        QTest::keyClick(field, key, Qt::ControlModifier | more);
        h.settle();
    };
    press(Qt::Key_C);  // nothing selected: the board
    EXPECT_TRUE(clipboard->text().startsWith(
        QStringLiteral("#CXRLE Pos=-18,-11\n#N GameOfLifePattern\nx = 37, y = 23, rule = B3678/S34678:T37,23")))
        << clipboard->text().left(80).toStdString();
    const QString note = h.app.window->statusBar()->currentMessage();
    EXPECT_TRUE(note.endsWith(QStringLiteral(" gray cells were copied as dead cells."))) << note.toStdString();
    h.app.reset();
    h.app.theView->setRule(LifeLikeRule::life());
    h.app.theView->setIterations(7);
    press(Qt::Key_V, Qt::ShiftModifier);  // Paste as New Board
    EXPECT_TRUE(h.board()->sameCells(*liveAndDead(*board)));
    EXPECT_EQ(h.app.theView->life().rule(), dayAndNight);  // the pattern's rule comes with it
    EXPECT_EQ(h.app.theView->iterations(), 100);
    EXPECT_EQ(field->text(), QStringLiteral("100"));

    field->setText(QStringLiteral("250"));
    field->selectAll();
    press(Qt::Key_C);
    EXPECT_EQ(clipboard->text(), QStringLiteral("250"));
    field->clear();
    const auto before = h.board();
    press(Qt::Key_V);
    EXPECT_EQ(field->text(), QStringLiteral("250"));
    EXPECT_EQ(h.board(), before);

    // Through the menu, the field without focus: the board's Paste says why not.
    field->clearFocus();
    clipboard->setText(QStringLiteral("x = 3, y = 3\nbo%!"));
    h.app.window->findChild<QAction*>(QStringLiteral("actionPaste"))->trigger();
    h.settle();
    EXPECT_EQ(message(), QStringLiteral("The text on the clipboard cannot be opened as an RLE pattern: on line 2, "
                                        "\u201c%\u201d is not part of an RLE pattern."));
    EXPECT_EQ(h.board(), before);
}

// The run goes while the panel is up; a dismissed panel stops it, and a
// destination that cannot be written ends it at once, as if stopped, with
// one message.
TEST_F(AppFiles, RecordGifStopsTheRunWhenDismissedOrTheFileCannotBeWritten)
{
    h.app.startGameOfLifeAndMakeGif();
    EXPECT_TRUE(h.indicatorShown());
    h.dismissPanel();
    EXPECT_FALSE(h.indicatorShown());
    EXPECT_FALSE(h.app.theView->isRunning());

    h.app.iterationsTextfield->setText(QStringLiteral("1000000"));
    h.app.startGameOfLifeAndMakeGif();
    h.chooseInVanishingFolder(dir, QStringLiteral("lost.gif"));
    ASSERT_TRUE(h.runEnds());
    EXPECT_TRUE(AppHarness::waitUntil([&] { return !h.indicatorShown(); }));
    ASSERT_TRUE(AppHarness::waitUntil([&] { return !message().isEmpty(); }));
    EXPECT_EQ(message(), QStringLiteral("\u201clost.gif\u201d could not be saved: No such file or directory."));
}

// Slow file work (here a job that waits for the test): the window keeps
// drawing, a progress dialog comes after half a second, commands wait, and
// Cancel throws away what the work found.
TEST_F(AppFiles, SlowFileWorkShowsProgressKeepsDrawingAndHoldsCommands)
{
    h.app.editPattern();
    const auto before = h.board();
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    bool applied = false;
    h.app.fileWork().run(QStringLiteral("Opening \u201cslow.golpattern\u201d\u2026"),
                         [released, &applied](CancelFlag&) -> FileWork::Outcome {
                             released.wait();
                             return [&applied] { applied = true; };
                         });
    int waited = 0;
    h.app.fileWork().whenIdle([&] { ++waited; });
    h.app.window->findChild<QAction*>(QStringLiteral("actionReset"))->trigger();
    QTest::mouseClick(h.app.theView, Qt::LeftButton, {}, QPoint(10, 10));  // no cell toggled meanwhile
    EXPECT_EQ(h.board(), before);
    EXPECT_EQ(h.progress(), nullptr);

    ASSERT_TRUE(AppHarness::waitUntil([&] { return h.progress() != nullptr; }));
    EXPECT_EQ(h.progress()->labelText(), QStringLiteral("Opening \u201cslow.golpattern\u201d\u2026"));
    EXPECT_EQ(h.progress()->windowModality(), Qt::WindowModal);
    int paints = 0;
    struct PaintCounter : QObject {
        int& count;
        explicit PaintCounter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::Paint;
            return false;
        }
    } counter(paints);
    h.app.theView->installEventFilter(&counter);
    h.app.theView->update();
    EXPECT_TRUE(AppHarness::waitUntil([&] { return paints > 0; }));
    h.app.theView->removeEventFilter(&counter);

    QTest::mouseClick(h.progress()->findChild<QPushButton*>(), Qt::LeftButton);
    EXPECT_EQ(h.progress(), nullptr);
    EXPECT_TRUE(h.app.fileWork().busy());  // until the work has stopped
    EXPECT_EQ(waited, 0);
    release.set_value();
    h.settle();
    EXPECT_FALSE(applied);
    EXPECT_EQ(waited, 1);
    EXPECT_NE(h.board(), before);  // the reset, run once the work ended
    EXPECT_FALSE(h.app.isCreating());
}
