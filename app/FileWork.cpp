#include "FileWork.h"

#include "DialogPresenter.h"

#include <QEvent>
#include <QProgressDialog>
#include <QWidget>

FileWork::FileWork(QWidget* window, DialogPresenter& dialogs) : window_(window), dialogs_(dialogs)
{
    progressDelay_.setSingleShot(true);
    connect(&progressDelay_, &QTimer::timeout, this, &FileWork::showProgress);
}

FileWork::~FileWork()
{
    if (task_)
        task_->cancel.cancel();
    if (thread_.joinable())
        thread_.join();
    closeProgress();
}

void FileWork::run(const QString& label, Job job)
{
    if (busy()) {
        waiting_.push_back([this, label, job = std::move(job)]() mutable { run(label, std::move(job)); });
        return;
    }
    auto task = std::make_shared<Task>();
    task->label = label;
    task_ = task;
    thread_ = std::thread([this, task, job = std::move(job)] {
        Outcome outcome;
        try {
            outcome = job(task->cancel);
        } catch (const std::bad_alloc&) {
            outcome = [this, label = task->label] {
                dialogs_.tell(window_, tr("There was not enough memory for this: %1").arg(label));
            };
        }
        {
            std::lock_guard lock(task->mutex);
            task->outcome = std::move(outcome);
        }
        // Nothing of ours rides on the queued call: the outcome is under the
        // task's mutex, where the thread sanitizer sees it handed over.
        QMetaObject::invokeMethod(this, "workEnded", Qt::QueuedConnection);
    });
    progressDelay_.start(kProgressDelayMs);
}

void FileWork::workEnded()
{
    if (const auto task = task_)  // the work in hand is the one that ended: there is one at a time
        ended(task);
}

void FileWork::ended(const std::shared_ptr<Task>& task)
{
    thread_.join();
    progressDelay_.stop();
    closeProgress();
    task_.reset();
    Outcome outcome;
    {
        std::lock_guard lock(task->mutex);
        outcome = std::move(task->outcome);
    }
    if (outcome && !task->cancel.cancelled())
        outcome();
    while (!busy() && !waiting_.empty()) {
        auto command = std::move(waiting_.front());
        waiting_.pop_front();
        command();
    }
}

void FileWork::whenIdle(std::function<void()> command)
{
    if (busy())
        waiting_.push_back(std::move(command));
    else
        command();
}

void FileWork::cancel()
{
    if (!task_)
        return;
    // Refused once a save has begun to put its file in place: it then ends
    // as a save, in a moment.
    task_->cancel.cancel();
    progressDelay_.stop();
    closeProgress();
}

void FileWork::showProgress()
{
    if (task_ && !progress_)
        progress_ = dialogs_.showProgress(window_, task_->label, [this] { cancel(); });
}

void FileWork::closeProgress()
{
    if (!progress_)
        return;
    QProgressDialog* progress = progress_;
    progress_.clear();
    QObject::disconnect(progress, &QProgressDialog::canceled, nullptr, nullptr);  // closing counts as Cancel
    progress->close();
}

void FileWork::hold(QWidget* widget)
{
    widget->installEventFilter(this);
}

bool FileWork::eventFilter(QObject* watched, QEvent* event)
{
    if (busy()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:  // a drag would draw on
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
