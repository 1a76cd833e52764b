#pragma once

#include <QStringList>

#include <span>
#include <string>

// Every kind of pattern file Game of Life reads or writes, in one table: the
// panels' types, the files the desktop hands over, the batch tool's inputs
// and outputs and the writer chosen for a name all come from here. Which
// reader reads a file is decided by its content (PatternReader); the
// extension only chooses the writer.
struct PatternType {
    enum class Format { Golpattern, Rle, Plaintext, Life, Macrocell };
    const char* extension;  // without the dot; "rle.gz" is one extension
    const char* name;       // in the Export panel
    Format format;
    bool gzip;      // written gzip-compressed
    bool exported;  // offered by Export
};

class PatternTypes {
public:
    static std::span<const PatternType> all();
    // The type whose extension the path ends in (the longest, in any case);
    // null for any other name.
    static const PatternType* ofPath(const std::string& path);
    // The extensions Import lists (every type but the application's own),
    // and those Export offers, with their names.
    static QStringList imported();
    static QStringList exported();
    static QStringList exportedNames();
};
