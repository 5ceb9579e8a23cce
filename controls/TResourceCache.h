// The process-wide cache of platform fonts. Fonts with equal attribute records share one entry, and so
// one platform object, which is created when first needed for drawing and
// deleted when the last user releases the entry. Entries are also keyed by the thread that created
// them, so a platform object is never shared between threads.
#pragma once

#include "platform/Canvas.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <type_traits>
#include <vector>

// The 16-bit hash the cache files records under: from 0, per byte, rotate left by 5 bits and XOR the
// byte into the low byte.
uint16_t ResourceHash(std::span<const uint8_t> bytes);

// THandle is the platform object an entry realises.
template <class TRecord, class THandle> class TResourceCache {
    static_assert(std::has_unique_object_representations_v<TRecord>,
                  "records are hashed and compared by their bytes, so they must have no padding");

public:
    using THandlePtr = std::unique_ptr<THandle>;
    struct TEntry {
        std::thread::id Thread;
        uint16_t Hash;
        TRecord Record;
        int RefCount = 1;
        THandlePtr Handle{};
    };
    using TFactory = std::function<THandlePtr(const TRecord&)>;

    TResourceCache() = default;
    explicit TResourceCache(TFactory factory) : FFactory(std::move(factory)) {}
    TResourceCache(const TResourceCache&) = delete;
    TResourceCache& operator=(const TResourceCache&) = delete;

    // The entry for record on this thread, shared if one exists; each call needs a Release.
    TEntry* Acquire(const TRecord& record) {
        uint16_t hash = HashOf(record);
        std::thread::id thread = std::this_thread::get_id();
        std::lock_guard lock(FMutex);
        for (auto& entry : FEntries) {
            if (entry->Hash == hash && entry->Thread == thread &&
                std::memcmp(&entry->Record, &record, sizeof(TRecord)) == 0) {
                ++entry->RefCount;
                return entry.get();
            }
        }
        FEntries.push_back(std::make_unique<TEntry>(TEntry{thread, hash, record}));
        return FEntries.back().get();
    }

    void Release(TEntry* entry) {
        if (!entry) return;
        // The last user's entry leaves the list under the lock but is deleted after it: deleting a
        // platform object may take locks of its own.
        std::unique_ptr<TEntry> last;
        {
            std::lock_guard lock(FMutex);
            if (--entry->RefCount > 0) return;
            for (auto it = FEntries.begin(); it != FEntries.end(); ++it) {
                if (it->get() != entry) continue;
                last = std::move(*it);
                *it = std::move(FEntries.back());
                FEntries.pop_back();
                break;
            }
        }
    }

    // The entry's platform object, created on first use; null when it cannot be made (no platform).
    const THandle* Handle(TEntry* entry) {
        if (!entry) return nullptr;
        std::lock_guard lock(FMutex);
        if (!entry->Handle && FFactory) entry->Handle = FFactory(entry->Record);
        return entry->Handle.get();
    }

    int RefCount(const TEntry* entry) const {
        std::lock_guard lock(FMutex);
        return entry ? entry->RefCount : 0;
    }

    size_t Count() const {
        std::lock_guard lock(FMutex);
        return FEntries.size();
    }

    static uint16_t HashOf(const TRecord& record) {
        return ResourceHash({reinterpret_cast<const uint8_t*>(&record), sizeof(TRecord)});
    }

private:
    TFactory FFactory;
    mutable std::mutex FMutex;
    std::vector<std::unique_ptr<TEntry>> FEntries;
};

using TFontCache = TResourceCache<TLogFont, IPlatformFont>;

// The font cache of the process; fonts realise through the platform in force.
TFontCache& FontCache();
