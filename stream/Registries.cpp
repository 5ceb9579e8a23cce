// The class, root and reference registries, and the per-thread loaded lists.
#include "stream/Registries.h"

#include "stream/TComponent.h"
#include "stream/TextCodec.h"

#include <algorithm>
#include <map>

namespace {
struct GlobalState {
    std::mutex Lock;
    std::vector<TGlobalFixup> Fixups;
    std::vector<TComponent*> Roots;
    std::map<std::string, const TClassInfo*> Classes; // keyed by upper-case name
};

GlobalState& Globals() {
    static GlobalState state;
    return state;
}

thread_local std::vector<std::vector<TComponent*>*> tLoadedLists;
} // namespace

std::recursive_mutex& GlobalNameSpace() {
    static std::recursive_mutex lock;
    return lock;
}

void RegisterClass(const TClassInfo& cls) {
    GlobalState& g = Globals();
    std::lock_guard lock(g.Lock);
    for (const TClassInfo* c = &cls; c && c != &TPersistent::ClassInfo; c = c->Parent)
        g.Classes.emplace(UpperCase(c->ClassName), c);
}

const TClassInfo* FindRegisteredClass(std::string_view name) {
    GlobalState& g = Globals();
    std::lock_guard lock(g.Lock);
    auto it = g.Classes.find(UpperCase(name));
    return it == g.Classes.end() ? nullptr : it->second;
}

void RegisterRoot(TComponent* root) {
    GlobalState& g = Globals();
    std::lock_guard lock(g.Lock);
    g.Roots.push_back(root);
}

void UnregisterRoot(TComponent* root) {
    GlobalState& g = Globals();
    std::lock_guard lock(g.Lock);
    std::erase(g.Roots, root);
}

TComponent* FindGlobalComponent(std::string_view name) {
    GlobalState& g = Globals();
    std::lock_guard lock(g.Lock);
    for (TComponent* r : g.Roots)
        if (SameText(r->Name(), name)) return r;
    return nullptr;
}

void AddGlobalFixup(TGlobalFixup fixup) {
    GlobalState& g = Globals();
    std::lock_guard lock(g.Lock);
    g.Fixups.push_back(std::move(fixup));
}

std::vector<TGlobalFixup> TakeReadyGlobalFixups() {
    GlobalState& g = Globals();
    std::vector<TGlobalFixup> ready;
    std::lock_guard lock(g.Lock);
    for (auto it = g.Fixups.begin(); it != g.Fixups.end();) {
        bool rootExists = std::any_of(g.Roots.begin(), g.Roots.end(),
                                      [&](TComponent* r) { return SameText(r->Name(), it->RootName); });
        if (rootExists) {
            ready.push_back(*it);
            it = g.Fixups.erase(it);
        } else {
            ++it;
        }
    }
    return ready;
}

void RemoveAllFixupsOf(TComponent* component) {
    GlobalState& g = Globals();
    std::lock_guard lock(g.Lock);
    std::erase_if(g.Fixups,
                  [&](const TGlobalFixup& f) { return f.Instance == component || f.Root == component; });
}

std::vector<std::vector<TComponent*>*>& LoadedLists() {
    return tLoadedLists;
}
