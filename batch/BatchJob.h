#pragma once

#include <QCoreApplication>
#include "BatchOptions.h"

#include <cstdio>
#include <string>

// Carries out one `gameoflife-batch` invocation: makes or reads the board,
// runs the generations on the application's engine, records and writes what
// was asked, and prints the summary.
class BatchJob {
    Q_DECLARE_TR_FUNCTIONS(BatchJob)

public:
    enum ExitCode { Success = 0, FileError = 1, UsageError = 2 };

    BatchJob(BatchOptions options, std::FILE* out, std::FILE* err);
    int run();

private:
    void progress(std::int32_t done, double seconds);
    int outOfMemory(const std::string& why);

    BatchOptions options_;
    std::FILE* out_;
    std::FILE* err_;
    bool progressShown_ = false;
};
