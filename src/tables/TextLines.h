#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zelmar {

// A reference file exists but cannot be read.
class TFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Splits a text into lines: a line ends at CR, at LF or at CR LF; LF CR is
// two breaks; a NUL byte ends the text; a final break adds no line.
std::vector<std::string> SplitTextLines(std::string_view text);

// Reads the file at `path` whole into `lines`. Returns false, leaving `lines`
// as they were, when no such file exists or the name is no file (a folder, a
// device, a pipe); throws TFileError "Cannot open file <path>" when it exists
// but cannot be looked at, opened or read.
bool LoadTextLines(const std::string& path, std::vector<std::string>& lines);

} // namespace zelmar
