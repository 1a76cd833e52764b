#pragma once

// Drives the real controller and window offscreen: waits for runs, and
// catches every dialog the controller shows so that a test can answer it.

#include "AppDelegate.h"
#include "CellBitmap.h"
#include "FileWork.h"
#include "VandrelGameOfLifeView.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <memory>
#include <vector>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

class AppHarness {
public:
    AppHarness()
    {
        app.applicationDidFinishLaunching();
        app.dialogs().presented = [this](QDialog* dialog) {
            shown.emplace_back(dialog);
            if (auto* box = qobject_cast<QMessageBox*>(dialog))
                told << box->text();
            // Once its last dialog has gone the window is in front again, as
            // a window manager makes it (the offscreen platform leaves no
            // window active). Else a progress dialog, which shows only when
            // file work takes long (a busy machine), would take the keys from
            // the window for good.
            QObject::connect(dialog, &QDialog::finished, app.window, [this] {
                if (!showing<QDialog>() && app.window->isVisible())
                    app.window->activateWindow();
            });
        };
        app.window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(app.window));
        // The pointer comes over the board (Qt drops a move to where it already is).
        QTest::mouseMove(app.theView, {2, 2});
        QTest::mouseMove(app.theView, {1, 1});
        pump();
    }

    // Processes events until `done` holds or the time limit passes.
    static bool waitUntil(const std::function<bool()>& done) { return QTest::qWaitFor(done, 20000); }

    static void pump(int ms = 20) { QTest::qWait(ms); }

    // Every run started has ended and its end has reached the controller.
    bool runEnds()
    {
        return waitUntil([this] { return app.runs().settled() && !app.theView->isRunning(); });
    }
    std::uint64_t generation() const { return app.theView->life().snapshot().generation; }

    // Waits until the file being read or written is done with, and its
    // outcome applied.
    void settle()
    {
        EXPECT_TRUE(waitUntil([this] { return !app.fileWork().busy(); }));
        pump();
    }

    std::shared_ptr<const CellBitmap> board() const { return app.theView->getBitmap(); }

    // A command as the menus and keys give it: through its action.
    void trigger(const char* action)
    {
        auto* found = app.window->findChild<QAction*>(QString::fromLatin1(action));
        ASSERT_NE(found, nullptr) << action;
        found->trigger();
    }

    // A drag over the board with the left button, from the first point through the rest, keys `held`.
    void drag(const std::vector<QPoint>& points, Qt::KeyboardModifiers held = {})
    {
        QTest::mouseMove(app.theView, points.front());
        QTest::mousePress(app.theView, Qt::LeftButton, held, points.front());
        for (const QPoint& at : points)
            QTest::mouseMove(app.theView, at);
        QTest::mouseRelease(app.theView, Qt::LeftButton, held, points.back());
    }

    QDialog* lastDialog() { return shown.empty() ? nullptr : shown.back().data(); }

    QMessageBox* question()
    {
        auto* box = qobject_cast<QMessageBox*>(lastDialog());
        return box && box->isVisible() ? box : nullptr;
    }

    void answer(const char* buttonName)
    {
        QMessageBox* box = question();
        ASSERT_NE(box, nullptr);
        auto* button = box->findChild<QPushButton*>(buttonName);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        pump();
    }

    // The latest of the given kind of dialog that is still on screen.
    template <class Dialog>
    Dialog* showing()
    {
        for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
            auto* dialog = qobject_cast<Dialog*>(it->data());
            if (dialog && dialog->isVisible())
                return dialog;
        }
        return nullptr;
    }

    QFileDialog* panel() { return showing<QFileDialog>(); }
    QProgressDialog* progress() { return showing<QProgressDialog>(); }

    // As a person does: go to the folder, type the name, press the button;
    // then waits for the file work that follows. `beforeAccept` runs just
    // before the button is pressed.
    void choose(const QString& path, const std::function<void()>& beforeAccept = {})
    {
        QFileDialog* dialog = panel();
        ASSERT_NE(dialog, nullptr);
        const QFileInfo info(path);
        dialog->setDirectory(info.absolutePath());
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(info.fileName());
        if (beforeAccept)
            beforeAccept();
        QMetaObject::invokeMethod(dialog, "accept");
        settle();
    }

    // Chooses `name` in a folder that is gone by the time the panel closes,
    // so that nothing can be written there.
    void chooseInVanishingFolder(const QTemporaryDir& dir, const QString& name)
    {
        const QString folder = dir.filePath(QStringLiteral("vanishing"));
        ASSERT_TRUE(QDir().mkdir(folder));
        choose(folder + QLatin1Char('/') + name, [&] { QDir(folder).removeRecursively(); });
    }

    void dismissPanel()
    {
        QFileDialog* dialog = panel();
        ASSERT_NE(dialog, nullptr);
        QMetaObject::invokeMethod(dialog, "reject");
        pump();
    }

    // Fills the new-pattern sheet's fields (when a width is given); what they say, "W x H".
    QString sheet(const std::string& wide = {}, const std::string& high = {})
    {
        if (!wide.empty()) {
            app.nnewPatternPixelsWideTextField->setText(QString::fromStdString(wide));
            app.nnewPatternPixelsHighTextField->setText(QString::fromStdString(high));
        }
        return app.nnewPatternPixelsWideTextField->text() + QStringLiteral(" x ") +
               app.nnewPatternPixelsHighTextField->text();
    }

    bool indicatorShown() const { return app.indicator->isVisible(); }

    // What the status bar says about the board, once it says `text` (or the
    // time limit has passed).
    QString statusWhen(const QString& text)
    {
        waitUntil([&] { return app.status().text() == text; });
        return app.status().text();
    }
    // The status bar's words for a board of `columns` by `rows` cells.
    static QString statusOf(std::uint64_t generation, std::int64_t population, std::int64_t columns = 120,
                          std::int64_t rows = 90, const QString& zoom = QStringLiteral("Whole board"),
                          const QString& rule = QStringLiteral("B3/S23"))
    {
        const QLocale locale;
        return QStringLiteral("Generation %1 \u00b7 Population %2 \u00b7 %3 \u00d7 %4 cells \u00b7 %5 \u00b7 %6")
            .arg(locale.toString(qulonglong(generation)), locale.toString(qlonglong(population)),
                 locale.toString(qlonglong(columns)), locale.toString(qlonglong(rows)), rule, zoom);
    }

    AppDelegate app;
    std::vector<QPointer<QDialog>> shown;
    QStringList told;  // the text of every message box shown, in order
};
