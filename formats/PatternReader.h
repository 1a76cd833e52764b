#pragma once

#include "BoardLoad.h"
#include "PatternPlacement.h"

#include <string>
#include <string_view>

class CancelFlag;

// The one entry through which a pattern file is read, whatever its kind:
// the reader is chosen by the file's content, never its name. gzip is
// inflated first (FileBytes); the application's own files (XML or binary
// property lists) go to PatternFile, everything else to the interchange
// readers (PatternInterchange: RLE, plaintext, Life 1.05 and 1.06,
// macrocell). The types and their extensions are in PatternTypes.
class PatternReader {
public:
    // Reads the file at path with plain reads; an interchange pattern is put
    // on a board for `target`. A cancel through `cancel` ends the reading
    // with a message.
    static BoardLoad read(const std::string& path, PatternTarget target, const CancelFlag* cancel = nullptr);

    // Reads a whole file's bytes (already inflated); name is used in messages.
    static BoardLoad parse(std::string_view bytes, const std::string& name, PatternTarget target);

    // True when the bytes begin as a property list does (XML or binary).
    static bool isPropertyList(std::string_view start);
};
