#pragma once

#include <QFileInfo>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

// The wording of what the file formats say to the person when a file cannot
// be read or written: always naming the file, in curly quotes.
class FileMessage {
public:
    // The file's name without its folder (the whole path when it has no name).
    static std::string fileName(const std::string& path)
    {
        const std::string name = QFileInfo(QString::fromStdString(path)).fileName().toStdString();
        return name.empty() ? path : name;
    }

    static std::string quoted(const std::string& fileName) { return "\u201c" + printable(fileName) + "\u201d"; }

    // Text quoted from a file or a name as it can be shown in a window or on
    // a terminal: control characters (C0, DEL, C1) written as "\x1B", so that
    // no escape sequence, bell or carriage return from a file reaches either.
    static std::string printable(std::string_view text);

    // "“x.golpattern” cannot be opened as a pattern: <reason>."
    static std::string cannotOpen(const std::string& fileName, const char* asWhat, const std::string& reason)
    {
        return quoted(fileName) + " cannot be opened as " + asWhat + ": " + printable(reason) + ".";
    }

    // "“x.rle” cannot be opened. <sentence>": for a file that is whole but
    // holds what Game of Life does not run.
    static std::string refused(const std::string& fileName, const std::string& sentence)
    {
        return quoted(fileName) + " cannot be opened. " + printable(sentence);
    }

    // "3 gray cells were written to “x.rle” as dead cells."
    static std::string grayWrittenAsDead(const std::string& path, std::int64_t count)
    {
        return std::to_string(count) + (count == 1 ? " gray cell was" : " gray cells were") + " written to " +
               quoted(fileName(path)) + " as dead cells.";
    }

    // "“x.png” could not be saved: <reason>."
    static std::string couldNotSave(const std::string& path, const QString& reason)
    {
        return quoted(fileName(path)) + " could not be saved: " + reason.toStdString() + ".";
    }
};
