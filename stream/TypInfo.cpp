// Property and method lookup by name.
#include "stream/TypInfo.h"

#include "stream/TextCodec.h"

namespace {
constexpr std::string_view kBooleanNames[] = {"False", "True"};
}

const TTypeInfo TypeInfo_Integer{"Integer", TTypeKind::tkInteger};
const TTypeInfo TypeInfo_Boolean{"Boolean", TTypeKind::tkEnumeration, kBooleanNames};
const TTypeInfo TypeInfo_String{"string", TTypeKind::tkString};
const TTypeInfo TypeInfo_Object{"TPersistent", TTypeKind::tkClass};
const TTypeInfo TypeInfo_Method{"TNotifyEvent", TTypeKind::tkMethod};

int GetEnumValue(const TTypeInfo& type, std::string_view name) {
    for (size_t i = 0; i < type.EnumNames.size(); ++i)
        if (SameText(type.EnumNames[i], name)) return static_cast<int>(i);
    return -1;
}

bool TClassInfo::InheritsFrom(const TClassInfo& base) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (c == &base) return true;
    return false;
}

const TPropInfo* GetPropInfo(const TClassInfo& cls, std::string_view name) {
    for (const TClassInfo* c = &cls; c; c = c->Parent) {
        if (!c->Properties) continue;
        for (const TPropInfo& p : c->Properties())
            if (SameText(p.Name, name)) return &p;
    }
    return nullptr;
}

const TMethodInfo* FindMethod(const TClassInfo& cls, std::string_view name) {
    for (const TClassInfo* c = &cls; c; c = c->Parent) {
        if (!c->Methods) continue;
        for (const TMethodInfo& m : c->Methods())
            if (SameText(m.Name, name)) return &m;
    }
    return nullptr;
}
