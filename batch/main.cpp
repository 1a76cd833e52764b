// gameoflife-batch: runs, converts and records boards without a window.
#include "BatchJob.h"
#include "BatchOptions.h"
#include "Translations.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    Translations::install(application);
    QCoreApplication::setApplicationName(QStringLiteral("gameoflife-batch"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GOL_VERSION));

    const auto parsed = BatchOptions::parse(QCoreApplication::arguments());
    switch (parsed.action) {
    case BatchOptions::Parsed::Action::Help:
        std::fputs(qPrintable(BatchOptions::usage()), stdout);
        return BatchJob::Success;
    case BatchOptions::Parsed::Action::Version:
        std::printf("gameoflife-batch %s\n", GOL_VERSION);
        return BatchJob::Success;
    case BatchOptions::Parsed::Action::Error:
        std::fprintf(stderr, "gameoflife-batch: %s\n\n%s", qPrintable(parsed.error), qPrintable(BatchOptions::usage()));
        return BatchJob::UsageError;
    case BatchOptions::Parsed::Action::Run:
        break;
    }
    return BatchJob(parsed.options, stdout, stderr).run();
}
