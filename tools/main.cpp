// orvanta-form: compiles the text form of a definition to a component stream, dumps a stream as text,
// checks that a stream loads, renders its pages, exports it as a web site and draws a picture file as
// the program would.
#include "platform/EmbeddedResources.h"
#include "stream/Exceptions.h"
#include "tools/Check.h"
#include "tools/Picture.h"
#include "tools/Render.h"
#include "tools/TextForm.h"
#include "tools/TextFormFiles.h"
#include "tools/WebExport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: orvanta-form compile SOURCE OUT [--assets DIR] | dump FILE | check FILE\n"
    "                  | render [--scale N] OUTDIR [FILE] | picture FILE OUT.png\n"
    "                  | export-html [--alt TEXTS] [FILE] OUTDIR\n";

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

std::string ReadFile(const std::string& path) {
    FilePtr f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f) throw Exception("cannot open '" + path + "': " + std::strerror(errno));
    std::string data;
    char buf[1 << 16];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0)
        data.append(buf, n);
    if (std::ferror(f.get())) throw Exception("cannot read '" + path + "'");
    return data;
}

int Compile(const std::string& sourcePath, const std::string& outPath, const std::string& assetsDir) {
    CompileTextFormFileTo(sourcePath, outPath, assetsDir);
    return 0;
}

int Dump(const std::string& path) {
    std::string data = ReadFile(path);
    std::string text = DumpTextForm(std::span(reinterpret_cast<const uint8_t*>(data.data()), data.size()));
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        throw Exception("cannot write to standard output");
    return 0;
}

// A whole number from 1 to 4; 0 when the text is anything else.
int ParseScale(const std::string& text) {
    if (text.size() != 1 || text[0] < '1' || text[0] > '4') return 0;
    return text[0] - '0';
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string command = args.empty() ? "" : args[0];
    // The course built into the tool, for the commands that work on it when given no file.
    RegisterEmbeddedResources();
    try {
        if (command == "render") {
            // --scale N draws at N device pixels per pixel, as on a high-density screen.
            int scale = 1;
            if (args.size() >= 3 && args[1] == "--scale") {
                scale = ParseScale(args[2]);
                args.erase(args.begin() + 1, args.begin() + 3);
            }
            if (scale > 0 && (args.size() == 2 || args.size() == 3))
                return RunRender(
                    args[1], args.size() == 3 ? std::optional<std::string>(args[2]) : std::nullopt, scale);
        }
        if (command == "export-html") {
            // --alt names the pictures' text alternatives, one "NAME = text" line each.
            std::optional<std::string> altTexts;
            if (args.size() >= 3 && args[1] == "--alt") {
                altTexts = args[2];
                args.erase(args.begin() + 1, args.begin() + 3);
            }
            if (args.size() == 2) return RunExportHtml(args[1], std::nullopt, altTexts);
            if (args.size() == 3) return RunExportHtml(args[2], args[1], altTexts);
        }
        if (command == "compile" && args.size() == 3) return Compile(args[1], args[2], {});
        if (command == "compile" && args.size() == 5 && args[3] == "--assets")
            return Compile(args[1], args[2], args[4]);
        if (command == "dump" && args.size() == 2) return Dump(args[1]);
        if (command == "check" && args.size() == 2) return RunCheck(args[1]);
        if (command == "picture" && args.size() == 3) return RunPicture(args[1], args[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvanta-form: %s\n", e.what());
        return 1;
    }
    std::fputs(kUsage, stderr);
    return 2;
}
