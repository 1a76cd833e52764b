#pragma once

#include "LifeLikeRule.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// What `gameoflife-batch` was asked to do, read from its arguments.
struct BatchOptions {
    Q_DECLARE_TR_FUNCTIONS(BatchOptions)

public:
    enum class Source { File, Random, GliderGun };
    Source source = Source::File;
    QString input;                      // Source::File
    std::int64_t boardWidth = 0;        // --board: an imported pattern's board; 0: none
    std::int64_t boardHeight = 0;
    std::int64_t width = 0;             // Random: cells; GliderGun: points
    std::int64_t height = 0;
    std::optional<std::uint64_t> seed;  // Random: a repeatable board
    std::optional<int> density;         // Random: live cells in percent; none: the window's random board
    std::int32_t generations = 100;
    QString output;                     // .golpattern, .rle, .cells or .png; empty: none
    QString gif;                        // empty: no recording
    int scale = 1;                      // pixels a side for each cell in the PNG and the GIF
    bool quiet = false;
    bool untilSettled = false;          // --until-settled: stop early once the board settles
    std::optional<LifeLikeRule> rule;   // --rule: instead of the input's rule (B3/S23 when it names none)
    bool torus = false;                 // --torus, or a rule ending in ":T…"

    // The outcome of reading the arguments.
    struct Parsed;
    static Parsed parse(const QStringList& arguments);
    static QString usage();
};

struct BatchOptions::Parsed {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Error;
    BatchOptions options;
    QString error;  // Action::Error: what is wrong with the arguments
};
