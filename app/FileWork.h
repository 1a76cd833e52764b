#pragma once

#include "CancelFlag.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class DialogPresenter;
class QProgressDialog;
class QWidget;

// Runs the reading and writing of files on a thread of its own, one piece
// of work at a time, so that the window keeps drawing however long a file
// takes. When the work takes longer than half a second, a window-modal
// progress dialog with Cancel appears. A cancel leaves the board and the
// files exactly as they were (see CancelFlag): the work stops at its next
// check and what it found is thrown away. Otherwise what the work hands back
// is applied on the main thread.
//
// While work runs, the commands given meanwhile wait (whenIdle) and run once
// it has ended, each once, in the order given; work asked for meanwhile
// waits its turn the same way. The widgets put in hold() take no presses or
// keys meanwhile, as under the progress dialog.
class FileWork : public QObject {
    Q_OBJECT
public:
    // Applied on the main thread once the work has ended, unless cancelled.
    using Outcome = std::function<void()>;
    // Runs on the work's thread.
    using Job = std::function<Outcome(CancelFlag& cancel)>;

    static constexpr int kProgressDelayMs = 500;

    FileWork(QWidget* window, DialogPresenter& dialogs);
    ~FileWork() override;  // cancels the work in hand and waits for it

    // `label` is the progress dialog's text ("Opening “glider.golpattern”…").
    void run(const QString& label, Job job);
    // Runs `command` now, or after the work in hand and the commands before it.
    void whenIdle(std::function<void()> command);
    bool busy() const { return task_ != nullptr; }
    // What the progress dialog's Cancel does.
    void cancel();
    // Keeps presses and keys from `widget` while work runs.
    void hold(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void workEnded();

private:
    struct Task {
        QString label;
        CancelFlag cancel;
        std::mutex mutex;
        Outcome outcome;  // set by the work's thread, under the mutex
    };

    void ended(const std::shared_ptr<Task>& task);
    void showProgress();
    void closeProgress();

    QWidget* window_;
    DialogPresenter& dialogs_;
    std::shared_ptr<Task> task_;  // the work in hand
    std::thread thread_;
    QTimer progressDelay_;
    QPointer<QProgressDialog> progress_;
    std::deque<std::function<void()>> waiting_;
};
