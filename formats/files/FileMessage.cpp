#include "FileMessage.h"

#include <cstdio>

std::string FileMessage::printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    const auto escaped = [&out](unsigned byte) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", byte);
        out += hex;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        if (byte < 0x20 || byte == 0x7f) {
            escaped(byte);
        } else if (byte == 0xc2 && next >= 0x80 && next <= 0x9f) {  // U+0080 to U+009F in UTF-8
            escaped(next);
            ++i;
        } else {
            out += char(byte);
        }
    }
    return out;
}
