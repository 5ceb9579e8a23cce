// Compiling a text form that is spread over several files: a line that holds only
//   include "relative/path"
// stands for the whole text of that file (relative to the including file). Binary files named in any of
// them are looked up relative to assetsDir (by default the folder of the top file), so generated binaries
// can live outside the source tree. Errors name the file and line they are in.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The whole of a text file; raises Exception naming it when it cannot be opened.
std::string ReadText(const std::filesystem::path& file);

std::vector<uint8_t> CompileTextFormFile(const std::filesystem::path& file,
                                         const std::filesystem::path& assetsDir = {});

// The same, written to the file out.
void CompileTextFormFileTo(const std::filesystem::path& file, const std::filesystem::path& out,
                           const std::filesystem::path& assetsDir = {});
