// Include expansion for text forms, with a map from expanded lines back to their files.
#include "tools/TextFormFiles.h"

#include "stream/Exceptions.h"
#include "tools/TextForm.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace {
constexpr int kMaxIncludeDepth = 16;

struct LineOrigin {
    std::filesystem::path File;
    int Line;
};

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw Exception("cannot create '" + path.string() + "': " + std::strerror(errno));
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) throw Exception("cannot write '" + path.string() + "'");
}

// Returns the quoted path when the line is an include directive.
bool IncludePath(const std::string& line, std::string& path) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line.compare(i, 8, "include ") != 0) return false;
    size_t open = line.find('"', i + 8);
    size_t close = open == std::string::npos ? open : line.find('"', open + 1);
    if (close == std::string::npos || line.find_first_not_of(" \t\r", close + 1) != std::string::npos)
        return false;
    path = line.substr(open + 1, close - open - 1);
    return true;
}

void Expand(const std::filesystem::path& file, int depth, std::string& out,
            std::vector<LineOrigin>& origins) {
    if (depth > kMaxIncludeDepth) throw Exception(file.string() + ": includes nest too deeply");
    std::istringstream in(ReadText(file));
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::string path;
        if (IncludePath(line, path)) {
            Expand(file.parent_path() / path, depth + 1, out, origins);
            continue;
        }
        out += line;
        out += '\n';
        origins.push_back({file, number});
    }
}
} // namespace

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw Exception("cannot open '" + file.string() + "'");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> CompileTextFormFile(const std::filesystem::path& file,
                                         const std::filesystem::path& assetsDir) {
    std::string source;
    std::vector<LineOrigin> origins;
    Expand(file, 0, source, origins);
    try {
        return CompileTextForm(source, assetsDir.empty() ? file.parent_path() : assetsDir);
    } catch (const Exception& e) {
        // "line:column: message" from the compiler, mapped back to the file the line came from.
        const std::string& m = e.Message();
        size_t colon = m.find(':');
        int line = 0;
        try {
            line = colon == std::string::npos ? 0 : std::stoi(m.substr(0, colon));
        } catch (const std::exception&) {
            line = 0;
        }
        if (line >= 1 && static_cast<size_t>(line) <= origins.size()) {
            const LineOrigin& o = origins[static_cast<size_t>(line) - 1];
            throw Exception(o.File.string() + ":" + std::to_string(o.Line) + m.substr(colon));
        }
        throw Exception(file.string() + ":" + m);
    }
}

void CompileTextFormFileTo(const std::filesystem::path& file, const std::filesystem::path& out,
                           const std::filesystem::path& assetsDir) {
    WriteBytes(out, CompileTextFormFile(file, assetsDir));
}
