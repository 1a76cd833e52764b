#pragma once

#include <cstdint>
#include <string>

// The outcome of writing a board as a Life pattern (RLE or plaintext), whose
// cells are live or dead only: an error naming the file, or none, and how
// many gray cells were written as dead.
struct PatternSave {
    std::string error;           // empty on success
    std::int64_t grayCells = 0;  // cells neither live nor dead, written as dead

    explicit operator bool() const { return error.empty(); }
};
