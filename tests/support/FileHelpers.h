#pragma once

// Whole-file reads and writes, folder listings and a disk that fills up, for
// the file-format tests.

#include <QFile>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include <sys/resource.h>

namespace files {

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline std::string readText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in a folder: what a write left behind.
inline std::set<std::string> entries(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Does `write` with files limited to `bytes`: to the writer, a disk that fills up.
template <class Write>
auto onAFullDisk(rlim_t bytes, Write write)
{
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limited{bytes, old.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not the end of the tests
    ::setrlimit(RLIMIT_FSIZE, &limited);
    auto result = write();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return result;
}

}  // namespace files
