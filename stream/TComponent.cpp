// Component ownership, naming and the owner's name index.
#include "stream/TComponent.h"

#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/Registries.h"
#include "stream/TFiler.h"
#include "stream/TReader.h"
#include "stream/TextCodec.h"

#include <algorithm>

const TClassInfo TObject::ClassInfo{"TObject", nullptr};
const TClassInfo TPersistent::ClassInfo{"TPersistent", &TObject::ClassInfo};
const TClassInfo TComponent::ClassInfo{"TComponent", &TPersistent::ClassInfo, nullptr,
                                       [](TComponent* o) { return new TComponent(o); }};

void TPersistent::DeclareProperties(TFiler&) {}

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    FComponentState |= csDestroying;
    RemoveAllFixupsOf(this);
    // Owned components go last-created first, so a parent created before its children outlives them.
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        RemoveComponent(c);
        delete c;
    }
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::SetComponentStateFlag(TComponentState flag, bool on) {
    if (on)
        FComponentState |= flag;
    else
        FComponentState &= ~flag;
}

void TComponent::InsertComponent(TComponent* component) {
    if (component->FOwner) component->FOwner->RemoveComponent(component);
    if (!component->FName.empty()) ValidateRename(component, component->FName);
    FComponents.push_back(component);
    component->FOwner = this;
    IndexInsert(component);
    component->SetReference(true);
}

void TComponent::RemoveComponent(TComponent* component) {
    component->SetReference(false);
    IndexRemove(component);
    auto it = std::find(FComponents.begin(), FComponents.end(), component);
    if (it != FComponents.end()) FComponents.erase(it);
    component->FOwner = nullptr;
    Notification(component, TOperation::opRemove);
}

static bool NameLess(const TComponent* a, const TComponent* b) {
    return CompareText(a->Name(), b->Name()) < 0;
}

void TComponent::IndexRemove(TComponent* c) const {
    if (!FSortedValid || c->FName.empty()) return;
    auto it = std::find(FSortedNames.begin(), FSortedNames.end(), c);
    if (it != FSortedNames.end()) FSortedNames.erase(it);
}

void TComponent::IndexInsert(TComponent* c) const {
    if (!FSortedValid || c->FName.empty()) return;
    FSortedNames.insert(std::upper_bound(FSortedNames.begin(), FSortedNames.end(), c, NameLess), c);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    if (!FSortedValid) {
        FSortedNames.clear();
        for (TComponent* c : FComponents)
            if (!c->FName.empty()) FSortedNames.push_back(c);
        std::stable_sort(FSortedNames.begin(), FSortedNames.end(), NameLess);
        FSortedValid = true;
    }
    auto it = std::lower_bound(
        FSortedNames.begin(), FSortedNames.end(), name,
        [](const TComponent* c, std::string_view n) { return CompareText(c->Name(), n) < 0; });
    if (it != FSortedNames.end() && CompareText((*it)->Name(), name) == 0) return *it;
    return nullptr;
}

void TComponent::ValidateRename(TComponent* component, std::string_view newName) const {
    TComponent* other = FindComponent(newName);
    if (other && other != component) throw EComponentError(Format(SConsts::SDuplicateName, {newName}));
}

// Binds or clears the owner's published field that bears this component's name.
void TComponent::SetReference(bool enable) {
    if (!FOwner || FName.empty()) return;
    for (const TClassInfo* c = &FOwner->ClassType(); c; c = c->Parent) {
        if (!c->Fields) continue;
        for (const TFieldInfo& f : c->Fields()) {
            if (!SameText(f.Name, FName)) continue;
            // A field only ever points at a component of its own class.
            if (!enable)
                f.Set(*FOwner, nullptr);
            else if (InheritsFrom(*f.FieldClass))
                f.Set(*FOwner, this);
            return;
        }
    }
}

void TComponent::SetName(const std::string& value) {
    if (FName == value) return;
    if (!value.empty() && !IsValidIdent(value)) throw EComponentError(Format(SConsts::SInvalidName, {value}));
    if (FOwner) FOwner->ValidateRename(this, value);
    SetReference(false);
    if (FOwner) FOwner->IndexRemove(this);
    FName = value;
    if (FOwner) FOwner->IndexInsert(this);
    SetReference(true);
}

void TComponent::ReadEntry(TReader& reader) {
    reader.ReadData(this);
}

void TComponent::FinishLoading() {
    FComponentState &= ~csLoading;
}
