// orvanta-assets OUTDIR: writes the binary files the course source refers to (icons, and the pictures
// of the pages) into OUTDIR. Files whose bytes are unchanged are not rewritten, so the build stays
// incremental.
#include "content/IconArt.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
bool WriteIfChanged(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (in) {
        std::vector<uint8_t> old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (old == bytes) return true;
    }
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvanta-assets OUTDIR\n");
        return 2;
    }
    std::filesystem::path out = argv[1];
    bool ok = WriteIfChanged(out / "icons/form.ico", FormIconFile()) &&
              WriteIfChanged(out / "icons/main.ico", MainIconFile());
    if (!ok) {
        std::fprintf(stderr, "orvanta-assets: cannot write into %s\n", out.c_str());
        return 1;
    }
    return 0;
}
