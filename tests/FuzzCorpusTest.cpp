// Every file of the fuzzers' seed corpora is run through the readers as a
// regression test: each either opens or is refused with a message.

#include "ImageFile.h"
#include "PatternFile.h"

#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

namespace {

std::vector<QString> corpus(const char* kind)
{
    std::vector<QString> paths;
    QDirIterator it(QString(GOL_FUZZ_CORPUS) + "/" + kind, QDir::Files);
    while (it.hasNext())
        paths.push_back(it.next());
    return paths;
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

}  // namespace

TEST(FuzzCorpus, PatternFilesOpenOrAreRefused)
{
    const auto paths = corpus("pattern");
    EXPECT_GE(paths.size(), 5u);
    for (const QString& path : paths) {
        const QByteArray bytes = contents(path);
        const BoardLoad load = PatternFile::parse(bytes.constData(), static_cast<std::size_t>(bytes.size()),
                                                  "seed.golpattern", {100, 100});
        EXPECT_NE(static_cast<bool>(load.board), !load.error.empty()) << path.toStdString();
    }
}

TEST(FuzzCorpus, ImagesOpenOrAreRefused)
{
    const auto paths = corpus("image");
    EXPECT_GE(paths.size(), 4u);
    for (const QString& path : paths) {
        const QByteArray bytes = contents(path);
        const BoardLoad load = ImageFile::decode(bytes.constData(), static_cast<std::size_t>(bytes.size()), "seed.png");
        EXPECT_NE(static_cast<bool>(load.board), !load.error.empty()) << path.toStdString();
    }
}
