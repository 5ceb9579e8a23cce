// Loading: component records into live components, properties by name, references and handlers; the
// loading frame around a root's definitions.
#include "stream/Loader.h"
#include "stream/ByteOrder.h"
#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/IdentMaps.h"
#include "stream/Registries.h"
#include "stream/ResourceTable.h"
#include "stream/TCollection.h"
#include "stream/TComponent.h"
#include "stream/TReader.h"
#include "stream/TStream.h"
#include "stream/TextCodec.h"

#include <algorithm>
#include <mutex>

namespace {
// Component records nest (form, page control, sheet, control); deeper nesting than this is refused.
constexpr int kMaxComponentNesting = 64;

[[noreturn]] void PropValueError() {
    throw EReadError(std::string(SConsts::SInvalidPropertyValue));
}

// What this thread's innermost finish-loading watch is told; null without one.
thread_local const std::function<void(TComponent*)>* tFinishWatch = nullptr;

void FinishAll(const std::vector<TComponent*>& loaded) {
    for (TComponent* c : loaded) {
        if (tFinishWatch) (*tFinishWatch)(c);
        c->FinishLoading();
    }
}
thread_local int tComponentDepth = 0;

TComponent* FindByPath(TComponent* root, std::string_view name) {
    TComponent* cur = root;
    while (cur && !name.empty()) {
        size_t dot = name.find('.');
        size_t arrow = name.find("->");
        size_t cut = std::min(dot, arrow);
        std::string_view part = name.substr(0, cut);
        name = cut == std::string_view::npos ? std::string_view{} : name.substr(cut + (cut == arrow ? 2 : 1));
        if (!SameText(part, "Owner")) cur = cur->FindComponent(part);
    }
    return cur;
}

std::string InstanceName(const TPersistent* instance) {
    if (auto* c = dynamic_cast<const TComponent*>(instance); c && !c->Name().empty()) return c->Name();
    return std::string(instance->ClassName());
}

template <class F> struct Finally {
    F f;
    ~Finally() { f(); }
};
template <class F> Finally(F) -> Finally<F>;
} // namespace

// ---- The loading frame ----

TFinishLoadingWatch::TFinishLoadingWatch(std::function<void(TComponent*)> onFinish)
    : FOnFinish(std::move(onFinish)), FOuter(tFinishWatch) {
    tFinishWatch = &FOnFinish;
}

TFinishLoadingWatch::~TFinishLoadingWatch() {
    tFinishWatch = FOuter;
}

// References to components of other roots wait until such a root exists.
static void GlobalFixupReferences() {
    for (const TGlobalFixup& f : TakeReadyGlobalFixups()) {
        TComponent* target = FindByPath(FindGlobalComponent(f.RootName), f.Name);
        if (f.Prop->SetObj) f.Prop->SetObj(*f.Instance, target);
    }
}

// ---- Reading components ----

void TReader::ReadRootComponent(TComponent* root) {
    ReadSignature();
    TFilerFlags flags;
    int childPos = 0;
    ReadPrefix(flags, childPos);
    ReadStr(); // the root's class decides, not the stored class name
    root->SetComponentStateFlag(csLoading | csReading, true);
    std::string name = ReadStr();
    // The root's name must be unique among the roots of the program: Form1, Form1_1, Form1_2, ...
    std::string unique = name;
    for (int i = 1; !name.empty(); ++i) {
        TComponent* other = FindGlobalComponent(unique);
        if (!other || other == root) break;
        unique = Format("%s_%d", {name, std::to_string(i)});
    }
    root->SetName(unique);
    FRoot = FLookupRoot = FOwner = root;
    FParent = nullptr;
    if (!FLoaded) {
        FOwnLoaded = std::make_unique<std::vector<TComponent*>>();
        FLoaded = FOwnLoaded.get();
    }
    FLoaded->push_back(root);
    root->ReadEntry(*this);
    root->SetComponentStateFlag(csReading, false);
    if (FOwnLoaded) {
        FinishAll(*FOwnLoaded);
        FOwnLoaded.reset();
        FLoaded = nullptr;
    }
    GlobalFixupReferences();
}

const TClassInfo* TReader::FindComponentClass(const std::string& className) {
    for (const TClassInfo* c = &FLookupRoot->ClassType(); c && c != &TPersistent::ClassInfo; c = c->Parent) {
        if (!c->Fields) continue;
        for (const TFieldInfo& f : c->Fields())
            if (SameText(f.FieldClass->ClassName, className)) return f.FieldClass;
    }
    return FindRegisteredClass(className);
}

TComponent* TReader::ReadComponent() {
    TFilerFlags flags;
    int childPos = 0;
    ReadPrefix(flags, childPos);
    std::string className = ReadStr();
    std::string name = ReadStr();

    TComponent* savedParent = FParent;
    TComponent* savedLookupRoot = FLookupRoot;
    Finally restore{[&] {
        FParent = savedParent;
        FLookupRoot = savedLookupRoot;
    }};

    if (tComponentDepth >= kMaxComponentNesting) throw EReadError(std::string(SConsts::SInvalidImage));
    ++tComponentDepth;
    Finally depth{[] { --tComponentDepth; }};

    const TClassInfo* cls = FindComponentClass(className);
    if (!cls || !cls->InheritsFrom(TComponent::ClassInfo) || !cls->Create)
        throw EClassNotFound(Format(SConsts::SClassNotFound, {className}));

    TComponent* component = cls->Create(FOwner);
    try {
        component->SetComponentStateFlag(csLoading, true);
        component->SetParentComponent(FParent);
        component->SetName(name);
        component->SetComponentStateFlag(csReading, true);
        component->ReadEntry(*this);
        component->SetComponentStateFlag(csReading, false);
    } catch (...) {
        delete component;
        throw;
    }
    FLoaded->push_back(component);
    return component;
}

void TReader::ReadData(TComponent* instance) {
    bool outermost = !FFixups;
    if (outermost) FFixups = std::make_unique<std::vector<TPropFixup>>();
    try {
        while (!EndOfList())
            ReadProperty(instance);
        ReadListEnd();
        TComponent* savedParent = FParent;
        TComponent* savedOwner = FOwner;
        FParent = instance;
        FOwner = FRoot;
        Finally restore{[&] {
            FParent = savedParent;
            FOwner = savedOwner;
        }};
        while (!EndOfList())
            ReadComponent();
        ReadListEnd();
        if (outermost) ResolveFixups();
    } catch (...) {
        if (outermost) FFixups.reset();
        throw;
    }
    if (outermost) FFixups.reset();
}

void TReader::ResolveFixups() {
    std::vector<TPropFixup> fixups = std::move(*FFixups);
    FFixups->clear();
    for (const TPropFixup& f : fixups) {
        TComponent* target = FindByPath(FRoot, f.Name);
        if (target || f.Name.find('.') == std::string::npos) {
            f.Prop->SetObj(*f.Instance, target);
            continue;
        }
        // A name of another root: wait for that root to exist.
        size_t dot = f.Name.find('.');
        AddGlobalFixup({f.Instance, f.Prop, FRoot, f.Name.substr(0, dot), f.Name.substr(dot + 1)});
    }
}

// ---- Reading properties ----

void TReader::ReadProperty(TPersistent* instance) {
    std::string path = ReadStr();
    try {
        ReadPropPath(instance, path);
    } catch (const std::exception& e) {
        throw EReadError(
            Format(SConsts::SPropertyException, {InstanceName(instance), ".", path, ExceptionMessage(e)}));
    }
}

void TReader::ReadPropPath(TPersistent* instance, const std::string& path) {
    TPersistent* current = instance;
    size_t start = 0;
    for (;;) {
        size_t dot = path.find('.', start);
        std::string_view segment =
            std::string_view(path).substr(start, dot == std::string::npos ? dot : dot - start);
        bool last = dot == std::string::npos;
        const TPropInfo* prop = GetPropInfo(current->ClassType(), segment);
        if (prop && last) {
            ReadPropValue(current, *prop);
            return;
        }
        if (prop) {
            TPersistent* next = prop->PropType->Kind == TTypeKind::tkClass ? prop->GetObj(*current) : nullptr;
            if (!next) {
                SkipValue();
                throw EReadError(std::string(SConsts::SInvalidPropertyPath));
            }
            current = next;
            start = dot + 1;
            continue;
        }
        // Not published: offer the name to the object's declared properties. A path whose first
        // segments are not published is offered whole.
        FPropName = last ? std::string(segment) : path;
        FPropConsumed = false;
        current->DeclareProperties(*this);
        bool consumed = std::exchange(FPropConsumed, true);
        std::string missing = std::move(FPropName);
        FPropName.clear();
        if (consumed) return;
        SkipValue();
        throw EReadError(Format(SConsts::SUnknownProperty, {missing}));
    }
}

void TReader::DefineProperty(std::string_view name, const TReaderProc& readData, bool) {
    if (FPropConsumed || !readData || !SameText(name, FPropName)) return;
    FPropConsumed = true;
    readData(*this);
}

void TReader::DefineBinaryProperty(std::string_view name, const TStreamProc& readData, bool) {
    if (FPropConsumed || !readData || !SameText(name, FPropName)) return;
    FPropConsumed = true;
    if (ReadValue() != TValueType::vaBinary) {
        --FBufPos;
        SkipValue();
        PropValueError();
    }
    uint8_t b[4];
    Read(b, 4);
    uint32_t count = U32LE(b);
    CheckAvailable(count);
    if (auto* memory = dynamic_cast<TCustomMemoryStream*>(&FStream)) {
        // The value's bytes are in memory already: the declaring object reads them where they are,
        // through a stream that holds exactly them, positioned at the first.
        TCustomMemoryStream block(TakeInPlace(*memory, count));
        readData(block);
        return;
    }
    std::vector<uint8_t> bytes(count);
    Read(bytes.data(), count);
    TMemoryStream block(std::move(bytes));
    readData(block);
}

TByteView TReader::TakeInPlace(TCustomMemoryStream& memory, uint64_t count) {
    // The buffer holds the bytes just before the stream's position; the value begins at the buffer's.
    const int64_t buffered = FBufEnd - FBufPos;
    TByteView view =
        memory.View(static_cast<size_t>(memory.Position() - buffered), static_cast<size_t>(count));
    if (count <= static_cast<uint64_t>(buffered)) {
        FBufPos += static_cast<int>(count);
    } else {
        const int64_t rest = static_cast<int64_t>(count) - buffered;
        FBufPos = FBufEnd;
        memory.Seek(rest, TSeekOrigin::soCurrent);
        FStreamLeft -= rest;
    }
    return view;
}

TSetBits TReader::ReadSet(const TTypeInfo& elemType) {
    if (ReadValue() != TValueType::vaSet) PropValueError();
    TSetBits bits = 0;
    for (;;) {
        std::string name = ReadStr();
        if (name.empty()) break;
        int ordinal = GetEnumValue(elemType, name);
        if (ordinal < 0) {
            SkipSetBody();
            PropValueError();
        }
        if (ordinal <= 31) bits |= TSetBits{1} << ordinal;
    }
    return bits;
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo& prop) {
    const TTypeInfo& type = *prop.PropType;
    if (!prop.HasSetter()) {
        auto* sub =
            type.Kind == TTypeKind::tkClass ? dynamic_cast<TComponent*>(prop.GetObj(*instance)) : nullptr;
        if (!sub || !(sub->ComponentStyle() & csSubComponent))
            throw EReadError(std::string(SConsts::SReadOnlyProperty));
    }
    switch (type.Kind) {
    case TTypeKind::tkInteger: {
        int64_t value;
        if (NextValue() == TValueType::vaIdent) {
            std::string ident = ReadIdent();
            auto map = FindIdentToInt(type);
            int32_t v = 0;
            if (!map || !map(ident, v)) PropValueError();
            value = v;
        } else {
            value = ReadInteger();
        }
        prop.SetOrd(*instance, value);
        break;
    }
    case TTypeKind::tkInt64:
        prop.SetOrd(*instance, ReadInt64());
        break;
    case TTypeKind::tkEnumeration: {
        int value = GetEnumValue(type, ReadIdent());
        if (value < 0) PropValueError();
        prop.SetOrd(*instance, value);
        break;
    }
    case TTypeKind::tkSet:
        prop.SetOrd(*instance, ReadSet(*type.CompType));
        break;
    case TTypeKind::tkString:
        prop.SetStr(*instance, ReadString());
        break;
    case TTypeKind::tkClass:
        switch (NextValue()) {
        case TValueType::vaNil:
            ReadValue();
            prop.SetObj(*instance, nullptr);
            break;
        case TValueType::vaIdent:
            FFixups->push_back({instance, &prop, ReadIdent()});
            break;
        case TValueType::vaCollection: {
            ReadValue();
            auto* collection = dynamic_cast<TCollection*>(prop.GetObj(*instance));
            if (!collection) PropValueError();
            ReadCollection(*collection);
            break;
        }
        default:
            PropValueError();
        }
        break;
    case TTypeKind::tkMethod: {
        const TMethodInfo* method = nullptr;
        if (NextValue() == TValueType::vaNil) {
            ReadValue();
        } else {
            method = FindMethod(FRoot->ClassType(), ReadIdent());
            // A method of another kind would be called with arguments it does not take.
            if (!method || method->Kind != prop.PropType) PropValueError();
        }
        if (prop.BindMethod)
            prop.BindMethod(*instance, method, FRoot);
        else
            prop.SetMethod(*instance,
                           method ? TNotifyEvent{method->Code, FRoot, method->Query} : TNotifyEvent{});
        break;
    }
    case TTypeKind::tkFloat:
        PropValueError();
    }
}

bool InitInheritedComponent(TComponent* instance, const TClassInfo& rootAncestor) {
    std::lock_guard lock(GlobalNameSpace());
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* c = &instance->ClassType(); c && c != &rootAncestor; c = c->Parent)
        chain.push_back(c);
    std::reverse(chain.begin(), chain.end());

    bool pushed = !(instance->ComponentState() & csLoading) || LoadedLists().empty();
    std::vector<TComponent*> loaded;
    if (pushed) LoadedLists().push_back(&loaded);
    Finally pop{[&] {
        if (pushed) LoadedLists().pop_back();
    }};

    bool found = false;
    for (const TClassInfo* c : chain) {
        auto bytes = Resources::FindView(Resources::RT_RCDATA, c->ClassName);
        if (!bytes) continue;
        TCustomMemoryStream stream(std::move(*bytes));
        TReader reader(stream, 4096);
        reader.SetLoaded(LoadedLists().back());
        reader.ReadRootComponent(instance);
        found = true;
    }
    if (pushed) FinishAll(loaded);
    return found;
}
