#pragma once

#include "RunRecorder.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CellBitmap;
class GifStream;

// Records a run as an animated GIF (GIF89a): one image per completed
// generation, each cell drawn as `scale` by `scale` pixels of its gray level,
// 5 hundredths of a second per image, looping forever.
//
// The frames go to disk as they come (GifStream), so a recording's memory
// does not grow with its length: the file is written to a temporary file
// beside the chosen path and put in place, complete, when the run ends. Its
// images are encoded on encoder threads of the recorder, several at once,
// while the run computes its next generations; capture() waits only when a
// few frames are already on their way, and writes those that are ready, in
// order. A run with no frames writes no file; a failed recording (a full
// disk, a destination that cannot be written) ends the run as if stopped and
// leaves whatever was at the path untouched.
//
// capture(), full() and finish() are meant for one thread, the run's worker.
// A GameOfLife records with it through
//   life.setRecorderFactory([](const std::string& file) { return std::make_unique<GifRecorder>(file); });
class GifRecorder : public RunRecorder {
public:
    // The delay of every image, in hundredths of a second.
    static constexpr int kFrameDelay = 5;
    // The longest side of a GIF image: its sizes are 16-bit fields.
    static constexpr std::int64_t kMaxSide = 65535;

    explicit GifRecorder(std::string path, int scale = 1);
    ~GifRecorder() override;
    GifRecorder(const GifRecorder&) = delete;
    GifRecorder& operator=(const GifRecorder&) = delete;

    void capture(std::shared_ptr<const CellBitmap> board) override;
    // True once the recording can take no more frames: it failed, or the
    // board changed size. Boards captured after that are not recorded.
    bool full() const override;
    // Waits for the frames on their way, then puts the file in place. A
    // recording without frames writes nothing. The message is empty, or
    // says why the recording failed (nothing written) or ended early.
    RecordingResult finish(RunEnd end) override;

    const std::string& path() const { return path_; }

    // "" when a board of width by height cells, `scale` pixels a cell, fits
    // a GIF image; otherwise why not, as a clause for a message.
    static std::string sizeProblem(std::int64_t width, std::int64_t height, int scale);

private:
    struct Encoded {
        std::vector<std::uint8_t> image;
        std::string failure;  // why it could not be encoded
    };

    bool start(const CellBitmap& first);
    void encoderLoop();
    static Encoded encode(const CellBitmap& board, int scale);
    void writeReady(std::unique_lock<std::mutex>& lock);
    void fail(const std::string& message);

    const std::string path_;
    const int scale_;

    // The run's thread only.
    std::unique_ptr<GifStream> file_;
    std::int64_t width_ = 0;
    std::int64_t height_ = 0;
    std::size_t written_ = 0;  // frames in the file
    std::string failure_;      // why the file will not be written
    std::string endedEarly_;   // why the recording ended before the run
    bool finished_ = false;
    std::atomic<bool> full_{false};

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<std::uint64_t, std::shared_ptr<const CellBitmap>>> waiting_;  // for an encoder
    std::map<std::uint64_t, Encoded> encoded_;  // for their turn in the file
    std::uint64_t handedOver_ = 0;  // frame numbers given out
    std::uint64_t nextInFile_ = 0;  // the frame the file takes next
    bool closing_ = false;
    std::vector<std::thread> encoders_;
};
