// Decoding pictures as the program does, through stored picture data and TPicture, each beside a
// baseline measured in the same run:
//   - course-sized JPEG files (colour and greyscale, libjpeg's baseline settings) against libjpeg's own
//     djpeg with the same transform (-dct float), one process per decoding, its start included;
//   - a 3 MB 24-bit bitmap against a plain copy of the file's bytes;
//   - a 640 x 480 256-colour GIF (from our own LZW encoder) against Qt's GIF reader.
// Prints both times of each pair and their ratio.
#include "content/toolkit/encoders/BitmapWriter.h"
#include "content/toolkit/encoders/GifWriter.h"
#include "content/toolkit/encoders/JpegWriter.h"
#include "content/toolkit/encoders/SampleScene.h"
#include "graphics/StoredPicture.h"
#include "graphics/TBitmap.h"
#include "graphics/TPicture.h"
#include "stream/TStream.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct TSample {
    std::string Label;
    int Width, Height;
    std::vector<uint8_t> File; // the picture file
    std::vector<uint8_t> Data; // the same as stored picture data
    fs::path Path;             // the file on disk, for djpeg
};

const fs::path& WorkDir() {
    static const fs::path dir = [] {
        std::string pattern = (fs::temp_directory_path() / "orv-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        return fs::path(pattern);
    }();
    return dir;
}

TSample MakeJPEG(std::string label, int width, int height, bool grey) {
    TSample s{
        std::move(label), width, height, EncodeJpeg(MakeScene(width, height, 0, 7), {.Grey = grey}), {}, {}};
    s.Data = StoredPictureData(s.File);
    s.Path = WorkDir() / (s.Label + ".jpg");
    std::ofstream(s.Path, std::ios::binary)
        .write(reinterpret_cast<const char*>(s.File.data()), static_cast<std::streamsize>(s.File.size()));
    return s;
}

// The two JPEG files of a course: a colour photograph and a large greyscale scan.
const std::vector<TSample>& JPEGs() {
    static const std::vector<TSample> samples = {MakeJPEG("colour", 1800, 1200, false),
                                                 MakeJPEG("grey", 3316, 3198, true)};
    return samples;
}

const TSample& Bitmap() {
    static const TSample sample = [] {
        // 1024 x 1024 x 3 bytes: 3 MB of pixels.
        TSample s{"bitmap", 1024, 1024, EncodeBitmap(MakeScene(1024, 1024, 0, 8)), {}, {}};
        s.Data = StoredPictureData(s.File);
        return s;
    }();
    return sample;
}

const PixelImage& GIFPixels() {
    static const PixelImage image = MakeScene(640, 480, 256, 9);
    return image;
}

const TSample& GIF() {
    static const TSample sample = [] {
        std::vector<uint32_t> table = MakeScene(256, 1, 0, 10).Pixels;
        const GifFrame frame{.Image = GIFPixels()};
        TSample s{"gif", 640, 480, EncodeGif(std::span(&frame, 1), {.GlobalTable = table}), {}, {}};
        s.Data = StoredPictureData(s.File);
        return s;
    }();
    return sample;
}

// Reads stored picture data as a picture control's picture does and asks for the pixels drawing uses.
const TBitmap* ReadPicture(TPicture& picture, const std::vector<uint8_t>& data) {
    TCustomMemoryStream stream(data);
    picture.ReadData(stream);
    return picture.Graphic() ? picture.Graphic()->DecodedBitmap() : nullptr;
}

std::string FindOnPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        fs::path candidate = fs::path(dirs.substr(start, end - start)) / program;
        if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
        start = end + 1;
    }
    return {};
}

const std::string& Djpeg() {
    static const std::string path = FindOnPath("djpeg");
    return path;
}

// ---- JPEG ----

void BM_JPEGPicture(benchmark::State& state, int index) {
    const TSample& s = JPEGs()[static_cast<size_t>(index)];
    for (auto _ : state) {
        TPicture picture;
        const TBitmap* bitmap = ReadPicture(picture, s.Data);
        if (!bitmap || bitmap->Width() != s.Width || bitmap->Height() != s.Height) {
            state.SkipWithError("the picture did not decode to its size");
            break;
        }
        benchmark::DoNotOptimize(bitmap->Bits().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * s.Width * s.Height);
}

void BM_Djpeg(benchmark::State& state, int index) {
    const TSample& s = JPEGs()[static_cast<size_t>(index)];
    if (Djpeg().empty()) {
        state.SkipWithError("djpeg not found (Debian package libjpeg-turbo-progs)");
        return;
    }
    std::string file = s.Path.string();
    const char* argv[] = {"djpeg", "-dct", "float", "-outfile", "/dev/null", file.c_str(), nullptr};
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, Djpeg().c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("djpeg failed");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * s.Width * s.Height);
}

// ---- Bitmap ----

void BM_BitmapPlainCopy(benchmark::State& state) {
    const std::vector<uint8_t>& src = Bitmap().File;
    for (auto _ : state) {
        std::vector<uint8_t> copy(src.size());
        std::memcpy(copy.data(), src.data(), src.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * src.size()));
}

void BM_BitmapPicture(benchmark::State& state) {
    const TSample& s = Bitmap();
    for (auto _ : state) {
        TPicture picture;
        const TBitmap* bitmap = ReadPicture(picture, s.Data);
        if (!bitmap || bitmap->Width() != s.Width) {
            state.SkipWithError("the bitmap did not load");
            break;
        }
        benchmark::DoNotOptimize(bitmap->Bits().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.File.size()));
}

// ---- GIF ----

void BM_GIFPicture(benchmark::State& state) {
    const TSample& s = GIF();
    {
        // What is timed must be a correct decoding: the pixels are compared once, before timing.
        TPicture picture;
        const TBitmap* bitmap = ReadPicture(picture, s.Data);
        const std::vector<uint32_t>& want = GIFPixels().Pixels;
        bool same = bitmap && bitmap->Width() == s.Width && bitmap->Height() == s.Height;
        for (int y = 0; same && y < s.Height; ++y)
            same = std::equal(bitmap->ScanLine(y), bitmap->ScanLine(y) + s.Width, want.begin() + y * s.Width);
        if (!same) {
            state.SkipWithError("the GIF did not decode to the pixels it was written with");
            return;
        }
    }
    for (auto _ : state) {
        TPicture picture;
        benchmark::DoNotOptimize(ReadPicture(picture, s.Data));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * s.Width * s.Height);
}

void BM_GIFQt(benchmark::State& state) {
    const TSample& s = GIF();
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(s.File.data()),
                                                     static_cast<qsizetype>(s.File.size()));
    for (auto _ : state) {
        QImage image = QImage::fromData(bytes, "GIF");
        if (image.width() != s.Width) {
            state.SkipWithError("Qt's GIF reader is not available");
            break;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * s.Width * s.Height);
}

BENCHMARK_CAPTURE(BM_JPEGPicture, colour, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Djpeg, colour, 0)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(BM_JPEGPicture, grey, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Djpeg, grey, 1)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_BitmapPlainCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BitmapPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GIFQt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GIFPicture)->Unit(benchmark::kMillisecond);

// Collects each benchmark's time per iteration (by name) so the ratios can be
// printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred) Times[r.run_name.function_name] = r.GetAdjustedRealTime();
    }
    std::map<std::string, double> Times;
};

// Prints one ratio; false when either figure is missing because its benchmark failed or did not run.
bool PrintRatio(const RatioReporter& reporter, const std::string& what, const std::string& name,
                const std::string& baselineWhat, const std::string& baseline) {
    auto time = reporter.Times.find(name), base = reporter.Times.find(baseline);
    if (time == reporter.Times.end() || base == reporter.Times.end() || base->second <= 0) {
        std::printf("%s: no ratio (%s did not run)\n", what.c_str(),
                    time == reporter.Times.end() ? name.c_str() : baselineWhat.c_str());
        return false;
    }
    std::printf("%s: %.2f ms, %s %.2f ms: %.2f times the baseline\n", what.c_str(), time->second,
                baselineWhat.c_str(), base->second, time->second / base->second);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (Djpeg().empty())
        std::printf("djpeg not found: the JPEG baselines are skipped (libjpeg-turbo-progs)\n");
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    bool complete = true;
    const std::vector<TSample>& jpegs = JPEGs();
    for (size_t i = 0; i < jpegs.size(); ++i) {
        const TSample& s = jpegs[i];
        char what[96];
        std::snprintf(what, sizeof what, "JPEG %d x %d %s (%zu kB) through TJPEGImage", s.Width, s.Height,
                      s.Label.c_str(), s.File.size() / 1024);
        complete &= PrintRatio(reporter, what, "BM_JPEGPicture/" + s.Label,
                               "djpeg -dct float (process included)", "BM_Djpeg/" + s.Label);
    }
    char what[96];
    std::snprintf(what, sizeof what, "bitmap of %.1f MB through TPicture", Bitmap().File.size() / 1048576.0);
    complete &=
        PrintRatio(reporter, what, "BM_BitmapPicture", "plain copy of its bytes", "BM_BitmapPlainCopy");
    std::snprintf(what, sizeof what, "GIF 640 x 480, 256 colours (%zu kB) through TPicture",
                  GIF().File.size() / 1024);
    complete &= PrintRatio(reporter, what, "BM_GIFPicture", "Qt's GIF reader", "BM_GIFQt");
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(WorkDir(), ec);
    return complete ? 0 : 1;
}
