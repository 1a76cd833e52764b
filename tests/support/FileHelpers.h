#pragma once

// Helpers for the file-format tests: whole-file reads and writes, and Python.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>

#include <string>

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

// What python3 running the program prints, or a line saying it failed.
inline std::string runPython(const char* program, const QStringList& arguments)
{
    QProcess python;
    python.start(QStringLiteral("python3"), QStringList{QStringLiteral("-c"), QString::fromUtf8(program)} + arguments);
    if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
        return "python3 failed: " + python.readAllStandardError().toStdString();
    return python.readAllStandardOutput().toStdString();
}

}  // namespace files
