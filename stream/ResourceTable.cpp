// Resource table.
#include "stream/ResourceTable.h"

#include "stream/TextCodec.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace {
struct Entry {
    int Type;
    std::string Name;
    std::span<const uint8_t> Bytes;
};

struct Table {
    std::mutex Lock;
    std::vector<Entry> Entries;
};

Table& TheTable() {
    static Table table;
    return table;
}
} // namespace

namespace Resources {
void Register(int type, std::string_view name, std::span<const uint8_t> bytes) {
    Table& t = TheTable();
    std::lock_guard lock(t.Lock);
    for (Entry& e : t.Entries) {
        if (e.Type == type && SameText(e.Name, name)) {
            e.Bytes = bytes;
            return;
        }
    }
    t.Entries.push_back({type, std::string(name), bytes});
}

void Unregister(int type, std::string_view name) {
    Table& t = TheTable();
    std::lock_guard lock(t.Lock);
    std::erase_if(t.Entries, [&](const Entry& e) { return e.Type == type && SameText(e.Name, name); });
}

std::optional<std::span<const uint8_t>> Find(int type, std::string_view name) {
    Table& t = TheTable();
    std::lock_guard lock(t.Lock);
    for (const Entry& e : t.Entries)
        if (e.Type == type && SameText(e.Name, name)) return e.Bytes;
    return std::nullopt;
}
} // namespace Resources
