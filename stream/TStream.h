// Byte streams: the abstract stream the reader pulls from, a read-only view over bytes held elsewhere
// (a resource, a file loaded into memory) and a growable memory stream that owns its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }
    // The stream's length. The default seeks to the end and back; streams that know it answer directly.
    virtual int64_t Size();
};

// Bytes held elsewhere and what keeps them alive. Lasting bytes stay valid and unchanged for as long
// as Keeper is held; without a keeper they last the whole run (the executable's own read-only data).
// Bytes that are not lasting are valid only while whoever lent them says so: nothing may keep them.
struct TByteView {
    std::span<const uint8_t> Bytes;
    std::shared_ptr<const void> Keeper;
    bool Lasting = false;
};

// Read-only stream over bytes owned by someone else; the bytes must outlive the stream. Over lasting
// bytes, readers may keep views of what they read instead of copying it.
class TCustomMemoryStream : public TStream {
public:
    TCustomMemoryStream() = default;
    explicit TCustomMemoryStream(std::span<const uint8_t> bytes) : FData(bytes) {}
    explicit TCustomMemoryStream(TByteView bytes)
        : FData(bytes.Bytes), FKeeper(std::move(bytes.Keeper)), FLasting(bytes.Lasting) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void*, size_t) override { return 0; }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;

    int64_t Size() override { return static_cast<int64_t>(FData.size()); }
    std::span<const uint8_t> Memory() const { return FData; }
    bool Lasting() const { return FLasting; }
    // count bytes from position (fewer at the end), lasting as the stream's bytes do. The stream's
    // position does not move.
    TByteView View(size_t position, size_t count) const;
    // The next count bytes by reference, moving past them; nullopt, and nothing moved, when the bytes
    // are not lasting or the stream holds fewer.
    std::optional<TByteView> ReadInPlace(uint64_t count);

protected:
    void SetPointer(std::span<const uint8_t> bytes) { FData = bytes; }

private:
    std::span<const uint8_t> FData;
    std::shared_ptr<const void> FKeeper;
    bool FLasting = false;
    size_t FPosition = 0;
};

// Memory stream that owns its bytes and grows on writing.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : FData(std::move(bytes)) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(FData.size()); }

    const std::vector<uint8_t>& Bytes() const { return FData; }
    std::vector<uint8_t> TakeBytes() { return std::exchange(FData, {}); }

private:
    std::vector<uint8_t> FData;
    size_t FPosition = 0;
};
