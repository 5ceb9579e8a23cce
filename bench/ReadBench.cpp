// Reading a large definition whose bulk is binary values, against a plain copy of the same bytes made
// in the same run. Prints both times and their ratio. The definition is read as the program reads its
// own: in place, its pictures referring to the stored bytes.
#include "app/TForm1.h"
#include "stream/ResourceTable.h"
#include "stream/TWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

void PutU16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    PutU16(b, at, v & 0xFFFF);
    PutU16(b, at + 2, v >> 16);
}

// A 24-bit bottom-up BMP file of the given size whose pixels vary, as a photograph's do.
std::vector<uint8_t> BitmapFile(int width, int height) {
    constexpr uint32_t kHeaders = 14 + 40;
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t pixels = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> file(kHeaders + pixels);
    file[0] = 'B', file[1] = 'M';
    PutU32(file, 2, kHeaders + pixels);
    PutU32(file, 10, kHeaders);
    PutU32(file, 14, 40);
    PutU32(file, 18, static_cast<uint32_t>(width));
    PutU32(file, 22, static_cast<uint32_t>(height));
    PutU16(file, 26, 1);
    PutU16(file, 28, 24);
    PutU32(file, 34, pixels);
    for (uint32_t i = 0; i < pixels; ++i)
        file[kHeaders + i] = static_cast<uint8_t>(i * 131 + 7);
    return file;
}

// About 60 MB: a page control with 100 pictures of 600 kB each, spread over 20 sheets.
const std::vector<uint8_t>& Definition() {
    static const std::vector<uint8_t> bytes = [] {
        TWriter w;
        w.WriteSignature();
        w.WriteComponentHeader("TForm1", "Form1");
        w.WritePropName("Caption");
        w.WriteString("Orvanta");
        w.WriteListEnd();
        w.WriteComponentHeader("TPageControl", "PageControl1");
        w.WritePropName("ActivePage");
        w.WriteIdent("TabSheet1");
        w.WriteListEnd();
        const std::vector<uint8_t> payload = BitmapFile(400, 512);
        int image = 1;
        for (int sheet = 1; sheet <= 20; ++sheet) {
            w.WriteComponentHeader("TTabSheet", "TabSheet" + std::to_string(sheet));
            w.WritePropName("Caption");
            w.WriteString("Imag" + std::to_string(sheet));
            w.WriteListEnd();
            for (int k = 0; k < 5; ++k, ++image) {
                w.WriteComponentHeader("TImage", "Image" + std::to_string(image));
                w.WritePropName("Left");
                w.WriteInteger(8);
                w.WritePropName("Picture.Data");
                // "TBitmap" tag, then a 4-byte length and the file bytes.
                static constexpr char kTag[] = "\x07TBitmap";
                uint32_t len = static_cast<uint32_t>(payload.size());
                std::vector<uint8_t> data(8 + 4 + payload.size());
                std::memcpy(data.data(), kTag, 8);
                std::memcpy(data.data() + 8, &len, 4);
                std::memcpy(data.data() + 12, payload.data(), payload.size());
                w.WriteBinary(data);
                w.WriteListEnd();
                w.WriteListEnd();
            }
            w.WriteListEnd();
        }
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
        return w.TakeBytes();
    }();
    return bytes;
}

void BM_PlainCopy(benchmark::State& state) {
    const auto& src = Definition();
    for (auto _ : state) {
        std::vector<uint8_t> copy(src.size());
        std::memcpy(copy.data(), src.data(), src.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * src.size()));
}

void BM_LoadDefinition(benchmark::State& state) {
    const auto& src = Definition();
    // Registered as the program registers its own: bytes that last the whole run, read in place.
    Resources::Register(Resources::RT_RCDATA, "TFORM1", TByteView{src, {}, true});
    for (auto _ : state) {
        TForm1 form(nullptr);
        benchmark::DoNotOptimize(form.ComponentCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * src.size()));
}

BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDefinition)->Unit(benchmark::kMillisecond);

// Collects each benchmark's time per iteration so the ratio can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred) Times[r.run_name.function_name] = r.GetAdjustedRealTime();
    }
    std::map<std::string, double> Times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto copy = reporter.Times.find("BM_PlainCopy");
    auto load = reporter.Times.find("BM_LoadDefinition");
    const bool complete = copy != reporter.Times.end() && load != reporter.Times.end() && copy->second > 0;
    if (complete)
        std::printf("\ndefinition of %.1f MB: loading takes %.3f times a plain copy (target: at most 0.1)\n",
                    Definition().size() / 1e6, load->second / copy->second);
    else
        std::printf("\nno ratio: a benchmark failed or did not run\n");
    benchmark::Shutdown();
    return complete ? 0 : 1;
}
