#pragma once

#include <string>
#include <string_view>
#include <vector>

// What a pattern file says about its pattern besides the cells: its name,
// its author and its comments (RLE "#N", "#O" and "#C"; plaintext "!Name:"
// and "!" lines; Life 1.05 "#D"), written back when the pattern is exported.
struct PatternInfo {
    std::string name;
    std::string author;
    std::vector<std::string> comments;

    bool empty() const { return name.empty() && author.empty() && comments.empty(); }
    bool operator==(const PatternInfo&) const = default;

    // The text of a line after its tag of `tag` characters, without the
    // blanks around it.
    static std::string after(std::string_view line, std::size_t tag)
    {
        line.remove_prefix(std::min(tag, line.size()));
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
            line.remove_suffix(1);
        return std::string(line);
    }
};
