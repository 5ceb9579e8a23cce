// Colour resolution.
#include "controls/ColorToRGB.h"

#include "platform/Platform.h"

uint32_t ColorToRGB(TColor color) {
    if (color >= 0) return static_cast<uint32_t>(color);
    int index = color & 0xFF;
    // Without a platform (tools, tests) the palette the platform starts from still answers.
    const TPlatform* platform = TPlatform::Current();
    return platform ? platform->GetSysColor(index) : SysColorOf(index);
}
