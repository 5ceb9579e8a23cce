// Message templates of the picture kinds, in one place so tests can assert the exact text.
#pragma once

#include <string_view>

namespace SGraphics {
inline constexpr std::string_view SInvalidBitmap = "Bitmap image is not valid";
inline constexpr std::string_view SInvalidIcon = "Icon image is not valid";
inline constexpr std::string_view SJPEGError = "JPEG error #%d";

// GIF reading. Errors end the reading; the rest are warnings, passed to the image's OnWarning.
inline constexpr std::string_view SGIFPrematureEndOfData = "Premature end of data";
inline constexpr std::string_view SGIFInvalidSignature = "Invalid GIF signature";
inline constexpr std::string_view SGIFInvalidData = "Invalid GIF data";
inline constexpr std::string_view SGIFCircularTableEntry = "Circular decoder table entry";
inline constexpr std::string_view SGIFUnknownExtension = "Unknown extension type";
inline constexpr std::string_view SGIFInvalidExtensionIntroducer = "Invalid extension introducer";
inline constexpr std::string_view SGIFExtensionLabelMismatch =
    "Internal error: Extension Instance does not match Extension Label";
inline constexpr std::string_view SGIFUnsupportedAppExtSize = "Unsupported Application Extension block size";
inline constexpr std::string_view SGIFInvalidImageSize = "Invalid image size";
inline constexpr std::string_view SGIFUnknownBlockType = "Unknown GIF block type";
inline constexpr std::string_view SGIFInvalidTrailer = "Invalid Image trailer";
inline constexpr std::string_view SGIFDecoderUnderrun = "Decoder bit buffer under-run";
inline constexpr std::string_view SGIFImageExceedsScreen = "Image exceeds Logical Screen size";
inline constexpr std::string_view SGIFMultipleGCE =
    "Frame contains multiple Graphic Control Extension blocks";
inline constexpr std::string_view SGIFInvalidColorIndex = "Invalid color index";

// Progress text.
inline constexpr std::string_view SGIFLoading = "Loading";
inline constexpr std::string_view SGIFRendering = "Rendering";
} // namespace SGraphics
