#include "AppDelegate.h"

#include "CellBitmap.h"
#include "EditingWindowState.h"
#include "GliderGun.h"
#include "IntegerText.h"
#include "KeyboardShortcuts.h"
#include "ManualWindow.h"
#include "RecentFiles.h"
#include "VandrelOnlyIntegerFormatter.h"
#include "WorkbenchMenus.h"
#include "ui_MainWindow.h"
#include "ui_NewPatternSheet.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLocale>
#include <QFileOpenEvent>
#include <QImageReader>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>

#include <utility>


AppDelegate::AppDelegate(QObject* parent)
    : QObject(parent), ui_(std::make_unique<Ui::MainWindow>()), sheetUi_(std::make_unique<Ui::NewPatternSheet>()),
      ownedWindow_(std::make_unique<QMainWindow>())
{
    window = ownedWindow_.get();
    ui_->setupUi(window);
    theView = ui_->theView;
    indicator = ui_->indicator;
    iterationsTextfield = ui_->iterationsTextfield;

    nnewPatternSheet = new QDialog(window);
    sheetUi_->setupUi(nnewPatternSheet);
    nnewPatternSheet->setWindowModality(Qt::WindowModal);
    nnewPatternPixelsWideTextField = sheetUi_->nnewPatternPixelsWideTextField;
    nnewPatternPixelsHighTextField = sheetUi_->nnewPatternPixelsHighTextField;
    for (QLineEdit* field : {nnewPatternPixelsWideTextField, nnewPatternPixelsHighTextField, iterationsTextfield})
        field->setValidator(new VandrelOnlyIntegerFormatter(field));
    // Ten characters hold every count; a longer text, pasted or dropped, is cut there.
    iterationsTextfield->setMaxLength(10);

    indicator->setVisible(false);
    // The window opens with the board at 480 by 360 points: a board of 120 by 90 cells.
    theView->setFixedSize(480, 360);
    window->adjustSize();
    theView->setMinimumSize(40, 40);
    theView->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    ui_->stopButton->setShortcut(QKeySequence());
    ui_->actionRedo->setShortcuts({ui_->actionRedo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    runs_ = std::make_unique<RunControl>(window, theView, indicator, dialogs_);
    files_ = std::make_unique<FileCommands>(
        window, theView, dialogs_, [this] { stopGameOfLife(); },
        [this](std::function<void()> replace) { replaceBoard(std::move(replace)); });
    clipboard_ = std::make_unique<ClipboardCommands>(window, theView, dialogs_, *files_);
    selection_ = new SelectionCommands(window, theView, dialogs_, *clipboard_);
    theView->setBeforeEdit([this] { editPattern(); });
    status_ = std::make_unique<StatusPresenter>(ui_->statusbar, theView);
    rules_ = new RuleCommands(window, ui_->menuRun, theView, dialogs_);
    time_ = new TimeCommands(window, ui_->menuRun, ui_->actionStep, theView, *runs_, dialogs_);
    graph_ = new PopulationGraph(window, ui_->menuView, theView, dialogs_, fileWork());
    wireCommands();
}

AppDelegate::~AppDelegate()
{
    files_.reset();         // file work in hand is cancelled and waited for
    runs_->shutdown();      // no run is left to call the view or the run control
    ownedWindow_.reset();
    runs_.reset();          // after the window: a message about a run may close with it
}

QStringList AppDelegate::shutdown()
{
    return runs_->shutdown();
}

void AppDelegate::wireCommands()
{
    // A command given while a file is read or written waits until it is done.
    auto on = [this](auto* sender, auto signal, void (AppDelegate::*command)()) {
        connect(sender, signal, this, [this, command] { fileWork().whenIdle([this, command] { (this->*command)(); }); });
    };
    on(ui_->startButton, &QPushButton::clicked, &AppDelegate::startGameOfLife);
    on(ui_->stopButton, &QPushButton::clicked, &AppDelegate::stopGameOfLife);
    on(ui_->resetButton, &QPushButton::clicked, &AppDelegate::reset);
    on(ui_->actionStart, &QAction::triggered, &AppDelegate::startGameOfLife);
    on(ui_->actionStep, &QAction::triggered, &AppDelegate::stepGameOfLife);
    on(time_->stepBackAction(), &QAction::triggered, &AppDelegate::stepBack);
    on(time_->backToStartAction(), &QAction::triggered, &AppDelegate::backToStart);
    on(ui_->actionStop, &QAction::triggered, &AppDelegate::stopOrRemoveSelection);
    on(ui_->actionReset, &QAction::triggered, &AppDelegate::reset);
    on(ui_->actionNewPattern, &QAction::triggered, &AppDelegate::createNewPattern);
    on(ui_->actionEditPattern, &QAction::triggered, &AppDelegate::editPattern);
    on(ui_->actionGliderGun, &QAction::triggered, &AppDelegate::showGliderGun);
    on(ui_->actionOpenPattern, &QAction::triggered, &AppDelegate::openPattern);
    on(ui_->actionSavePattern, &QAction::triggered, &AppDelegate::savePattern);
    on(ui_->actionOpenImage, &QAction::triggered, &AppDelegate::openImage);
    on(ui_->actionSaveImage, &QAction::triggered, &AppDelegate::saveImage);
    on(ui_->actionRecordGif, &QAction::triggered, &AppDelegate::startGameOfLifeAndMakeGif);
    on(ui_->actionImportPattern, &QAction::triggered, &AppDelegate::importPattern);
    on(ui_->actionExportPattern, &QAction::triggered, &AppDelegate::exportPattern);
    on(ui_->actionPatternInfo, &QAction::triggered, &AppDelegate::patternInfo);
    on(ui_->actionCopy, &QAction::triggered, &AppDelegate::copy);
    on(ui_->actionPaste, &QAction::triggered, &AppDelegate::pasteIntoPlace);
    on(ui_->actionQuit, &QAction::triggered, &AppDelegate::quit);
    on(ui_->actionZoomIn, &QAction::triggered, &AppDelegate::zoomIn);
    on(ui_->actionZoomOut, &QAction::triggered, &AppDelegate::zoomOut);
    on(ui_->actionZoomToFit, &QAction::triggered, &AppDelegate::zoomToFit);
    on(ui_->actionFitPattern, &QAction::triggered, &AppDelegate::fitPattern);
    on(ui_->actionUndo, &QAction::triggered, &AppDelegate::undo);
    on(ui_->actionRedo, &QAction::triggered, &AppDelegate::redo);
    on(rules_->action(), &QAction::triggered, &AppDelegate::chooseRule);
    theView->history().enable(ui_->actionUndo, ui_->actionRedo);
    wireWorkbench();
    on(sheetUi_->okButton, &QPushButton::clicked, &AppDelegate::newPatternOK);
    on(sheetUi_->cancelButton, &QPushButton::clicked, &AppDelegate::newPatternCancel);
    connect(iterationsTextfield, &QLineEdit::textChanged, this, &AppDelegate::controlTextDidChange);
    connect(iterationsTextfield, &QLineEdit::returnPressed, this, &AppDelegate::setIterations);
    // A new board sets the count back; the field shows the count that runs.
    connect(theView, &VandrelGameOfLifeView::iterationsReset, this,
            [this](std::int32_t count) { iterationsTextfield->setText(QString::number(count)); });
    connect(ui_->speedBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { theView->setSpeed(RunControl::speedAt(index, window)); });
    connect(ui_->actionKeyboardShortcuts, &QAction::triggered, this, [this] { KeyboardShortcuts::show(window); });
    connect(ui_->actionManual, &QAction::triggered, this, [this] { ManualWindow::show(window); });
    connect(ui_->actionAbout, &QAction::triggered, this, [this] {
        QMessageBox::about(window, tr("About Game of Life"),
                           tr("<b>Game of Life</b> %1<p>Conway's Game of Life on a grayscale board: "
                              "black cells live, white cells are dead.</p>")
                               .arg(QCoreApplication::applicationVersion()));
    });
}

void AppDelegate::wireWorkbench()
{
    WorkbenchMenus::Hooks hooks{
        [this](std::function<void()> command) { fileWork().whenIdle(std::move(command)); },
        [this] { paste(); },
        [this](const QString& path) {
            if (!QImageReader::imageFormat(path).isEmpty())
                files_->openImageAt(path);
            else
                openFile(path);
        },
        [this](const QString& text) {
            clipboard_->pasteText(text, [this] { return endCreatingAndContinueWith(PastePattern); });
        }};
    workbench_ = new WorkbenchMenus(*ui_, window, theView, *selection_, std::move(hooks), this);
    recent_ = workbench_->recent();
    connect(files_.get(), &FileCommands::opened, recent_, &RecentFiles::add);
}

void AppDelegate::useSettings(const QString& file)
{
    delete settings_;
    settings_ = new AppSettings(file,
                                {window, ui_->speedBox, iterationsTextfield, theView,
                                 {ui_->actionPasteCopy, ui_->actionPasteOr, ui_->actionPasteXor}, recent_, &dialogs_},
                                this);
}

// Esc drops a floating paste, else stops a run; when nothing runs, it removes the selection.
void AppDelegate::stopOrRemoveSelection()
{
    if (theView->isPasting())
        theView->cancelPaste();
    else if (!theView->isRunning() && !theView->selection().isEmpty())
        theView->removeSelection();
    else
        stopGameOfLife();
}

void AppDelegate::applicationDidFinishLaunching()
{
    // The controller hears the window's close and resize requests and the
    // files the desktop hands over (sent to the application): a filter on
    // the application sees each of them once.
    qApp->installEventFilter(this);
    // The iteration field is a plain number field: once editing ends, its
    // text shows the number the view runs.
    connect(iterationsTextfield, &QLineEdit::editingFinished, this, [this] {
        if (!iterationsTextfield->text().isEmpty())
            iterationsTextfield->setText(QString::number(IntegerText::intValue(iterationsTextfield->text())));
    });
    theView->setSpeed(RunControl::speedAt(ui_->speedBox->currentIndex(), window));
    // What a screen reader calls an open menu: its title, without the accelerator.
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        if (menu->windowTitle().isEmpty())
            menu->setWindowTitle(menu->menuAction()->iconText());
    }
    isCreating_ = false;
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window) {
        if (event->type() == QEvent::Close && !windowClosing()) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::Resize)
            windowDidResize();
    } else if (watched == qApp && event->type() == QEvent::FileOpen) {
        openFile(static_cast<QFileOpenEvent*>(event)->file());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// True: the window closes now.
bool AppDelegate::windowClosing()
{
    if (fileWork().busy()) {  // closes once the file is done
        fileWork().whenIdle([this] { window->close(); });
        return false;
    }
    if (!std::exchange(closeAllowed_, false) && !windowShouldClose())
        return false;
    stopGameOfLife();
    if (runs_->idle())
        return true;
    // Once a recording in progress is written and any message about a run
    // read, the window closes (asking again if a pattern was changed
    // meanwhile).
    runs_->endAll([this] { window->close(); });
    return false;
}

// ---------------------------------------------------------------- runs

void AppDelegate::startGameOfLife()
{
    if (!endCreatingAndContinueWith(StartRun))
        return;
    runs_->start([this](RunIndicators indicators) { return gameOfLife(std::move(indicators)); });
}

void AppDelegate::stepGameOfLife()
{
    if (!endCreatingAndContinueWith(StepRun))
        return;
    runs_->start([this](RunIndicators indicators) { return gameOfLife(std::move(indicators)); }, 1);
}

bool AppDelegate::gameOfLife(RunIndicators indicators)
{
    return theView->startGameOfLifeAndWriteToFile(false, {}, std::move(indicators));
}

void AppDelegate::stopGameOfLife()
{
    runs_->stop();
}

void AppDelegate::reset()
{
    if (!endCreatingAndContinueWith(ResetBoard))
        return;
    stopGameOfLife();
    theView->reset();
    files_->forgetPatternInfo();
}

void AppDelegate::setIterations()
{
    theView->setIterations(IntegerText::intValue(iterationsTextfield->text()));
}

void AppDelegate::controlTextDidChange()
{
    setIterations();
}

void AppDelegate::startGameOfLifeAndMakeGif()
{
    if (!endCreatingAndContinueWith(RecordGif))
        return;
    stopGameOfLife();
    runs_->showIndicator();
    dialogs_.showFilePanel(window, FileCommands::gifPanel(), [this](std::optional<QString> path) {
        if (!path) {
            if (!runs_->going())
                indicator->setVisible(false);
            return;
        }
        gifDestination_ = *path;
        runs_->startRecording([this, file = gifDestination_.toStdString()](RunIndicators indicators) {
            return gameOfLifeGif(std::move(indicators), file);
        });
    });
}

bool AppDelegate::gameOfLifeGif(RunIndicators indicators, const std::string& file)
{
    return theView->startGameOfLifeAndWriteToFile(true, file, std::move(indicators));
}

// ---------------------------------------------------------------- pattern editing

void AppDelegate::createNewPattern()
{
    if (!endCreatingAndContinueWith(NewPattern))
        return;
    nnewPatternSheet->open();
}

void AppDelegate::newPatternOK()
{
    const std::int32_t width = IntegerText::intValue(nnewPatternPixelsWideTextField->text());
    const std::int32_t height = IntegerText::intValue(nnewPatternPixelsHighTextField->text());
    if (width >= 1 && height >= 1 && !CellBitmap::sizeFits(width, height)) {
        dialogs_.tell(window, tr("A pattern of %1 by %2 cells is too large.").arg(width).arg(height),
                      tr("A board holds at most %1 cells in all, 16384 by 16384 for example.")
                          .arg(QLocale().toString(qlonglong(CellBitmap::kMaxCells))));
        return;
    }
    stopGameOfLife();  // presses never race with a run
    isCreating_ = true;
    EditingWindowState::apply(window);
    theView->prepareCreatingWithPixelsWide(width, height);
    files_->forgetPatternInfo();
    nnewPatternPixelsHighTextField->setText(QString());
    nnewPatternPixelsWideTextField->setText(QString());
    nnewPatternPixelsWideTextField->setFocus();
    nnewPatternSheet->accept();
}

void AppDelegate::newPatternCancel()
{
    nnewPatternSheet->reject();
}

void AppDelegate::editPattern()
{
    stopGameOfLife();
    isCreating_ = true;
    EditingWindowState::apply(window);
    theView->startEditing();
}

bool AppDelegate::windowShouldClose()
{
    return endCreatingAndContinueWith(CloseWindow);
}

void AppDelegate::quit()
{
    window->close();  // through the guard, like the close button
}

// ---------------------------------------------------------------- the guard

bool AppDelegate::endCreatingAndContinueWith(int action)
{
    if (questionPending_)
        return false;  // one question at a time; this command is dropped
    if (isCreating_ && theView->isCreatingAndSomethingChanged()) {
        questionPending_ = true;
        dialogs_.askToSave(window, [this, action](SaveAnswer answer) { answerQuestion(answer, action); });
        return false;
    }
    EditingWindowState::restore(window);
    isCreating_ = false;
    theView->endCreating();
    return true;
}

void AppDelegate::answerQuestion(SaveAnswer answer, int action)
{
    switch (answer) {
    case SaveAnswer::Save:  // a dismissed panel, like Cancel, keeps the pattern
        files_->savePattern(
            [this, action] {
                isCreating_ = false;
                theView->endCreating();
                continueWith(action);
            },
            [this] { questionPending_ = false; });
        return;
    case SaveAnswer::DontSave:
        questionPending_ = false;
        isCreating_ = false;
        theView->endCreating();
        continueWith(action);
        return;
    case SaveAnswer::Cancel:
    default:  // an answer the question does not have keeps the pattern, as Cancel does
        questionPending_ = false;
        pendingReplace_ = {};
        return;
    }
}

void AppDelegate::continueWith(int action)
{
    switch (action) {
    case CloseWindow:
        closeAllowed_ = true;
        window->close();
        break;
    case StartRun: startGameOfLife(); break;
    case StepRun: stepGameOfLife(); break;
    case StepBack: stepBack(); break;
    case BackToStart: backToStart(); break;
    case RecordGif: startGameOfLifeAndMakeGif(); break;
    case ResetBoard: reset(); break;
    case NewPattern: createNewPattern(); break;
    case GliderGunPreset: showGliderGun(); break;
    case ImportPattern: importPattern(); break;
    case PastePattern: paste(); break;
    case ReplaceBoard:
        if (!endCreatingAndContinueWith(ReplaceBoard))
            break;
        if (auto replace = std::exchange(pendingReplace_, {}))
            replace();
        break;
    default: break;  // SavePatternDone and unknown values: nothing
    }
}

// ---------------------------------------------------------------- boards from presets and files

void AppDelegate::showGliderGun()
{
    if (!endCreatingAndContinueWith(GliderGunPreset))
        return;
    auto board = GliderGun::make(theView->width(), theView->height());
    if (board && theView->initWithBitmap(*board, LifeLikeRule::life()))  // a Life pattern
        files_->forgetPatternInfo();
}

void AppDelegate::replaceBoard(std::function<void()> replace)
{
    pendingReplace_ = std::move(replace);
    continueWith(ReplaceBoard);
}

void AppDelegate::savePattern()
{
    files_->savePattern([this] {
        isCreating_ = false;
        endCreatingAndContinueWith(SavePatternDone);
    });
}
