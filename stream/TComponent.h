// Components: named objects with an owner that destroys them, the state flags of loading, and the two
// operations through which a component reads its own entry and finishes itself after loading.
#pragma once

#include "stream/TPersistent.h"

#include <cstdint>
#include <string>
#include <vector>

enum TComponentStateFlag : uint32_t {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csDestroying = 1u << 3,
};
using TComponentState = uint32_t;

enum TComponentStyleFlag : uint32_t { csSubComponent = 4 };
using TComponentStyle = uint32_t;

enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
    ORV_CLASS(TComponent)
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& value);
    TComponent* Owner() const { return FOwner; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const { return FComponents.at(static_cast<size_t>(index)); }
    // Finds an owned component by name without regard to case (binary search on a sorted index).
    TComponent* FindComponent(std::string_view name) const;

    TComponentState ComponentState() const { return FComponentState; }
    void SetComponentStateFlag(TComponentState flag, bool on);
    TComponentStyle ComponentStyle() const { return FComponentStyle; }

    // Loading: a component reads its own entry (properties, then children) and is told when the whole
    // definition has been read.
    virtual void ReadEntry(TReader& reader);
    virtual void FinishLoading();
    // Called by the loader before naming: controls take the enclosing windowed control as parent.
    virtual void SetParentComponent(TComponent*) {}

    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

protected:
    virtual void Notification(TComponent*, TOperation) {}
    TComponentStyle FComponentStyle = 0;

private:
    void SetReference(bool enable);
    void ValidateRename(TComponent* component, std::string_view newName) const;
    void IndexRemove(TComponent* c) const;
    void IndexInsert(TComponent* c) const;

    std::string FName;
    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    // Name index sorted without regard to case, built on first lookup and kept up to date on rename.
    mutable std::vector<TComponent*> FSortedNames;
    mutable bool FSortedValid = false;
    TComponentState FComponentState = 0;
};
