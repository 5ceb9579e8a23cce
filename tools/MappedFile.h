// A file's bytes for reading in place: mapped read-only when the system allows it, else read into
// memory. Either way the bytes are lasting: they stay until the last view that keeps them goes, so a
// definition's pictures may refer to them for as long as they exist.
#pragma once

#include "stream/TStream.h"

#include <optional>
#include <string>

// nullopt when the file cannot be opened.
std::optional<TByteView> MapFile(const std::string& path);
