// What loading consults beside the stream: the classes that can be created by name, the roots (forms)
// that exist, references that wait for another root to exist, and each thread's lists of components
// loaded but not yet finished. The first three are shared by the whole process behind a lock; the
// loaded lists belong to the thread that loads.
#pragma once

#include "stream/TypInfo.h"

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class TComponent;
class TPersistent;

// Serialises component loading and naming; re-entrant for the loading thread.
std::recursive_mutex& GlobalNameSpace();

// ---- Classes ----

// Registers a class and its ancestors below TPersistent. Loading looks a class up here after the
// root's field tables, by name without regard to case.
void RegisterClass(const TClassInfo& cls);
const TClassInfo* FindRegisteredClass(std::string_view name);

// ---- Roots ----

// Roots (forms) that exist, for unique root naming and references between roots.
void RegisterRoot(TComponent* root);
void UnregisterRoot(TComponent* root);
// The root of that name, without regard to case; null when none exists.
TComponent* FindGlobalComponent(std::string_view name);

// ---- References to other roots ----

// A reference property of Instance, read within Root, naming component Name of a root RootName that
// did not exist yet.
struct TGlobalFixup {
    TPersistent* Instance;
    const TPropInfo* Prop;
    TComponent* Root;
    std::string RootName;
    std::string Name;
};
void AddGlobalFixup(TGlobalFixup fixup);
// Takes out the waiting references whose root exists now.
std::vector<TGlobalFixup> TakeReadyGlobalFixups();
// Forgets the references of a component that goes away, and those read within it as a root.
void RemoveAllFixupsOf(TComponent* component);

// ---- Loaded lists ----

// This thread's loads still running, innermost last: each one's components read and not yet finished.
std::vector<std::vector<TComponent*>*>& LoadedLists();
