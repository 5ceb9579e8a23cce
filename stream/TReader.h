// The stream reader: primitive reads of the component stream's values, and loading, which turns the
// records of a definition into live components, assigns their properties by name, resolves references
// once the tree is read and binds event handlers to the root's methods.
#pragma once

#include "stream/TFiler.h"
#include "stream/TStream.h"
#include "stream/TypInfo.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TPersistent;
class TComponent;
class TCollection;

class TReader : public TFiler {
public:
    explicit TReader(TStream& stream, int bufSize = 4096);
    // Moves the stream back over buffered bytes not consumed, so it stands behind the last byte used.
    ~TReader() override;

    // ---- Reading values ----
    void Read(void* buf, size_t count);
    void ReadSignature();
    void ReadPrefix(TFilerFlags& flags, int& childPos);
    std::string ReadStr();
    TValueType ReadValue();
    TValueType NextValue();
    bool EndOfList();
    void CheckValue(TValueType value);
    void ReadListBegin() { CheckValue(TValueType::vaList); }
    void ReadListEnd() { CheckValue(TValueType::vaNull); }
    int32_t ReadInteger();
    int64_t ReadInt64();
    bool ReadBoolean();
    std::string ReadString();
    std::string ReadIdent();
    long double ReadFloat();
    double ReadDouble();
    float ReadSingle();
    // Currency as its fixed-point form: the value times 10000.
    int64_t ReadCurrency();
    double ReadDate();
    void ReadCollection(TCollection& collection);
    void SkipValue();
    // Bytes the source can still deliver: what is buffered plus what the stream holds.
    int64_t BytesLeft();

    // ---- Loading ----
    void ReadRootComponent(TComponent* root);
    TComponent* ReadComponent();
    // Reads a component's properties, then its children (the base of ReadEntry).
    void ReadData(TComponent* instance);
    void ReadProperty(TPersistent* instance);

    void DefineProperty(std::string_view name, const TReaderProc& readData, bool hasData) override;
    void DefineBinaryProperty(std::string_view name, const TStreamProc& readData, bool hasData) override;

    TComponent* Root() const { return FRoot; }
    TComponent* Owner() const { return FOwner; }
    TComponent* Parent() const { return FParent; }
    void SetParent(TComponent* parent) { FParent = parent; }
    void SetLoaded(std::vector<TComponent*>* loaded) { FLoaded = loaded; }

private:
    struct TPropFixup {
        TPersistent* Instance;
        const TPropInfo* Prop;
        std::string Name;
    };

    void ReadBuffer();
    uint8_t ReadByte();
    void SkipBytes(uint64_t count);
    void CheckAvailable(uint64_t count);
    // The next count bytes of a source in memory, by reference; count has been checked.
    TByteView TakeInPlace(TCustomMemoryStream& memory, uint64_t count);
    void SkipSetBody();
    void SkipProperty();
    std::string ReadLengthPrefixedText(TValueType tag);
    TSetBits ReadSet(const TTypeInfo& elemType);
    void ReadPropValue(TPersistent* instance, const TPropInfo& prop);
    void ReadPropPath(TPersistent* instance, const std::string& path);
    void ResolveFixups();
    const TClassInfo* FindComponentClass(const std::string& className);

    TComponent* FRoot = nullptr;
    TComponent* FOwner = nullptr;
    TComponent* FParent = nullptr;
    TComponent* FLookupRoot = nullptr;
    std::unique_ptr<std::vector<TPropFixup>> FFixups;
    std::vector<TComponent*>* FLoaded = nullptr;
    std::unique_ptr<std::vector<TComponent*>> FOwnLoaded;
    // What the stream holds behind the buffer; -1 until a length first has to be checked.
    int64_t FStreamLeft = -1;
    // The name offered to DeclareProperties, and whether a declaration has taken its value.
    std::string FPropName;
    bool FPropConsumed = true;
    bool FCanHandleExcepts = false;
};
