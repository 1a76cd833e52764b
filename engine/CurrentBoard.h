#pragma once

#include "CellBitmap.h"
#include "LifeLikeRule.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <stop_token>

struct Generation;
class LiveBits;
class GenerationPool;

// One generation of the board as it stood at one moment. The board of a
// snapshot never changes; a later generation is a new board.
struct BoardSnapshot {
    std::shared_ptr<const CellBitmap> board;  // null: no board
    std::uint64_t serial = 0;                 // grows with every change of the board
    std::uint64_t generation = 0;             // generations computed since the board was installed
    std::int64_t population = 0;              // live cells
    LifeLikeRule rule;                        // the board's rule and world
    // The board's live cells as bits, owned with `board` (null with no board).
    const LiveBits* live = nullptr;
    std::int64_t grayCells = 0;  // none: every cell follows from `live`
};

// The board as everyone sees it: the current generation, published whole
// under a short lock. A published generation is never changed, but in place
// by an edit when no one else holds it; every other change publishes a new
// one. Each publication gets a serial, which is how a run finds out that the
// board was replaced or edited while it computed the next generation.
class CurrentBoard {
public:
    CurrentBoard();
    ~CurrentBoard();
    CurrentBoard(const CurrentBoard&) = delete;
    CurrentBoard& operator=(const CurrentBoard&) = delete;

    BoardSnapshot snapshot() const;
    // Installs a board as it is (null: no board); its cells are counted here
    // and its generations counted from `generation`. It runs under `rule`
    // when one is given, else under the board's rule. A board that cannot be
    // counted for want of memory changes nothing and gives false.
    bool replace(std::unique_ptr<CellBitmap> board, const std::optional<LifeLikeRule>& rule = std::nullopt,
                 std::uint64_t generation = 0);
    // The rule and world boards run under from now on, the current one
    // included (installed again, its generation count kept). False (nothing
    // changed) when the current board cannot be copied for want of memory.
    bool setRule(const LifeLikeRule& rule);
    LifeLikeRule rule() const;
    // Installs a copy, under `rule` when one is given, its generations counted
    // from `generation`; false (nothing changed) when no copy can be made.
    bool install(const CellBitmap& board, const std::optional<LifeLikeRule>& rule = std::nullopt,
                 std::uint64_t generation = 0);
    // Publishes a generation made elsewhere (one gone back to), under its
    // own rule; returns its publication.
    std::uint64_t restore(std::unique_ptr<Generation> generation);
    // When there is no board, makes a random one sized from the rectangle.
    BoardSnapshot makeIfNone(double rectWidth, double rectHeight);
    // See GameOfLife::editCells and GameOfLife::editBlock.
    bool edit(std::span<const CellEdit> edits);
    bool editBlock(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height,
                   const std::uint8_t* cells);

    // --- For a run ---
    struct Current {
        std::shared_ptr<const Generation> generation;  // null when stopped
        std::uint64_t serial = 0;
    };
    // The current generation. With no board, calls `noBoard` and waits,
    // until a board is installed or a stop is requested.
    Current waitForCurrent(std::stop_token stop, const std::function<void()>& noBoard);
    // A buffer for the next generation: the generation two back when no one
    // holds it any more. Null when the memory cannot be had.
    std::unique_ptr<Generation> takeBuffer(std::int64_t width, std::int64_t height);
    void giveBack(std::unique_ptr<Generation> buffer);
    // Publishes `next` unless a stop was requested or the board changed
    // since the publication `serial`; then returns null and leaves `next` to
    // the caller.
    std::shared_ptr<Generation> publishAfter(std::uint64_t serial, std::unique_ptr<Generation>& next,
                                             std::stop_token stop);
    // Returns when a publication under way has ended: a run stopped before
    // this call publishes nothing after it.
    void settle() const;

    // The cells of a generation, sharing its ownership.
    static std::shared_ptr<const CellBitmap> boardOf(std::shared_ptr<const Generation> generation);

private:
    BoardSnapshot snapshotLocked() const;
    void publishLocked(std::shared_ptr<Generation> generation, std::shared_ptr<Generation>& old);
    bool soleHolderLocked() const;

    mutable std::mutex mutex_;
    std::condition_variable_any arrived_;  // a board was installed
    std::shared_ptr<Generation> current_;
    std::uint64_t serial_ = 0;
    LifeLikeRule rule_;
    std::shared_ptr<GenerationPool> pool_;
};
