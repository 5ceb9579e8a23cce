// orv_fuzz_corpus OUTDIR [DEFINITION...]: writes the fuzzers' seed corpus, one folder per target
// (loader, bitmap, gif, jpeg), from the program's own writers: definitions written with the stream
// writer (and any compiled definitions given, such as the course), bitmaps and icons written field by
// field, GIF files from our LZW encoder and JPEG files from libjpeg. Every seed is read back through
// the program's readers first and must give what was written; a seed that does not is an error, so
// the corpus never starts from files the readers reject at their first bytes.
#include "app/TForm1.h"
#include "content/toolkit/encoders/BitmapWriter.h"
#include "content/toolkit/encoders/GifWriter.h"
#include "content/toolkit/encoders/JpegWriter.h"
#include "content/toolkit/encoders/SampleScene.h"
#include "graphics/StoredPicture.h"
#include "graphics/TBitmap.h"
#include "graphics/TGIFImage.h"
#include "graphics/TIcon.h"
#include "graphics/TJPEGImage.h"
#include "stream/ResourceTable.h"
#include "stream/TStream.h"
#include "stream/TWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int gSeeds = 0;

void Check(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error("seed does not read back: " + what);
}

void Save(const fs::path& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + (dir / name).string());
    ++gSeeds;
}

std::vector<uint32_t> Palette(int entries, uint32_t seed) {
    PixelImage ramp = MakeScene(entries, 1, 0, seed);
    return ramp.Pixels;
}

uint32_t Opaque(uint32_t rgb) {
    return 0xFF000000u | rgb;
}

// ---- Bitmaps and icons ----

std::vector<uint8_t> CheckedBMP(const PixelImage& image, const BitmapOptions& o, const std::string& name) {
    std::vector<uint8_t> file = EncodeBitmap(image, o);
    TBitmap bitmap;
    TMemoryStream stream(file);
    bitmap.LoadFromStream(stream);
    Check(bitmap.Width() == image.Width && bitmap.Height() == image.Height &&
              bitmap.BitsPerPixel() == o.BitsPerPixel,
          name + ": size or depth");
    std::vector<uint32_t> pixels = bitmap.ToBGRA();
    for (size_t i = 0; i < pixels.size(); ++i) {
        uint32_t want = o.BitsPerPixel <= 8 ? Opaque(o.ColorTable.at(image.Pixels[i]))
                                            : Opaque(image.Pixels[i] & 0xFFFFFF);
        uint32_t got = pixels[i];
        if (o.BitsPerPixel == 16) {
            // Five or six bits a channel: each channel within the step of its field.
            for (int shift : {0, 8, 16})
                Check(std::abs(static_cast<int>(want >> shift & 0xFF) -
                               static_cast<int>(got >> shift & 0xFF)) <= 8,
                      name + ": pixel " + std::to_string(i));
        } else {
            Check(got == want, name + ": pixel " + std::to_string(i));
        }
    }
    return file;
}

void WriteBitmaps(const fs::path& dir) {
    const PixelImage colour = MakeScene(23, 13, 0, 3);
    Save(dir, "rgb24.bmp", CheckedBMP(colour, {}, "rgb24"));
    Save(dir, "rgb24-topdown.bmp", CheckedBMP(colour, {.TopDown = true}, "rgb24-topdown"));
    Save(dir, "rgb32.bmp", CheckedBMP(colour, {.BitsPerPixel = 32}, "rgb32"));
    Save(dir, "rgb32-fields.bmp",
         CheckedBMP(colour, {.BitsPerPixel = 32, .BitFields = true}, "rgb32-fields"));
    Save(dir, "rgb555.bmp", CheckedBMP(colour, {.BitsPerPixel = 16}, "rgb555"));
    Save(dir, "rgb565.bmp", CheckedBMP(colour, {.BitsPerPixel = 16, .BitFields = true}, "rgb565"));
    for (int bpp : {1, 4, 8}) {
        const PixelImage indexed = MakeScene(19, 11, 1 << bpp, 5);
        const std::string name = "indexed" + std::to_string(bpp);
        Save(dir, name + ".bmp",
             CheckedBMP(indexed, {.BitsPerPixel = bpp, .ColorTable = Palette(1 << bpp, 7)}, name));
        Save(dir, name + "-core.bmp",
             CheckedBMP(indexed,
                        {.BitsPerPixel = bpp, .CoreHeader = true, .ColorTable = Palette(1 << bpp, 7)},
                        name + "-core"));
    }
    // Stored bitmap data: a 4-byte length in front of the file.
    Save(dir, "stored.bin", WithLength(EncodeBitmap(MakeScene(9, 7, 0, 2))));
}

std::vector<uint8_t> CheckedICO(std::span<const IconImage> images, const std::string& name) {
    std::vector<uint8_t> file = EncodeIcon(images);
    TIcon icon;
    TMemoryStream stream(file);
    icon.LoadFromStream(stream);
    Check(icon.Entries().size() == images.size(), name + ": entries");
    const TBitmap* bitmap = icon.DecodedBitmap();
    Check(bitmap && bitmap->Width() == icon.Width() && bitmap->Height() == icon.Height(), name + ": image");
    // The image chosen for the large-icon size, with alpha 0 where its mask is set.
    auto chosen = std::find_if(images.begin(), images.end(),
                               [&](const IconImage& i) { return i.Image.Width == icon.Width(); });
    Check(chosen != images.end(), name + ": chosen size");
    std::vector<uint32_t> pixels = bitmap->ToBGRA();
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t p = chosen->Image.Pixels[i];
        const bool masked = !chosen->Transparent.empty() ? chosen->Transparent[i] != 0
                                                         : chosen->BitsPerPixel == 32 && (p >> 24) == 0;
        const uint32_t rgb = chosen->BitsPerPixel == 32 ? p & 0xFFFFFF : chosen->ColorTable.at(p);
        Check(masked ? (pixels[i] >> 24) == 0 : pixels[i] == Opaque(rgb),
              name + ": pixel " + std::to_string(i));
    }
    return file;
}

std::vector<IconImage> SampleIcons() {
    IconImage large{.Image = MakeScene(32, 32, 0, 11), .BitsPerPixel = 32};
    for (size_t i = 0; i < large.Image.Pixels.size(); ++i)
        large.Image.Pixels[i] |= (i % 32 < 4 ? 0u : 0xFFu) << 24; // a transparent band on the left
    IconImage small{MakeScene(16, 16, 16, 12), 4, Palette(16, 13), {}};
    for (uint32_t index : small.Image.Pixels)
        small.Transparent.push_back(index == 0); // index 0 is left clear
    return {large, small};
}

void WriteIcons(const fs::path& dir) {
    std::vector<IconImage> icons = SampleIcons();
    Save(dir, "icon-2.ico", CheckedICO(icons, "icon-2"));
    Save(dir, "icon-4bit.ico", CheckedICO(std::span(icons).subspan(1), "icon-4bit"));
}

// ---- GIF ----

std::vector<uint8_t> CheckedGIF(std::span<const GifFrame> frames, const GifOptions& o,
                                const std::string& name) {
    std::vector<uint8_t> file = EncodeGif(frames, o);
    TGIFImage gif;
    TMemoryStream stream(file);
    gif.LoadFromStream(stream);
    Check(gif.Images().size() == frames.size(), name + ": frame count");
    for (size_t f = 0; f < frames.size(); ++f) {
        const std::vector<uint8_t>& data = gif.Images()[f]->Data();
        const std::vector<uint32_t>& want = frames[f].Image.Pixels;
        Check(data.size() == want.size(), name + ": frame size");
        for (size_t i = 0; i < data.size(); ++i)
            Check(data[i] == want[i], name + ": frame " + std::to_string(f) + " pixel " + std::to_string(i));
    }
    const TBitmap* first = gif.DecodedBitmap();
    Check(first && first->Width() == frames[0].Image.Width, name + ": first frame's bitmap");
    return file;
}

void WriteGIFs(const fs::path& dir) {
    const std::vector<uint32_t> table256 = Palette(256, 21), table4 = Palette(4, 22);
    const GifFrame plain{.Image = MakeScene(37, 21, 256, 23)};
    Save(dir, "plain-256.gif", CheckedGIF(std::span(&plain, 1), {.GlobalTable = table256}, "plain-256"));
    Save(dir, "plain-87a.gif",
         CheckedGIF(std::span(&plain, 1), {.Version = "87a", .GlobalTable = table256}, "plain-87a"));
    // Code widths up to 12 bits, with the table filling and clearing, on a long grainy frame.
    const GifFrame noisy{.Image = MakeScene(160, 90, 256, 24)};
    Save(dir, "full-table.gif", CheckedGIF(std::span(&noisy, 1), {.GlobalTable = table256}, "full-table"));
    const GifFrame small{
        .Image = MakeScene(13, 9, 4, 25), .Interlaced = true, .TransparentIndex = 2, .ClearEvery = 7};
    Save(dir, "interlaced-transparent.gif",
         CheckedGIF(std::span(&small, 1), {.GlobalTable = table4, .BackgroundIndex = 1},
                    "interlaced-transparent"));
    std::vector<GifFrame> animation = {
        {.Image = MakeScene(12, 8, 16, 26), .DelayCs = 10, .LocalTable = Palette(16, 27)},
        {.Image = MakeScene(6, 5, 4, 28), .Left = 3, .Top = 2, .TransparentIndex = 0, .DelayCs = 10},
    };
    Save(dir, "animation.gif",
         CheckedGIF(animation,
                    {.ScreenWidth = 12,
                     .ScreenHeight = 8,
                     .GlobalTable = table4,
                     .Comment = "seed",
                     .LoopExtension = true},
                    "animation"));
    const GifFrame offset{.Image = MakeScene(10, 6, 4, 29), .Left = 4, .Top = 3, .TransparentIndex = 1};
    Save(dir, "frame-offset.gif",
         CheckedGIF(std::span(&offset, 1), {.ScreenWidth = 20, .ScreenHeight = 12, .GlobalTable = table4},
                    "frame-offset"));
}

// ---- JPEG ----

std::vector<uint8_t> CheckedJPEG(const PixelImage& image, bool grey, JpegOptions o, const std::string& name) {
    o.Grey = grey;
    std::vector<uint8_t> file = EncodeJpeg(image, o);
    TJPEGImage jpeg;
    TMemoryStream stream(file);
    jpeg.LoadFromStream(stream);
    Check(jpeg.Width() == image.Width && jpeg.Height() == image.Height && jpeg.HeaderGrayscale() == grey,
          name + ": header");
    const TBitmap* bitmap = jpeg.DecodedBitmap();
    Check(bitmap && bitmap->Width() == image.Width, name + ": decoding");
    // Lossy, but close on average: each channel within a few levels of what was encoded.
    std::vector<uint32_t> pixels = bitmap->ToBGRA();
    int64_t error = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
        for (int shift : {0, 8, 16}) {
            int want = static_cast<int>(image.Pixels[i] >> (grey ? 0 : shift) & 0xFF);
            error += std::abs(want - static_cast<int>(pixels[i] >> shift & 0xFF));
        }
    Check(error <= static_cast<int64_t>(pixels.size()) * 3 * 12, name + ": pixels");
    return file;
}

void WriteJPEGs(const fs::path& dir) {
    const PixelImage colour = MakeScene(48, 32, 0, 31), odd = MakeScene(37, 19, 0, 32);
    Save(dir, "baseline.jpg", CheckedJPEG(colour, false, {}, "baseline"));
    Save(dir, "odd-size-444.jpg",
         CheckedJPEG(odd, false, {.Quality = 90, .Subsample = false}, "odd-size-444"));
    Save(dir, "grey.jpg", CheckedJPEG(colour, true, {}, "grey"));
    Save(dir, "progressive.jpg", CheckedJPEG(colour, false, {.Progressive = true}, "progressive"));
    Save(dir, "progressive-grey.jpg", CheckedJPEG(odd, true, {.Progressive = true}, "progressive-grey"));
    Save(dir, "arithmetic.jpg", CheckedJPEG(colour, false, {.Arithmetic = true}, "arithmetic"));
    Save(dir, "restarts.jpg",
         CheckedJPEG(colour, false, {.OptimizeCoding = true, .RestartInterval = 2}, "restarts"));
    Save(dir, "cmyk.jpg", CheckedJPEG(odd, false, {.CMYK = true}, "cmyk"));
    Save(dir, "stored.bin", WithLength(EncodeJpeg(MakeScene(16, 16, 0, 33))));
}

// ---- Definitions ----

void Image(TWriter& w, std::string_view name, const std::vector<uint8_t>& picture, std::string_view flag) {
    w.WriteComponentHeader("TImage", name);
    w.WritePropName("Left");
    w.WriteInteger(8);
    w.WritePropName("Width");
    w.WriteInteger(120);
    w.WritePropName("Height");
    w.WriteInteger(90);
    w.WritePropName(flag);
    w.WriteBoolean(true);
    w.WritePropName("Picture.Data");
    w.WriteBinary(picture);
    w.WriteListEnd();
    w.WriteListEnd();
}

void Strings(TWriter& w, std::string_view path, std::initializer_list<std::string_view> lines) {
    w.WritePropName(path);
    w.WriteListBegin();
    for (std::string_view line : lines)
        w.WriteString(line);
    w.WriteListEnd();
}

// A form with one control of each kind the course uses, and a picture of each kind.
std::vector<uint8_t> SampleDefinition() {
    TWriter w;
    w.WriteSignature();
    w.WriteComponentHeader("TForm1", "Form1");
    w.WritePropName("Caption");
    w.WriteString("Orvanta");
    w.WritePropName("Color");
    w.WriteIdent("clBtnFace");
    w.WritePropName("Font.Style");
    w.WriteSet({"fsBold"});
    w.WritePropName("Icon.Data");
    w.WriteBinary(EncodeIcon(SampleIcons()));
    w.WritePropName("TextHeight");
    w.WriteInteger(13);
    w.WriteListEnd();
    w.WriteComponentHeader("TPageControl", "PageControl1");
    w.WritePropName("ActivePage");
    w.WriteIdent("TabSheet1");
    w.WritePropName("OnChange");
    w.WriteIdent("PageControl1Change");
    w.WriteListEnd();
    w.WriteComponentHeader("TTabSheet", "TabSheet1");
    w.WritePropName("Caption");
    w.WriteString("Imágenes");
    w.WriteListEnd();
    Image(w, "Image40", StoredPictureData(EncodeBitmap(MakeScene(30, 20, 0, 41))), "Stretch");
    Image(w, "Image41", StoredPictureData(EncodeJpeg(MakeScene(40, 24, 0, 42))), "Proportional");
    const GifFrame frame{.Image = MakeScene(20, 12, 16, 43), .TransparentIndex = 3};
    Image(w, "Image42", StoredPictureData(EncodeGif(std::span(&frame, 1), {.GlobalTable = Palette(16, 44)})),
          "Center");
    w.WriteComponentHeader("TLabel", "Label3");
    w.WritePropName("Caption");
    w.WriteString("Sensores remotos");
    w.WritePropName("WordWrap");
    w.WriteBoolean(true);
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteComponentHeader("TListBox", "ListBox1");
    Strings(w, "Items.Strings", {"Landsat", "", "canción"});
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteComponentHeader("TMemo", "Memo1");
    Strings(w, "Lines.Strings", {"Primera línea", "Segunda"});
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteComponentHeader("TRichEdit", "RichEdit1");
    Strings(w, "Lines.Strings", {R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0\fs20 Hola \b mundo\b0\par})"});
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteComponentHeader("TStaticText", "StaticText1");
    w.WritePropName("Caption");
    w.WriteString("&Texto");
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd(); // TabSheet1's children
    w.WriteListEnd(); // PageControl1's children
    w.WriteComponentHeader("TStatusBar", "StatusBar1");
    w.WritePropName("Panels");
    w.WriteCollectionBegin();
    w.WriteListEnd();
    w.WritePropName("SimplePanel");
    w.WriteBoolean(true);
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd(); // the form's children
    return w.TakeBytes();
}

void CheckDefinition(const std::vector<uint8_t>& bytes, const std::string& name) {
    Resources::Register(Resources::RT_RCDATA, "TFORM1", bytes);
    try {
        TForm1 form(nullptr);
        Check(form.ComponentCount() > 0, name + ": components");
    } catch (const std::exception& e) {
        Resources::Unregister(Resources::RT_RCDATA, "TFORM1");
        Check(false, name + ": " + e.what());
    }
    Resources::Unregister(Resources::RT_RCDATA, "TFORM1");
}

void WriteDefinitions(const fs::path& dir, const std::vector<std::string>& given) {
    std::vector<uint8_t> sample = SampleDefinition();
    CheckDefinition(sample, "sample");
    Save(dir, "sample.bin", sample);
    for (const std::string& path : given) {
        std::ifstream in(path, std::ios::binary);
        if (!in) throw std::runtime_error("cannot open " + path);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        CheckDefinition(bytes, path);
        Save(dir, fs::path(path).filename().string(), bytes);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: orv_fuzz_corpus OUTDIR [DEFINITION...]\n", stderr);
        return 2;
    }
    const fs::path out = argv[1];
    try {
        WriteDefinitions(out / "loader", std::vector<std::string>(argv + 2, argv + argc));
        WriteBitmaps(out / "bitmap");
        WriteIcons(out / "bitmap");
        WriteGIFs(out / "gif");
        WriteJPEGs(out / "jpeg");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orv_fuzz_corpus: %s\n", e.what());
        return 1;
    }
    std::printf("%d seeds in %s\n", gSeeds, out.string().c_str());
    return 0;
}
