#pragma once

#include <memory>
#include <string>

class CellBitmap;

// How a run ended: it reached its count, it was stopped or superseded (a
// stop, a reset, a new run, ...), or it ended by itself before its count.
enum class RunEnd {
    Completed,
    Cancelled,
    RecordingEnded,  // the recording could take no more frames (RunRecorder::full)
    OutOfMemory,    // no memory, or no thread, for the next generation
    Settled,        // the board settled, and the run was to stop then (GameOfLife::setStopWhenSettled)
};

// What a recording left behind when its run ended.
struct RecordingResult {
    bool written = false;  // the file exists and holds the run's frames
    std::string message;   // for the person; empty when nothing needs saying
};

// Records one run. Each recording run gets a recorder of its own, made when
// the run is started, so a run never records with another run's settings.
// Every method is called on the run's worker thread.
class RunRecorder {
public:
    virtual ~RunRecorder() = default;

    // After each completed generation, with that generation's whole board.
    // The board is never changed afterwards, so the recorder may keep it
    // for as long as it needs.
    virtual void capture(std::shared_ptr<const CellBitmap> board) = 0;

    // True when the recorder can take no more frames; the run then ends
    // (RunEnd::RecordingEnded).
    virtual bool full() const { return false; }

    // Once, when the run has ended, however it ended: writes what was captured.
    virtual RecordingResult finish(RunEnd end) = 0;
};
