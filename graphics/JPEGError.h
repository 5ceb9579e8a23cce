// The exception for a fatal libjpeg error: "JPEG error #n", n being the library's message number.
#pragma once

#include "graphics/GraphicsConsts.h"
#include "graphics/GraphicsExceptions.h"
#include "stream/Consts.h"

#include <string>

inline EJPEG JPEGError(int messageNumber) {
    return EJPEG(Format(SGraphics::SJPEGError, {std::to_string(messageNumber)}));
}
