// libjpeg behind a C-style boundary.
//
// How errors cross back: the library reports a fatal error by calling error_exit, which must not
// return. Ours longjmps to the setjmp in Guarded(), the only place that arms the jump. Between that
// setjmp and any longjmp there are only libjpeg's own C frames, our C-style callbacks (source and error
// manager) and the stage functions, and all of them keep nothing but plain data: no object with a
// destructor lives in any frame the jump skips, so skipping them is well defined. Guarded() returns,
// and only then, back in ordinary C++, is EJPEG thrown. Throwing from error_exit instead would unwind
// through library code that was not compiled for exceptions. A progress handler is run the same way:
// the monitor catches whatever it raises, keeps it in the context and jumps, and Run() raises it again.
#include "graphics/TJPEGDecompressor.h"

#include "graphics/GreyDither.h"
#include "graphics/JPEGError.h"

#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

#include <jpeglib.h>
// After jpeglib.h: its macros use the library's types.
#include <jerror.h>

// This build numbers its messages as release 6b does, with its own additions after 6b's last message.
static_assert(JERR_INPUT_EMPTY == 42 && JERR_NO_BACKING_STORE == 49 && JERR_NO_IMAGE == 51 &&
                  JERR_NO_SOI == 53 && JERR_OUT_OF_MEMORY == 54,
              "libjpeg message codes differ from release 6b");
static_assert(JERR_BAD_CROP_SPEC == JWRN_TOO_MUCH_DATA + 1, "additions must follow release 6b's table");

namespace {

constexpr size_t kSourceChunk = 4096;

struct TErrorManager {
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
    int Code;
};

struct TSourceManager {
    jpeg_source_mgr Pub;
    const uint8_t* Data;
    size_t Size;
    size_t Position;
    JOCTET FakeEOI[2];
};

} // namespace

// The library's callbacks and the stage functions reach it while a jump is armed; it lives on the heap,
// outside every frame a jump skips.
class TGreyReducer;
struct TJPEGContext {
    jpeg_decompress_struct Info;
    TErrorManager Error;
    TSourceManager Source;
    bool Created;
    long MemoryLimit;
    bool MultipleScans;
    TJPEGDecodeSettings Settings;
    uint8_t* TopRow;
    ptrdiff_t RowStep;
    // Greyscale output reduced to 236 levels by our own pass: the library's 8-bit grey rows are read
    // into GreyRow and reduced into the output rows, carrying DitherErrors from row to row.
    bool GreyDither;
    bool OddRow;
    JSAMPROW GreyRow;
    int16_t* DitherErrors;
    // Reduces the rows on a second thread when the picture is large (see TGreyReducer), else null.
    TGreyReducer* Reducer;
    jpeg_progress_mgr Progress;
    bool ReadingRows;
    std::function<void(const TJPEGProgressInfo&)> OnProgress;
    std::exception_ptr HandlerError;
};

// Greys reduced to 236 levels on a second thread while the library decodes the rows after them: the
// pass costs nearly as much as the decoding, and each row needs only what the row before it left. The
// decoding thread copies each grey row into its output row and counts it; this thread reduces the rows
// counted, in order and in place. Whoever looks at the output waits until every counted row is done.
class TGreyReducer {
public:
    // With `populate`, the thread first makes the output's pages resident, ahead of the rows the
    // decoding thread copies into them: a page first touched costs a fault, which a virtual machine
    // makes dear, and the kernel makes a range resident in one call for less.
    TGreyReducer(TJPEGContext& c, int width, bool populate)
        : FContext(c), FWidth(width), FPopulate(populate) {
        FThread = std::thread([this] { Run(); });
    }
    // Reduces every row counted so far, then ends the thread; rows never counted stay as they are.
    ~TGreyReducer() {
        FEnded.store(true, std::memory_order_release);
        Wake();
        FThread.join();
    }
    TGreyReducer(const TGreyReducer&) = delete;
    TGreyReducer& operator=(const TGreyReducer&) = delete;

    // Row `row` of the output holds its greys.
    void Counted(JDIMENSION row) {
        FCounted.store(row + 1, std::memory_order_release);
        Wake();
    }
    // Returns when the rows before `rows` are reduced.
    void WaitFor(JDIMENSION rows) {
        for (JDIMENSION done = FDone.load(std::memory_order_acquire); done < rows;
             done = FDone.load(std::memory_order_acquire))
            FDone.wait(done, std::memory_order_acquire);
    }
    static void WaitFor(void* reducer, int rows) {
        static_cast<TGreyReducer*>(reducer)->WaitFor(static_cast<JDIMENSION>(rows));
    }

private:
    void Wake() {
        FSignal.fetch_add(1, std::memory_order_release);
        FSignal.notify_one();
    }
    void Populate() const {
#ifdef MADV_POPULATE_WRITE
        const JDIMENSION height = FContext.Info.output_height;
        if (!FPopulate || height == 0) return;
        const ptrdiff_t step = FContext.RowStep;
        const uint8_t* first = FContext.TopRow + (step < 0 ? static_cast<ptrdiff_t>(height - 1) * step : 0);
        const size_t span = static_cast<size_t>(step < 0 ? -step : step) * static_cast<size_t>(height - 1) +
                            static_cast<size_t>(FWidth);
        const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
        const uintptr_t begin = reinterpret_cast<uintptr_t>(first) & ~(page - 1);
        const uintptr_t end = (reinterpret_cast<uintptr_t>(first) + span + page - 1) & ~(page - 1);
        // Only an optimisation: an older kernel refuses it, and the pages then fault in as written.
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#endif
    }
    void Run() {
        Populate();
        JDIMENSION row = 0;
        for (;;) {
            const unsigned signal = FSignal.load(std::memory_order_acquire);
            const bool ended = FEnded.load(std::memory_order_acquire);
            const JDIMENSION counted = FCounted.load(std::memory_order_acquire);
            for (; row < counted; ++row) {
                JSAMPROW out = FContext.TopRow + static_cast<ptrdiff_t>(row) * FContext.RowStep;
                GreyDither::Row(out, out, FWidth, FContext.DitherErrors, FContext.OddRow);
                FContext.OddRow = !FContext.OddRow;
                FDone.store(row + 1, std::memory_order_release);
                FDone.notify_all();
            }
            if (ended) return;
            FSignal.wait(signal, std::memory_order_acquire);
        }
    }

    TJPEGContext& FContext;
    const int FWidth;
    const bool FPopulate;
    std::atomic<JDIMENSION> FCounted{0}, FDone{0};
    std::atomic<unsigned> FSignal{0};
    std::atomic<bool> FEnded{false};
    std::thread FThread;
};

namespace {

extern "C" {
static void ErrorExit(j_common_ptr cinfo) {
    auto* error = reinterpret_cast<TErrorManager*>(cinfo->err);
    error->Code = error->Pub.msg_code;
    std::longjmp(error->Jump, 1);
}

// Warnings and trace messages are neither shown nor kept.
static void EmitMessage(j_common_ptr, int) {}
static void OutputMessage(j_common_ptr) {}
static void FormatMessage(j_common_ptr, char* buffer) {
    buffer[0] = '\0';
}
static void ResetErrorManager(j_common_ptr cinfo) {
    cinfo->err->num_warnings = 0;
    cinfo->err->msg_code = 0;
}

static void InitSource(j_decompress_ptr) {}

// Hands out the data 4096 bytes at a time. Nothing at the very start is an empty input; running out
// later supplies an end-of-image marker, so a truncated file decodes as far as it goes.
static boolean FillInputBuffer(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<TSourceManager*>(cinfo->src);
    if (src->Position >= src->Size) {
        if (src->Position == 0) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->FakeEOI[0] = 0xFF;
        src->FakeEOI[1] = JPEG_EOI;
        src->Pub.next_input_byte = src->FakeEOI;
        src->Pub.bytes_in_buffer = 2;
        return TRUE;
    }
    size_t n = src->Size - src->Position < kSourceChunk ? src->Size - src->Position : kSourceChunk;
    src->Pub.next_input_byte = src->Data + src->Position;
    src->Pub.bytes_in_buffer = n;
    src->Position += n;
    return TRUE;
}

static void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    while (static_cast<size_t>(count) > src->bytes_in_buffer) {
        count -= static_cast<long>(src->bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

static void TermSource(j_decompress_ptr) {}

// The library has updated its pass counters. The handler's own frames have all returned before any
// jump is made from here.
static void ProgressMonitor(j_common_ptr cinfo) {
    auto* c = static_cast<TJPEGContext*>(cinfo->client_data);
    if (!c->OnProgress) return;
    const jpeg_progress_mgr& p = c->Progress;
    const double pass = p.pass_limit > 0 ? static_cast<double>(p.pass_counter) / p.pass_limit : 0;
    TJPEGProgressInfo info;
    info.Percent =
        p.total_passes > 0 ? static_cast<int>((pass + p.completed_passes) * 100 / p.total_passes) : 0;
    info.Rows = c->ReadingRows ? static_cast<int>(c->Info.output_scanline) : 0;
    if (c->Reducer && c->ReadingRows) {
        info.Wait = &TGreyReducer::WaitFor;
        info.WaitContext = c->Reducer;
    }
    try {
        c->OnProgress(info);
    } catch (...) {
        c->HandlerError = std::current_exception();
    }
    if (c->HandlerError) std::longjmp(c->Error.Jump, 1);
}
}

// The stages of the life cycle that may fail.

void CreateStage(TJPEGContext* c) {
    jpeg_create_decompress(&c->Info);
    c->Created = true;
    c->Info.src = &c->Source.Pub;
    c->Info.progress = &c->Progress;
    // The library asks for backing store once its large arrays would pass the limit, and this build
    // has none: it fails with its no-backing-store error rather than allocating without bound.
    c->Info.mem->max_memory_to_use = c->MemoryLimit;
}

void HeaderStage(TJPEGContext* c) {
    jpeg_read_header(&c->Info, TRUE);
    c->MultipleScans = jpeg_has_multiple_scans(&c->Info);
}

// Takes from the library's memory what its own one-pass quantiser would take (its state, colour map,
// index table and error row, and the strip it reduces from, which becomes our grey row), so that the
// memory limit on the coefficient buffers is reached exactly where it would be with the library's pass.
void ReserveQuantizerMemory(TJPEGContext* c) {
    jpeg_decompress_struct& d = c->Info;
    auto* common = reinterpret_cast<j_common_ptr>(&d);
    jpeg_calc_output_dimensions(&d);
    const JDIMENSION width = d.output_width;
    constexpr size_t kQuantizerState = 152; // the library's record of its quantiser on this platform
    (*d.mem->alloc_small)(common, JPOOL_IMAGE, kQuantizerState);
    (*d.mem->alloc_sarray)(common, JPOOL_IMAGE, GreyDither::kLevels, 1);
    (*d.mem->alloc_sarray)(common, JPOOL_IMAGE, 256, 1);
    const size_t errorBytes = (size_t{width} + 2) * sizeof(int16_t);
    c->DitherErrors = static_cast<int16_t*>((*d.mem->alloc_large)(common, JPOOL_IMAGE, errorBytes));
    std::memset(c->DitherErrors, 0, errorBytes);
    c->GreyRow =
        (*d.mem->alloc_sarray)(common, JPOOL_IMAGE, width, static_cast<JDIMENSION>(d.max_v_samp_factor))[0];
    c->OddRow = false;
}

void StartStage(TJPEGContext* c) {
    jpeg_decompress_struct& d = c->Info;
    const TJPEGDecodeSettings& s = c->Settings;
    d.scale_num = 1;
    d.scale_denom = static_cast<unsigned>(s.ScaleDenominator);
    d.do_block_smoothing = s.Smoothing;
    if (s.Grayscale)
        d.out_color_space = JCS_GRAYSCALE;
    else if (d.out_color_space == JCS_RGB)
        d.out_color_space = JCS_EXT_BGR; // a 24-bit bitmap row stores blue, green, red
    if (d.out_color_space == JCS_GRAYSCALE && !s.BestSpeed) {
        // Greys get the library's one-pass error diffusion to 236 levels, done by our faster pass.
        c->GreyDither = true;
    } else if (s.EightBit || d.out_color_space == JCS_GRAYSCALE) {
        d.quantize_colors = TRUE;
        d.desired_number_of_colors = 236;
    }
    if (s.BestSpeed) {
        d.dct_method = JDCT_IFAST;
        d.two_pass_quantize = FALSE;
        d.dither_mode = JDITHER_ORDERED;
    } else {
        d.dct_method = JDCT_FLOAT; // this build's default is the integer transform
    }
    if (c->GreyDither) ReserveQuantizerMemory(c);
    jpeg_start_decompress(&d);
}

void RowsStage(TJPEGContext* c) {
    jpeg_decompress_struct& d = c->Info;
    c->ReadingRows = true;
    const bool cmyk = !d.quantize_colors && d.out_color_space == JCS_CMYK;
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = c->TopRow + static_cast<ptrdiff_t>(d.output_scanline) * c->RowStep;
        JSAMPROW read = c->GreyDither ? c->GreyRow : row;
        if (jpeg_read_scanlines(&d, &read, 1) != 1) break;
        if (c->Reducer) {
            // Copied rather than read in place, so that a row the library fails in stays untouched.
            std::memcpy(row, c->GreyRow, d.output_width);
            c->Reducer->Counted(d.output_scanline - 1);
        } else if (c->GreyDither) {
            GreyDither::Row(c->GreyRow, row, static_cast<int>(d.output_width), c->DitherErrors, c->OddRow);
            c->OddRow = !c->OddRow;
        }
        if (cmyk) {
            // The library hands out CMYK as stored in Adobe files, where 255 means no ink.
            for (JDIMENSION x = 0; x < d.output_width; ++x) {
                JSAMPLE* p = row + 4 * x;
                unsigned k = p[3];
                JSAMPLE r = static_cast<JSAMPLE>(p[0] * k / 255), g = static_cast<JSAMPLE>(p[1] * k / 255),
                        b = static_cast<JSAMPLE>(p[2] * k / 255);
                p[0] = b;
                p[1] = g;
                p[2] = r;
                p[3] = 0xFF;
            }
        }
    }
}

void FinishStage(TJPEGContext* c) {
    jpeg_finish_decompress(&c->Info);
}

using TStage = void (*)(TJPEGContext*);

// Runs one stage with the error jump armed; false when the library raised a fatal error, whose code is
// then in the error manager. See the top of the file for why nothing here may have a destructor.
[[gnu::noinline]] bool Guarded(TJPEGContext* context, TStage stage) {
    if (setjmp(context->Error.Jump) != 0) return false;
    stage(context);
    return true;
}

void Run(TJPEGContext* context, TStage stage) {
    bool done = Guarded(context, stage);
    context->ReadingRows = false;
    if (context->HandlerError) std::rethrow_exception(std::exchange(context->HandlerError, nullptr));
    if (!done) throw JPEGError(TJPEGDecompressor::MessageNumber(context->Error.Code));
}

} // namespace

int TJPEGDecompressor::MessageNumber(int code) {
    // Release 6b had no arithmetic decoding and said so; this build decodes it and may instead miss a
    // table.
    if (code == JERR_NO_ARITH_TABLE) return JERR_ARITH_NOTIMPL;
    return code;
}

TJPEGDecompressor::TJPEGDecompressor(std::span<const uint8_t> data, size_t memoryLimit)
    : FContext(std::make_unique<TJPEGContext>()) {
    TJPEGContext* c = FContext.get();
    jpeg_std_error(&c->Error.Pub);
    c->Error.Pub.error_exit = ErrorExit;
    c->Error.Pub.emit_message = EmitMessage;
    c->Error.Pub.output_message = OutputMessage;
    c->Error.Pub.format_message = FormatMessage;
    c->Error.Pub.reset_error_mgr = ResetErrorManager;
    c->Error.Code = 0;
    c->Info.err = &c->Error.Pub;
    c->Source.Pub.init_source = InitSource;
    c->Source.Pub.fill_input_buffer = FillInputBuffer;
    c->Source.Pub.skip_input_data = SkipInputData;
    c->Source.Pub.resync_to_restart = jpeg_resync_to_restart;
    c->Source.Pub.term_source = TermSource;
    c->Source.Pub.next_input_byte = nullptr;
    c->Source.Pub.bytes_in_buffer = 0;
    c->Source.Data = data.data();
    c->Source.Size = data.size();
    c->Source.Position = 0;
    c->Created = false;
    c->MemoryLimit = static_cast<long>(memoryLimit);
    c->MultipleScans = false;
    c->TopRow = nullptr;
    c->Reducer = nullptr;
    c->RowStep = 0;
    c->GreyDither = false;
    c->OddRow = false;
    c->GreyRow = nullptr;
    c->DitherErrors = nullptr;
    c->Info.client_data = c;
    c->Progress.progress_monitor = ProgressMonitor;
    c->Progress.pass_counter = c->Progress.pass_limit = 0;
    c->Progress.completed_passes = 0;
    c->Progress.total_passes = 1;
    c->ReadingRows = false;
    Run(c, CreateStage);
}

TJPEGDecompressor::~TJPEGDecompressor() {
    // Also after an error: destroying releases everything the library allocated.
    if (FContext->Created) jpeg_destroy_decompress(&FContext->Info);
}

TJPEGHeaderInfo TJPEGDecompressor::ReadHeader() {
    TJPEGContext* c = FContext.get();
    Run(c, HeaderStage);
    TJPEGHeaderInfo info;
    info.Width = static_cast<int>(c->Info.image_width);
    info.Height = static_cast<int>(c->Info.image_height);
    info.Grayscale = c->Info.jpeg_color_space == JCS_GRAYSCALE;
    info.Progressive = c->MultipleScans;
    return info;
}

TJPEGOutputInfo TJPEGDecompressor::Start(const TJPEGDecodeSettings& settings) {
    TJPEGContext* c = FContext.get();
    c->Settings = settings;
    Run(c, StartStage);
    const jpeg_decompress_struct& d = c->Info;
    TJPEGOutputInfo out;
    out.Width = static_cast<int>(d.output_width);
    out.Height = static_cast<int>(d.output_height);
    out.BitsPerPixel = d.quantize_colors || c->GreyDither ? 8 : d.out_color_space == JCS_CMYK ? 32 : 24;
    if (c->GreyDither) {
        for (uint8_t v : GreyDither::Levels())
            out.ColorMap.push_back({v, v, v, 0});
    } else if (d.quantize_colors && d.colormap) {
        const bool grey = d.out_color_components == 1;
        for (int i = 0; i < d.actual_number_of_colors; ++i) {
            if (grey) {
                JSAMPLE v = d.colormap[0][i];
                out.ColorMap.push_back({v, v, v, 0});
            } else {
                out.ColorMap.push_back({d.colormap[0][i], d.colormap[1][i], d.colormap[2][i], 0});
            }
        }
    }
    return out;
}

void TJPEGDecompressor::ReadRows(uint8_t* topRow, ptrdiff_t rowStep) {
    TJPEGContext* c = FContext.get();
    c->TopRow = topRow;
    c->RowStep = rowStep;
    // Below this many pixels the pass takes less time than starting a thread.
    constexpr uint64_t kReduceApartPixels = 1 << 18;
    const jpeg_decompress_struct& d = c->Info;
    // The output is made resident at once only when the data is large enough to fill it plausibly: a
    // file whose header claims far more pixels than its bytes can carry costs only what it decodes.
    constexpr uint64_t kPixelsPerStoredByte = 64;
    const uint64_t pixels = uint64_t{d.output_width} * d.output_height;
    std::optional<TGreyReducer> reducer;
    if (c->GreyDither && pixels >= kReduceApartPixels)
        reducer.emplace(*c, static_cast<int>(d.output_width),
                        pixels <= uint64_t{c->Source.Size} * kPixelsPerStoredByte);
    c->Reducer = reducer ? &*reducer : nullptr;
    struct TDetach {
        TJPEGContext* Context;
        ~TDetach() { Context->Reducer = nullptr; }
    } detach{c};
    Run(c, RowsStage);
}

void TJPEGDecompressor::SetProgressHandler(std::function<void(const TJPEGProgressInfo&)> handler) {
    FContext->OnProgress = std::move(handler);
}

void TJPEGDecompressor::Finish() {
    Run(FContext.get(), FinishStage);
}
