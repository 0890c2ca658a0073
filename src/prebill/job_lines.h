#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace valico {

class Files;

// The lines of a pre-bill job: each line ends at a CR, and an LF right after the CR belongs to
// the line end; an LF on its own stays in the text. A last line without a line end counts like
// the others, so an empty job has no lines and "A\r\n" has one.
std::vector<std::string> SplitJobLines(std::string_view bytes);

// Reads a job file into its lines. False with *err when the file cannot be read; *lines is
// then empty, so a caller that goes on reads it as a job without lines.
bool ReadJobLines(const Files& files, std::string_view path, std::vector<std::string>* lines,
                  std::string* err);

}  // namespace valico
