#include "TextLines.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace zelmar {

std::vector<std::string> SplitTextLines(std::string_view text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);

    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            ++i;
            if (c == '\r' && i < text.size() && text[i] == '\n')
                ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

bool LoadTextLines(const std::string& path, std::vector<std::string>& lines) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        // Only a name that is not there is a missing table; a name that
        // cannot even be looked at (no access, a link loop) is a table the
        // operator would otherwise silently lose.
        if (ec)
            throw TFileError("Cannot open file " + path);
        return false;
    }

    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, ec))
        throw TFileError("Cannot open file " + path);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw TFileError("Cannot open file " + path);
    lines = SplitTextLines(bytes);
    return true;
}

} // namespace zelmar
