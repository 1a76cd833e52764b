// Every file of the fuzzers' seed corpora is run through the readers as a
// regression test: each either opens or is refused with a message.

#include "ImageFile.h"
#include "PatternInterchange.h"
#include "PatternFile.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(FuzzCorpus, EverySeedOpensOrIsRefused)
{
    for (const std::string kind : {"pattern", "image", "interchange"}) {
        const QDir folder(QStringLiteral(GOL_FUZZ_CORPUS "/") + QString::fromStdString(kind));
        const QStringList names = folder.entryList(QDir::Files);
        EXPECT_GE(names.size(), 4) << kind;
        for (const QString& name : names) {
            const std::string path = folder.filePath(name).toStdString();
            const auto shown = PatternTarget::shown(100, 100);
            const BoardLoad load = kind == "image"         ? ImageFile::read(path)
                                   : kind == "interchange" ? PatternInterchange::read(path, shown)
                                                           : PatternFile::read(path, {100, 100});
            EXPECT_NE(static_cast<bool>(load.board), !load.error.empty()) << name.toStdString();
        }
    }
}
