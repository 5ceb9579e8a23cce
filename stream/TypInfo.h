// Run-time type information for published properties: the kinds of value a property holds, the
// enumerations and sets they range over, and the per-class tables through which the loader finds and
// assigns a property by name. Each class lists its own properties in its own source file.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

class TObject;
class TPersistent;
class TComponent;
class TFiler;
class TReader;

enum class TTypeKind { tkInteger, tkEnumeration, tkSet, tkString, tkClass, tkMethod, tkInt64, tkFloat };

struct TTypeInfo {
    std::string_view Name;
    TTypeKind Kind;
    std::span<const std::string_view> EnumNames{}; // tkEnumeration: value names by ordinal
    const TTypeInfo* CompType = nullptr;           // tkSet: the element enumeration
};

// Sets are stored as bit masks; element n is bit n.
using TSetBits = uint32_t;

extern const TTypeInfo TypeInfo_Integer;
extern const TTypeInfo TypeInfo_Boolean;
extern const TTypeInfo TypeInfo_String;
extern const TTypeInfo TypeInfo_Object;
extern const TTypeInfo TypeInfo_Method;

// Looks an enumeration value up by name without regard to case; -1 when it is not there.
int GetEnumValue(const TTypeInfo& type, std::string_view name);

// A handler method of the kind that is asked before a change and may refuse it by clearing allow.
using TQueryMethod = void (*)(TObject* self, TObject* sender, bool& allow);

// An event handler: a method bound to the object it runs on. A handler that answers a question
// (OnChanging) has Query instead of Code.
struct TNotifyEvent {
    void (*Code)(TObject* self, TObject* sender) = nullptr;
    TObject* Data = nullptr;
    TQueryMethod Query = nullptr;
    explicit operator bool() const { return Code != nullptr || Query != nullptr; }
    void operator()(TObject* sender) const {
        if (Code) Code(Data, sender);
    }
    // The handler's answer; yes when none is assigned.
    bool Ask(TObject* sender) const {
        bool allow = true;
        if (Query) Query(Data, sender, allow);
        return allow;
    }
};

struct TPropInfo {
    std::string_view Name;
    const TTypeInfo* PropType;
    void (*SetOrd)(TPersistent&, int64_t) = nullptr;
    void (*SetStr)(TPersistent&, const std::string&) = nullptr;
    TPersistent* (*GetObj)(const TPersistent&) = nullptr;
    void (*SetObj)(TPersistent&, TPersistent*) = nullptr;
    void (*SetMethod)(TPersistent&, TNotifyEvent) = nullptr;
    // For events of other kinds: binds the published method (none: nullptr) to data.
    void (*BindMethod)(TPersistent&, const struct TMethodInfo* method, TObject* data) = nullptr;

    bool HasSetter() const { return SetOrd || SetStr || SetObj || SetMethod || BindMethod; }
};

// One entry of a form's table of component fields.
struct TFieldInfo {
    std::string_view Name;
    const struct TClassInfo* FieldClass;
    void (*Set)(TComponent& owner, TComponent* value);
};

// One entry of a class's table of published methods. Kind is the event type the method suits; a
// method of a kind this layer does not know keeps its code in Handler, which only a property of the
// same kind casts back to its real type.
struct TMethodInfo {
    std::string_view Name;
    void (*Code)(TObject* self, TObject* sender);
    TQueryMethod Query = nullptr;
    const TTypeInfo* Kind = &TypeInfo_Method;
    void (*Handler)() = nullptr;
};

struct TClassInfo {
    std::string_view ClassName;
    const TClassInfo* Parent;
    std::span<const TPropInfo> (*Properties)() = nullptr;
    TComponent* (*Create)(TComponent* owner) = nullptr; // for component classes the loader may create
    std::span<const TFieldInfo> (*Fields)() = nullptr;
    std::span<const TMethodInfo> (*Methods)() = nullptr;

    bool InheritsFrom(const TClassInfo& base) const;
};

// Finds a published property in the class or its ancestors, by name without regard to case.
const TPropInfo* GetPropInfo(const TClassInfo& cls, std::string_view name);
const TMethodInfo* FindMethod(const TClassInfo& cls, std::string_view name);

// Declares the class information of a class: a static ClassInfo and the virtual ClassType().
#define ORV_CLASS(Name)                                                                                      \
public:                                                                                                      \
    static const TClassInfo ClassInfo;                                                                       \
    const TClassInfo& ClassType() const override {                                                           \
        return ClassInfo;                                                                                    \
    }

// ---- Helpers that build property entries from a class's setter (and an object's getter) -------------

namespace PropDetail {
template <class> struct SetterArg;
template <class C, class A> struct SetterArg<void (C::*)(A)> { using type = std::remove_cvref_t<A>; };
template <class C, class A> struct SetterArg<void (*)(C&, A)> { using type = std::remove_cvref_t<A>; };
} // namespace PropDetail

// An ordinal property (integer, enumeration, boolean, set). Set may be nullptr for read-only.
template <class C, auto Set> constexpr TPropInfo OrdProp(std::string_view name, const TTypeInfo& type) {
    TPropInfo p{name, &type};
    if constexpr (!std::is_same_v<decltype(Set), std::nullptr_t>) {
        p.SetOrd = [](TPersistent& o, int64_t v) {
            using A = typename PropDetail::SetterArg<decltype(Set)>::type;
            std::invoke(Set, static_cast<C&>(o), static_cast<A>(v));
        };
    }
    return p;
}

template <class C, auto Set> constexpr TPropInfo StrProp(std::string_view name) {
    TPropInfo p{name, &TypeInfo_String};
    if constexpr (!std::is_same_v<decltype(Set), std::nullptr_t>)
        p.SetStr = [](TPersistent& o, const std::string& v) { std::invoke(Set, static_cast<C&>(o), v); };
    return p;
}

// An object property: the loader reads into the current object; a setter is optional.
template <class C, auto Get, auto Set> constexpr TPropInfo ObjProp(std::string_view name) {
    TPropInfo p{name, &TypeInfo_Object};
    p.GetObj = [](const TPersistent& o) -> TPersistent* {
        return std::invoke(Get, static_cast<const C&>(o));
    };
    if constexpr (!std::is_same_v<decltype(Set), std::nullptr_t>) {
        p.SetObj = [](TPersistent& o, TPersistent* v) {
            using A = typename PropDetail::SetterArg<decltype(Set)>::type;
            std::invoke(Set, static_cast<C&>(o), dynamic_cast<A>(v));
        };
    }
    return p;
}

template <class C, auto Set> constexpr TPropInfo EventProp(std::string_view name) {
    TPropInfo p{name, &TypeInfo_Method};
    p.SetMethod = [](TPersistent& o, TNotifyEvent v) { std::invoke(Set, static_cast<C&>(o), v); };
    return p;
}
