#include "PatternTypes.h"

#include <QCoreApplication>
#include <QString>

#include <array>
#include <string_view>

namespace {

using F = PatternType::Format;

// RLE first: the commonest, and the one Export adds when a name has none.
constexpr std::array kTypes{
    PatternType{"rle", "RLE", F::Rle, false, true},
    PatternType{"cells", QT_TRANSLATE_NOOP("PatternTypes", "Plaintext"), F::Plaintext, false, true},
    PatternType{"lif", "Life 1.06", F::Life, false, true},
    PatternType{"rle.gz", QT_TRANSLATE_NOOP("PatternTypes", "RLE, compressed"), F::Rle, true, true},
    PatternType{"life", "Life 1.06", F::Life, false, false},
    PatternType{"mc", "Macrocell", F::Macrocell, false, false},
    PatternType{"mc.gz", QT_TRANSLATE_NOOP("PatternTypes", "Macrocell, compressed"), F::Macrocell, true, false},
    PatternType{"golpattern", QT_TRANSLATE_NOOP("PatternTypes", "Game of Life pattern"), F::Golpattern, false, false},
};

}  // namespace

std::span<const PatternType> PatternTypes::all()
{
    return kTypes;
}

const PatternType* PatternTypes::ofPath(const std::string& path)
{
    const QString name = QString::fromStdString(path).section(QLatin1Char('/'), -1);
    const PatternType* found = nullptr;
    for (const PatternType& type : kTypes) {
        const QString dotted = QLatin1Char('.') + QLatin1String(type.extension);
        const bool longer = !found || std::string_view(type.extension).size() > std::string_view(found->extension).size();
        if (name.size() > dotted.size() && name.endsWith(dotted, Qt::CaseInsensitive) && longer)
            found = &type;
    }
    return found;
}

QStringList PatternTypes::imported()
{
    QStringList extensions;
    for (const PatternType& type : kTypes) {
        if (type.format != F::Golpattern)
            extensions << QLatin1String(type.extension);
    }
    return extensions;
}

QStringList PatternTypes::exported()
{
    QStringList extensions;
    for (const PatternType& type : kTypes) {
        if (type.exported)
            extensions << QLatin1String(type.extension);
    }
    return extensions;
}

QStringList PatternTypes::exportedNames()
{
    QStringList names;
    for (const PatternType& type : kTypes) {
        if (type.exported)
            names << QCoreApplication::translate("PatternTypes", type.name);
    }
    return names;
}
