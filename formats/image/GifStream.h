#pragma once

#include "AtomicFile.h"

#include <cstdint>
#include <string>
#include <vector>

class CellBitmap;
struct GifFileType;

// An animated GIF (GIF89a) written to disk as its frames come, through
// giflib's incremental API and the careful writer: the logical screen from
// the first frame, the NETSCAPE2.0 extension that makes it loop forever,
// then for every frame a graphic control extension (its delay) and its
// image. The file appears at the path only on commit(), complete.
//
// The images are encoded apart from the file (encodeImage), so that several
// can be encoded at once while the file takes them in order.
class GifStream {
public:
    explicit GifStream(std::string path);
    ~GifStream();
    GifStream(const GifStream&) = delete;
    GifStream& operator=(const GifStream&) = delete;

    // Opens the temporary file and writes the header for a screen of width
    // by height pixels. "" or a message naming the file.
    std::string open(int width, int height);
    // Writes one frame: its delay, in hundredths of a second, and its image
    // as encodeImage() made it. "" or a message naming the file.
    std::string putFrame(int delay, const std::vector<std::uint8_t>& image);
    // Ends the file and puts it in place: "" or a message naming the file.
    std::string commit();

    // One board as a GIF image: an image descriptor with a local colour table
    // of the gray levels on the board (rounded up to a power of two entries,
    // at least 2), then its compressed pixels, each cell drawn `scale` by
    // `scale` pixels. `row` is scratch space. Throws std::bad_alloc, or
    // std::runtime_error saying why as a clause for a message.
    static void encodeImage(const CellBitmap& board, int scale, std::vector<std::uint8_t>& row,
                            std::vector<std::uint8_t>& image);

private:
    static int output(GifFileType* gif, const unsigned char* data, int length);
    std::string failure(int gifError);

    AtomicFile file_;
    GifFileType* gif_ = nullptr;
};
