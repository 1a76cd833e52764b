#include "PatternLibrary.h"

#include <QFile>
#include <QMenu>

namespace {

// Group and pattern names are marked for translation here, translated where shown.
const PatternLibrary::Entry kEntries[] = {
    {QT_TRANSLATE_NOOP("PatternLibrary", "Still Lifes"), QT_TRANSLATE_NOOP("PatternLibrary", "Block"), "block.rle"},
    {"Still Lifes", QT_TRANSLATE_NOOP("PatternLibrary", "Beehive"), "beehive.rle"},
    {"Still Lifes", QT_TRANSLATE_NOOP("PatternLibrary", "Loaf"), "loaf.rle"},
    {"Still Lifes", QT_TRANSLATE_NOOP("PatternLibrary", "Boat"), "boat.rle"},
    {QT_TRANSLATE_NOOP("PatternLibrary", "Oscillators"), QT_TRANSLATE_NOOP("PatternLibrary", "Blinker"), "blinker.rle"},
    {"Oscillators", QT_TRANSLATE_NOOP("PatternLibrary", "Toad"), "toad.rle"},
    {"Oscillators", QT_TRANSLATE_NOOP("PatternLibrary", "Beacon"), "beacon.rle"},
    {"Oscillators", QT_TRANSLATE_NOOP("PatternLibrary", "Pulsar"), "pulsar.rle"},
    {"Oscillators", QT_TRANSLATE_NOOP("PatternLibrary", "Pentadecathlon"), "pentadecathlon.rle"},
    {QT_TRANSLATE_NOOP("PatternLibrary", "Spaceships"), QT_TRANSLATE_NOOP("PatternLibrary", "Glider"), "glider.rle"},
    {"Spaceships", QT_TRANSLATE_NOOP("PatternLibrary", "Lightweight Spaceship"), "lwss.rle"},
    {"Spaceships", QT_TRANSLATE_NOOP("PatternLibrary", "Middleweight Spaceship"), "mwss.rle"},
    {"Spaceships", QT_TRANSLATE_NOOP("PatternLibrary", "Heavyweight Spaceship"), "hwss.rle"},
    {QT_TRANSLATE_NOOP("PatternLibrary", "Methuselahs"), QT_TRANSLATE_NOOP("PatternLibrary", "R-pentomino"),
     "r-pentomino.rle"},
    {"Methuselahs", QT_TRANSLATE_NOOP("PatternLibrary", "Acorn"), "acorn.rle"},
    {"Methuselahs", QT_TRANSLATE_NOOP("PatternLibrary", "Diehard"), "diehard.rle"},
    {QT_TRANSLATE_NOOP("PatternLibrary", "Guns and Puffers"), QT_TRANSLATE_NOOP("PatternLibrary", "Gosper Glider Gun"),
     "gosper-glider-gun.rle"},
    {"Guns and Puffers", QT_TRANSLATE_NOOP("PatternLibrary", "Simkin Glider Gun"), "simkin-glider-gun.rle"},
    {"Guns and Puffers", QT_TRANSLATE_NOOP("PatternLibrary", "Blinker Puffer 1"), "blinker-puffer-1.rle"},
};

}  // namespace

std::span<const PatternLibrary::Entry> PatternLibrary::entries() { return kEntries; }

QString PatternLibrary::text(const Entry& entry)
{
    Q_INIT_RESOURCE(patterns);  // the files are in the library, which nothing else would pull them from
    QFile file(QStringLiteral(":/patterns/") + QLatin1String(entry.file));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void PatternLibrary::fill(QMenu* menu, const std::function<void(const Entry&)>& chosen)
{
    QMenu* group = nullptr;
    const char* groupName = nullptr;
    for (const Entry& entry : kEntries) {
        if (!groupName || qstrcmp(groupName, entry.group) != 0) {
            groupName = entry.group;
            group = menu->addMenu(tr(entry.group));
        }
        group->addAction(tr(entry.name), menu, [&entry, chosen] { chosen(entry); });
    }
}
