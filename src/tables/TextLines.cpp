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
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (ec && status.type() != std::filesystem::file_type::not_found) {
        // Only a name that is not there is a missing table; a name that
        // cannot even be looked at (no access, a link loop) is a table the
        // operator would otherwise silently lose.
        throw TFileError("Cannot open file " + path);
    }
    // A folder, a device or a pipe is no table file: as missing. Opening a
    // pipe would wait for a writer for ever.
    if (status.type() != std::filesystem::file_type::regular)
        return false;

    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw TFileError("Cannot open file " + path);
    std::string bytes;
    try {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        // The stream library reports a failed read by throwing from inside
        // the iteration, with a text of its own.
        throw TFileError("Cannot open file " + path);
    }
    if (in.bad())
        throw TFileError("Cannot open file " + path);
    lines = SplitTextLines(bytes);
    return true;
}

} // namespace zelmar
