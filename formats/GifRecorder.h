#pragma once

#include "RunRecorder.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CellBitmap;

// Records a run as an animated GIF (GIF89a): one image per completed
// generation, one pixel per cell showing the cell value as a gray level,
// 5 hundredths of a second per image, looping forever.
//
// Each captured board is encoded at once into a complete single-image GIF
// held in memory (never kept as a copy of the cells). The encoding happens on
// a thread of the recorder, so the run computes its next generation meanwhile;
// capture() waits only when a few boards are already waiting to be encoded.
// finish() joins the frames into the file without decoding them again: the
// compressed image data of every frame is copied as it is.
//
// The file is written atomically: to a temporary file in the destination's
// folder, renamed over the chosen path once it is complete. A failed
// recording leaves whatever was at the path before untouched.
//
// capture(), full() and finish() are meant for one thread, the run's worker.
// A GameOfLife records with it through
//   life.setRecorderFactory([](const std::string& file) { return std::make_unique<GifRecorder>(file); });
class GifRecorder : public RunRecorder {
public:
    // The frames of one recording may take this much memory, encoded: 2 GiB,
    // about 14,000 frames of a freshly randomised 1024 by 1024 board and many
    // more once the board thins out. Past it the run ends as if stopped.
    static constexpr std::size_t kDefaultFrameMemoryLimit = std::size_t{2} << 30;
    // The delay of every image, in hundredths of a second.
    static constexpr int kFrameDelay = 5;
    // Boards waiting to be encoded before capture() waits for the encoder.
    static constexpr std::size_t kQueueDepth = 3;

    explicit GifRecorder(std::string path, std::size_t frameMemoryLimit = kDefaultFrameMemoryLimit);
    ~GifRecorder() override;
    GifRecorder(const GifRecorder&) = delete;
    GifRecorder& operator=(const GifRecorder&) = delete;

    void capture(std::shared_ptr<const CellBitmap> board) override;
    // True once the encoded frames have reached the memory limit, or a frame
    // could not be encoded; boards captured after that are not recorded.
    // When the frames in hand could reach the limit, capture() waits for the
    // encoder, so full() is true right after the capture whose frame reached it.
    bool full() const override;
    // Waits for the encoder, then writes the file. A recording without
    // frames writes nothing: written false, and an empty message unless its
    // first frame could not be encoded. On success the message is empty, or
    // says why the recording stopped early (limit reached, a frame failed).
    RecordingResult finish(RunEnd end) override;

    const std::string& path() const { return path_; }

    // One board as a complete single-image GIF. The colour table holds only
    // the gray levels that occur on the board (rounded up to a power of two
    // entries, at least 2). Throws std::bad_alloc, or std::runtime_error
    // saying why (a side of the board longer than a GIF image can be, 65535,
    // or an error of the encoder) as a clause for a message.
    static std::vector<std::uint8_t> encodeFrame(const CellBitmap& board);

private:
    struct Frame {
        std::vector<std::uint8_t> gif;  // a complete single-image GIF
        int width = 0;
        int height = 0;
    };

    static std::size_t frameBound(const CellBitmap& board);  // the most one frame can take
    void encoderLoop();
    void encodeOne(const CellBitmap& board);
    RecordingResult write(const std::vector<Frame>& frames) const;
    std::string limitText() const;

    const std::string path_;
    const std::size_t limit_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<const CellBitmap>> queue_;  // boards not yet encoded
    std::size_t inFlight_ = 0;  // frameBound() of each board handed over and not yet encoded
    bool closing_ = false;      // no more boards will come
    std::vector<Frame> frames_;   // written by the encoder, read after it has ended
    std::string failure_;         // why a frame could not be encoded; under mutex_
    std::thread encoder_;         // started with the first capture

    std::atomic<std::size_t> encodedBytes_{0};
    std::atomic<bool> full_{false};
    std::atomic<bool> limitReached_{false};
    bool finished_ = false;
};
