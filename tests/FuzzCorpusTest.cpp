// Every file of the fuzzers' seed corpora is run through the readers as a
// regression test: each either opens or is refused with a message.

#include "FileHelpers.h"
#include "ImageFile.h"
#include "PatternFile.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(FuzzCorpus, EverySeedOpensOrIsRefused)
{
    for (const char* kind : {"pattern", "image"}) {
        const QDir folder(QStringLiteral(GOL_FUZZ_CORPUS "/") + QString::fromLatin1(kind));
        const QStringList names = folder.entryList(QDir::Files);
        EXPECT_GE(names.size(), 4) << kind;
        for (const QString& name : names) {
            const QByteArray bytes = files::readAll(folder.filePath(name));
            const auto size = static_cast<std::size_t>(bytes.size());
            const BoardLoad load = std::string(kind) == "image"
                                       ? ImageFile::decode(bytes.constData(), size, "seed.png")
                                       : PatternFile::parse(bytes.constData(), size, "seed.golpattern", {100, 100});
            EXPECT_NE(static_cast<bool>(load.board), !load.error.empty()) << name.toStdString();
        }
    }
}
