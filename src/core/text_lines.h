#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace valico {

class Files;

// The lines of one of the system's text files (jobs, display files): each line ends at a CR, and an
// LF right after the CR belongs to the line end; an LF on its own stays in the text. A last line
// without a line end counts like the others, so an empty file has no lines and "A\r\n" has one.
std::vector<std::string> SplitTextLines(std::string_view bytes);

// Reads a text file into its lines. False with *err when the file cannot be read; *lines is
// then empty, so a caller that goes on reads it as a file without lines.
bool ReadTextLines(const Files& files, std::string_view path, std::vector<std::string>* lines,
                   std::string* err);

}  // namespace valico
