#include "GifRecorder.h"

#include "CellBitmap.h"
#include "FileMessage.h"
#include "GifStream.h"

#include <QString>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <system_error>

namespace {

std::string generationsText(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " generation" : " generations");
}

// Frames between capture and file: enough to keep every encoder busy.
std::size_t framesOnTheirWay(std::size_t encoders)
{
    return encoders + 2;
}

}  // namespace

GifRecorder::GifRecorder(std::string path, int scale) : path_(std::move(path)), scale_(scale) {}

GifRecorder::~GifRecorder()
{
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        waiting_.clear();  // never written: not worth encoding
    }
    changed_.notify_all();
    for (std::thread& encoder : encoders_)
        encoder.join();
}

std::string GifRecorder::sizeProblem(std::int64_t width, std::int64_t height, int scale)
{
    if (scale < 1)
        return "the scale " + std::to_string(scale) + " is not a whole number of pixels a cell";
    if (width > kMaxSide / scale || height > kMaxSide / scale)
        return "at " + std::to_string(scale) + (scale == 1 ? " pixel" : " pixels") + " a cell the board of " +
               std::to_string(width) + " \u00d7 " + std::to_string(height) + " cells would be " +
               std::to_string(width * scale) + " \u00d7 " + std::to_string(height * scale) +
               " pixels, more than a GIF image can hold (" + std::to_string(kMaxSide) + " a side)";
    return {};
}

bool GifRecorder::full() const
{
    return full_.load();
}

void GifRecorder::fail(const std::string& message)
{
    if (failure_.empty())
        failure_ = message;
    full_.store(true);
    std::lock_guard lock(mutex_);
    waiting_.clear();
}

// With the first board: the file, its screen, and the encoders.
bool GifRecorder::start(const CellBitmap& first)
{
    width_ = first.pixelsWide();
    height_ = first.pixelsHigh();
    if (const std::string why = sizeProblem(width_, height_, scale_); !why.empty()) {
        fail(FileMessage::couldNotSave(path_, QString::fromStdString(why)));
        return false;
    }
    file_ = std::make_unique<GifStream>(path_);
    if (const std::string error = file_->open(int(width_ * scale_), int(height_ * scale_)); !error.empty()) {
        file_.reset();
        fail(error);
        return false;
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < std::min(cores, 4u); ++i) {
        try {
            encoders_.emplace_back([this] { encoderLoop(); });
        } catch (const std::system_error&) {
            break;  // fewer encoders; with none, capture() encodes itself
        }
    }
    return true;
}

GifRecorder::Encoded GifRecorder::encode(const CellBitmap& board, int scale)
{
    // Scratch space reused from frame to frame by each encoder.
    static thread_local std::vector<std::uint8_t> row;
    Encoded frame;
    try {
        GifStream::encodeImage(board, scale, row, frame.image);
    } catch (const std::bad_alloc&) {
        frame.failure = "there was not enough memory for its next frame";
    } catch (const std::exception& e) {
        frame.failure = e.what();
    }
    return frame;
}

void GifRecorder::encoderLoop()
{
    for (;;) {
        std::pair<std::uint64_t, std::shared_ptr<const CellBitmap>> job;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !waiting_.empty() || closing_; });
            if (waiting_.empty())
                return;
            job = std::move(waiting_.front());
            waiting_.pop_front();
        }
        Encoded frame = encode(*job.second, scale_);
        job.second.reset();
        {
            std::lock_guard lock(mutex_);
            try {
                encoded_.emplace(job.first, std::move(frame));
            } catch (const std::bad_alloc&) {
                encoded_[job.first].failure = "there was not enough memory for its next frame";
            }
        }
        changed_.notify_all();
    }
}

// Writes the encoded frames whose turn has come, in order, with the lock
// released while the file takes them.
void GifRecorder::writeReady(std::unique_lock<std::mutex>& lock)
{
    for (auto it = encoded_.find(nextInFile_); it != encoded_.end() && failure_.empty();
         it = encoded_.find(nextInFile_)) {
        Encoded frame = std::move(it->second);
        encoded_.erase(it);
        ++nextInFile_;
        lock.unlock();
        const std::string error = frame.failure.empty() ? file_->putFrame(kFrameDelay, frame.image)
                                                        : FileMessage::couldNotSave(path_, QString::fromStdString(frame.failure));
        if (error.empty())
            ++written_;
        else
            fail(error);
        lock.lock();
    }
}

void GifRecorder::capture(std::shared_ptr<const CellBitmap> board)
{
    if (!board || finished_ || full_.load())
        return;
    if (!file_) {
        if (!start(*board))
            return;
    } else if (board->pixelsWide() != width_ || board->pixelsHigh() != height_) {
        endedEarly_ = "the board changed size";  // its images must all fit the first one's screen
        full_.store(true);
        return;
    }
    std::unique_lock lock(mutex_);
    if (encoders_.empty()) {
        encoded_.emplace(handedOver_++, encode(*board, scale_));
        writeReady(lock);
        return;
    }
    while (handedOver_ - nextInFile_ >= framesOnTheirWay(encoders_.size()) && failure_.empty()) {
        writeReady(lock);
        if (handedOver_ - nextInFile_ >= framesOnTheirWay(encoders_.size()) && failure_.empty())
            changed_.wait(lock);
    }
    if (!failure_.empty())
        return;
    waiting_.emplace_back(handedOver_++, std::move(board));
    changed_.notify_all();
    writeReady(lock);
}

RecordingResult GifRecorder::finish(RunEnd)
{
    if (finished_)
        return {};
    finished_ = true;
    {
        std::unique_lock lock(mutex_);
        closing_ = true;
        changed_.notify_all();
        while (nextInFile_ < handedOver_ && failure_.empty()) {
            writeReady(lock);
            if (nextInFile_ < handedOver_ && failure_.empty())
                changed_.wait(lock);
        }
    }
    changed_.notify_all();
    for (std::thread& encoder : encoders_)
        encoder.join();
    encoders_.clear();

    if (!failure_.empty()) {
        file_.reset();  // the temporary file goes; an earlier file stays
        return {false, failure_};
    }
    if (!file_)
        return {};  // no frames: no file
    const std::string error = file_->commit();
    file_.reset();
    if (!error.empty())
        return {false, error};
    if (!endedEarly_.empty())
        return {true, "The recording stopped after " + generationsText(written_) + ": " + endedEarly_ + "."};
    return {true, {}};
}
