#pragma once

#include <QByteArray>

#include <cstdint>
#include <string>

class CancelFlag;

// A whole file read into memory with plain reads, a few megabytes at a time
// (never mapped: another program shortening the file meanwhile would bring
// the process down), so that a cancel is noticed as it goes. A gzip file is
// inflated as it is read, to at most the same bound.
class FileBytes {
public:
    // "" with the file's bytes in `bytes`, or why they cannot be had, as a
    // clause for a message: not a regular file, empty, larger than maxBytes,
    // a read error, not enough memory, cancelled.
    static std::string read(const std::string& path, std::int64_t maxBytes, const CancelFlag* cancel,
                            QByteArray& bytes);
};
