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
    TByteView Bytes;
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
    Register(type, name, TByteView{bytes, {}, false});
}

void Register(int type, std::string_view name, TByteView bytes) {
    Table& t = TheTable();
    std::lock_guard lock(t.Lock);
    for (Entry& e : t.Entries) {
        if (e.Type == type && SameText(e.Name, name)) {
            e.Bytes = std::move(bytes);
            return;
        }
    }
    t.Entries.push_back({type, std::string(name), std::move(bytes)});
}

void Unregister(int type, std::string_view name) {
    Table& t = TheTable();
    std::lock_guard lock(t.Lock);
    std::erase_if(t.Entries, [&](const Entry& e) { return e.Type == type && SameText(e.Name, name); });
}

std::optional<TByteView> FindView(int type, std::string_view name) {
    Table& t = TheTable();
    std::lock_guard lock(t.Lock);
    for (const Entry& e : t.Entries)
        if (e.Type == type && SameText(e.Name, name)) return e.Bytes;
    return std::nullopt;
}

std::optional<std::span<const uint8_t>> Find(int type, std::string_view name) {
    if (auto view = FindView(type, name)) return view->Bytes;
    return std::nullopt;
}
} // namespace Resources
