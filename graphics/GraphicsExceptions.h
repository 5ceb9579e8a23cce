// The failures of the picture kinds that have their own exception class. Both are invalid graphics, so
// a handler for EInvalidGraphic sees every picture failure.
#pragma once

#include "stream/Exceptions.h"

// A fatal libjpeg error, raised as "JPEG error #n" with the library's message code.
ORV_DECLARE_EXCEPTION(EJPEG, EInvalidGraphic);
// A GIF file that cannot be read.
ORV_DECLARE_EXCEPTION(GIFException, EInvalidGraphic);
