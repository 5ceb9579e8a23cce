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
        std::vector<uint8_t> payload(600 * 1024);
        for (size_t i = 0; i < payload.size(); ++i)
            payload[i] = static_cast<uint8_t>(i * 131 + 7);
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

BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LoadDefinition)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Collects each benchmark's time per iteration so the ratio can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            Times[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    std::map<std::string, double> Times;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto copy = reporter.Times.find("BM_PlainCopy/min_time:1.000");
    auto load = reporter.Times.find("BM_LoadDefinition/min_time:1.000");
    if (copy != reporter.Times.end() && load != reporter.Times.end() && copy->second > 0)
        std::printf("\ndefinition of %.1f MB: loading takes %.3f times a plain copy (target: at most 0.1)\n",
                    Definition().size() / 1e6, load->second / copy->second);
    benchmark::Shutdown();
    return 0;
}
