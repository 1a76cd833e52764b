#pragma once

// Helpers for the file-format tests: scratch folders, whole-file reads and
// writes, and running Python on a file.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace files {

inline std::string pathIn(const QTemporaryDir& dir, const char* name)
{
    return dir.filePath(QString::fromUtf8(name)).toStdString();
}

inline QByteArray readAll(const std::string& path)
{
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline bool writeAll(const std::string& path, const QByteArray& bytes)
{
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline std::string shellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

// Runs python3 with the given program and arguments; returns what it
// printed on standard output, and its exit status in `status`.
inline std::string runPython(const std::string& program, const std::string& args, int& status)
{
    const std::string command = "python3 -c " + shellQuote(program) + " " + args;
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        status = -1;
        return out;
    }
    std::array<char, 4096> buf{};
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0)
        out.append(buf.data(), n);
    status = ::pclose(pipe);
    return out;
}

// CRC-32 as PNG chunks use it.
inline std::uint32_t crc32(const unsigned char* p, std::size_t n, std::uint32_t crc = 0)
{
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline void appendBE32(QByteArray& out, std::uint32_t v)
{
    out.append(static_cast<char>(v >> 24));
    out.append(static_cast<char>(v >> 16));
    out.append(static_cast<char>(v >> 8));
    out.append(static_cast<char>(v));
}

inline void appendChunk(QByteArray& out, const char* type, const QByteArray& body)
{
    appendBE32(out, static_cast<std::uint32_t>(body.size()));
    QByteArray typed(type, 4);
    typed += body;
    out += typed;
    appendBE32(out, crc32(reinterpret_cast<const unsigned char*>(typed.constData()),
                          static_cast<std::size_t>(typed.size())));
}

// The start of a PNG file: signature and a header chunk announcing an 8-bit
// gray image of the given size, followed by a token data chunk.
inline QByteArray pngHeaderOnly(std::uint32_t width, std::uint32_t height)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr;
    appendBE32(ihdr, width);
    appendBE32(ihdr, height);
    ihdr.append(char(8));  // bit depth
    ihdr.append(char(0));  // gray
    ihdr.append(char(0));
    ihdr.append(char(0));
    ihdr.append(char(0));
    appendChunk(png, "IHDR", ihdr);
    appendChunk(png, "IDAT", QByteArray(16, '\0'));
    appendChunk(png, "IEND", QByteArray());
    return png;
}

}  // namespace files
