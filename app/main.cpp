#include "AppDelegate.h"
#include "Translations.h"

#include <QApplication>
#include <QStandardPaths>
#include <QMainWindow>
#include <QMessageBox>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int terminationPipe[2] = {-1, -1};

void onTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(terminationPipe[0], &byte, 1);
}

// A request to terminate (SIGTERM, SIGINT, SIGHUP) closes the window the way
// the Quit command does, on the main thread, so that nothing is lost.
void quitOnTermination(AppDelegate& delegate)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, terminationPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(terminationPipe[1], QSocketNotifier::Read, &delegate);
    QObject::connect(notifier, &QSocketNotifier::activated, &delegate, [&delegate] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(terminationPipe[1], &byte, 1);
        delegate.quit();
    });
    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    Translations::install(application);
    QApplication::setApplicationName(QStringLiteral("Game of Life"));
    QApplication::setApplicationVersion(QStringLiteral(GOL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(GOL_APP_ID));
    QApplication::setQuitOnLastWindowClosed(AppDelegate::applicationShouldTerminateAfterLastWindowClosed());

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    delegate.useSettings(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
                         QStringLiteral("/settings.ini"));
    quitOnTermination(delegate);
    delegate.window->show();
    // Files handed over by the desktop (the desktop entry passes them as arguments).
    const QStringList files = QApplication::arguments().mid(1);
    for (const QString& file : files)
        delegate.openFile(file);
    const int status = QApplication::exec();
    // Closing the window waits for the runs and shows what went wrong with
    // them; a quit that came some other way does it here, before the end.
    for (const QString& message : delegate.shutdown())
        QMessageBox::warning(nullptr, QCoreApplication::translate("AppDelegate", "Game of Life"), message);
    return status;
}
