// Reading picture data from a stream: how much the stream still holds, and reads that either get every
// byte asked for or fail with "Stream read error". Lengths taken from the data are checked against
// what remains before anything is allocated for them.
#pragma once

#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"

#include <cstdint>
#include <string>

// What the stream still holds; a stream positioned past its end holds nothing.
inline uint64_t BytesRemaining(TStream& stream) {
    int64_t position = stream.Position(), size = stream.Size();
    return size > position ? static_cast<uint64_t>(size - position) : 0;
}

// Exactly count bytes into buffer, or EReadError.
inline void ReadExact(TStream& stream, void* buffer, uint64_t count) {
    if (count == 0) return;
    if (count > BytesRemaining(stream) || stream.Read(buffer, count) != count)
        throw EReadError(std::string(SConsts::SReadError));
}
