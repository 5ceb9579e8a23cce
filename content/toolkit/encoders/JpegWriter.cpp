// JPEG files through libjpeg's compressor, driven through its plain life cycle.
#include "content/toolkit/encoders/JpegWriter.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>

namespace {

[[noreturn]] void JpegFail(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    // The encoder only ever sees pictures we computed; a failure is a defect of the caller.
    std::fprintf(stderr, "JPEG encoder: %s\n", message);
    std::abort();
}

// One row of samples from pixels in the layout the options give.
void Samples(const uint32_t* pixels, int width, const JpegOptions& o, JSAMPLE* row) {
    for (int x = 0; x < width; ++x) {
        const uint32_t p = pixels[x];
        if (o.Grey) {
            row[x] = static_cast<JSAMPLE>(p & 0xFF);
        } else if (o.CMYK) {
            // Adobe's inverted CMYK, as decoders read it: 255 is no ink, so the colour passes as is.
            row[4 * x] = static_cast<JSAMPLE>(p >> 16);
            row[4 * x + 1] = static_cast<JSAMPLE>(p >> 8);
            row[4 * x + 2] = static_cast<JSAMPLE>(p);
            row[4 * x + 3] = 255;
        } else {
            row[3 * x] = static_cast<JSAMPLE>(p >> 16);
            row[3 * x + 1] = static_cast<JSAMPLE>(p >> 8);
            row[3 * x + 2] = static_cast<JSAMPLE>(p);
        }
    }
}

} // namespace

std::vector<uint8_t> EncodeJpeg(const PixelImage& image, const JpegOptions& o) {
    jpeg_compress_struct c{};
    jpeg_error_mgr error{};
    c.err = jpeg_std_error(&error);
    error.error_exit = JpegFail;
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(image.Width);
    c.image_height = static_cast<JDIMENSION>(image.Height);
    c.input_components = o.Grey ? 1 : o.CMYK ? 4 : 3;
    c.in_color_space = o.Grey ? JCS_GRAYSCALE : o.CMYK ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, o.Quality, TRUE);
    if (o.DotsPerInch > 0) {
        c.density_unit = 1;
        c.X_density = static_cast<UINT16>(o.DotsPerInch);
        c.Y_density = static_cast<UINT16>(o.DotsPerInch);
    }
    if (!o.Grey && !o.Subsample)
        for (int i = 0; i < c.num_components; ++i)
            c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    if (o.Progressive) jpeg_simple_progression(&c);
    c.arith_code = o.Arithmetic ? TRUE : FALSE;
    c.optimize_coding = o.OptimizeCoding ? TRUE : FALSE;
    c.restart_interval = static_cast<unsigned>(o.RestartInterval);
    jpeg_start_compress(&c, TRUE);
    if (o.Exif) {
        std::vector<uint8_t> app1 = {'E', 'x', 'i', 'f', 0, 0};
        app1.insert(app1.end(), o.Exif->begin(), o.Exif->end());
        jpeg_write_marker(&c, JPEG_APP0 + 1, app1.data(), static_cast<unsigned>(app1.size()));
    }
    if (o.Xmp) {
        std::string app1 = std::string("http://ns.adobe.com/xap/1.0/") + '\0' + *o.Xmp;
        jpeg_write_marker(&c, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(app1.data()),
                          static_cast<unsigned>(app1.size()));
    }
    if (o.Icc) jpeg_write_icc_profile(&c, o.Icc->data(), static_cast<unsigned>(o.Icc->size()));
    std::vector<JSAMPLE> row(static_cast<size_t>(image.Width) * static_cast<size_t>(c.input_components));
    while (c.next_scanline < c.image_height) {
        Samples(image.Pixels.data() + static_cast<size_t>(c.next_scanline) * static_cast<size_t>(image.Width),
                image.Width, o, row.data());
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}
