#pragma once

#include <memory>
#include <string>

class CellBitmap;

enum class RunEnd { Completed, Cancelled };

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

    // True when the recorder can take no more frames; the run then ends as
    // if it had been stopped.
    virtual bool full() const { return false; }

    // Once, when the run has ended, completed or cancelled: writes what was
    // captured.
    virtual RecordingResult finish(RunEnd end) = 0;
};
