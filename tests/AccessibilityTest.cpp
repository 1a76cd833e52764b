// The window for people who use the keyboard, a screen reader or another
// language: names of every control, the board's description, the cell
// cursor, and the German texts.
#include "AppHarness.h"
#include "BoardOverlay.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStatusBar>

namespace {

QAccessibleInterface* accessible(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QString name(QObject* object)
{
    QAccessibleInterface* face = accessible(object);
    return face ? face->text(QAccessible::Name) : QString();
}

}  // namespace

TEST(Accessibility, EveryControlAndEveryMenuCommandHasAName)
{
    AppHarness h;
    QMainWindow* window = h.app.window;
    h.app.status().refresh();
    // The names a screen reader reads, for the controls whose name is not their own text.
    const struct {
        const char* object;
        QAccessible::Role role;
        QString name;
    } named[] = {
        {"theView", QAccessible::Graphic, QStringLiteral("Board")},
        {"iterationsTextfield", QAccessible::EditableText, QStringLiteral("Generations:")},
        {"indicator", QAccessible::ProgressBar, QStringLiteral("Running")},
        {"boardStatus", QAccessible::StaticText, h.app.status().text()},
        {"startButton", QAccessible::Button, QStringLiteral("Start")},
    };
    for (const auto& n : named) {
        auto* widget = window->findChild<QWidget*>(QLatin1String(n.object));
        ASSERT_NE(widget, nullptr) << n.object;
        ASSERT_NE(accessible(widget), nullptr) << n.object;
        EXPECT_EQ(accessible(widget)->role(), n.role) << n.object;
        EXPECT_EQ(name(widget), n.name) << n.object;
    }
    // The fields are named by their labels.
    for (const auto& [field, label] : {std::pair{"iterationsTextfield", "Generations:"}, {"speedBox", "Speed:"}}) {
        const auto labels = accessible(window->findChild<QWidget*>(QLatin1String(field)))->relations(QAccessible::Label);
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [label = label](const auto& relation) {
            return relation.first->text(QAccessible::Name) == QLatin1String(label);
        })) << field;
    }
    // Every other control the person can reach.
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->focusPolicy() != Qt::NoFocus && widget->isVisibleTo(window)) {
            EXPECT_FALSE(name(widget).isEmpty())
                << widget->metaObject()->className() << " " << widget->objectName().toStdString();
        }
    }
    // Every command in the menus, as the menu's own interface lists it.
    int commands = 0;
    for (QAction* top : window->menuBar()->actions()) {
        QMenu* menu = top->menu();
        ASSERT_NE(menu, nullptr);
        EXPECT_FALSE(name(menu).isEmpty()) << top->text().toStdString();
        QAccessibleInterface* face = accessible(menu);
        for (int i = 0; i < face->childCount(); ++i) {
            QAccessibleInterface* item = face->child(i);
            if (item->role() == QAccessible::Separator)
                continue;
            EXPECT_FALSE(item->text(QAccessible::Name).isEmpty()) << menu->title().toStdString() << " " << i;
            ++commands;
        }
    }
    EXPECT_GE(commands, 40);
}

// Arrows move the cursor (Shift eight cells), Return toggles the cell under
// it as one step Undo takes back; the description follows, and a zoomed
// board keeps the cursor in view.
TEST(KeyboardCursor, ArrowsMoveReturnTogglesAndUndoTakesItBackAtEveryZoom)
{
    for (const int zoomSteps : {0, 6}) {
        SCOPED_TRACE(zoomSteps);
        AppHarness h;
        VandrelGameOfLifeView* view = h.app.theView;
        h.trigger("actionEditPattern");
        for (int i = 0; i < zoomSteps; ++i)
            h.trigger("actionZoomIn");
        view->setFocus();
        AppHarness::pump();
        const auto before = h.board();
        ASSERT_NE(before, nullptr);
        const std::int64_t width = before->pixelsWide();
        const int rights = zoomSteps > 0 ? 24 : 3;  // far enough to leave the zoomed view
        for (int i = 0; i < rights; ++i)
            QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_Left);
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_Down);
        const Cell expected{std::min<std::int64_t>(8 * rights, width - 1) - 1, 9};
        EXPECT_EQ(view->cursorCell(), expected);
        const bool wasLive = before->row(expected.y)[expected.x] == CellBitmap::kLive;

        QTest::keyClick(view, Qt::Key_Return);
        AppHarness::pump();
        EXPECT_EQ(h.board()->row(expected.y)[expected.x] == CellBitmap::kLive, !wasLive);
        const QString description = accessible(view)->text(QAccessible::Description);
        EXPECT_TRUE(description.contains(QStringLiteral("cell %1, %2 under the cursor, %3")
                                             .arg(expected.x + 1)
                                             .arg(expected.y + 1)
                                             .arg(wasLive ? QStringLiteral("dead") : QStringLiteral("live"))))
            << description.toStdString();
        EXPECT_TRUE(description.contains(zoomSteps > 0 ? QStringLiteral("zoom") : QStringLiteral("whole board")));
        if (zoomSteps > 0) {
            const QRectF frame =
                BoardOverlay::pointsOf(view->viewport(), QRect(int(expected.x), int(expected.y), 1, 1), {});
            EXPECT_TRUE(QRectF(view->rect()).contains(frame)) << frame.x() << "," << frame.y();
        }

        h.trigger("actionUndo");
        AppHarness::pump();
        EXPECT_EQ(h.board()->row(expected.y)[expected.x] == CellBitmap::kLive, wasLive);
        for (std::int64_t y = 0; y < before->pixelsHigh(); ++y)
            ASSERT_EQ(std::memcmp(h.board()->row(y), before->row(y), std::size_t(width)), 0) << y;
    }
}

TEST(Translations, AGermanSessionGetsTheGermanTexts)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_NUMERIC"})
        environment.remove(QLatin1String(variable));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    // The help; a run's settling, time and rate, with decimal commas; none of them in English.
    const QString notEnglish = QStringLiteral("(?s)^(?!.*(Show this help|Settled|cells/s))");
    for (const auto& [line, german] :
         {std::pair{"--help", ".*Diese Hilfe anzeigen\\."},
          {"--random 8x8 --seed 7 -n 200 --until-settled",
           "Stabil bei Generation \\d+: .*\\d,\\d{3} s, \\d[\\d.]*(,\\d\\d Mio\\.|,\\d\\d Mrd\\.)? Zellen/s\n$"}}) {
        QProcess batch;
        batch.setProcessEnvironment(environment);
        batch.start(QStringLiteral(GOL_BINARY_DIR "/batch/gameoflife-batch"), QString::fromLatin1(line).split(u' '));
        ASSERT_TRUE(batch.waitForFinished(30000));
        const QString out = QString::fromUtf8(batch.readAllStandardOutput());
        EXPECT_TRUE(out.contains(QRegularExpression(notEnglish + QString::fromUtf8(german)))) << out.toStdString();
    }
}
