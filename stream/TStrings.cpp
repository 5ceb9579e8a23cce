// String list reading.
#include "stream/TStrings.h"

#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TReader.h"

const TClassInfo TStrings::ClassInfo{"TStrings", &TPersistent::ClassInfo};
const TClassInfo TStringList::ClassInfo{"TStringList", &TStrings::ClassInfo};

void TStrings::BeginUpdate() {
    if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::DeclareProperties(TFiler& filer) {
    TPersistent::DeclareProperties(filer);
    filer.DefineProperty(
        "Strings", [this](TReader& r) { ReadData(r); }, Count() > 0);
}

void TStrings::ReadData(TReader& reader) {
    reader.ReadListBegin();
    BeginUpdate();
    struct EndGuard {
        TStrings* s;
        ~EndGuard() { s->EndUpdate(); }
    } guard{this};
    Clear();
    while (!reader.EndOfList())
        Add(reader.ReadString());
    reader.ReadListEnd();
}

std::string TStringList::Get(int index) const {
    if (index < 0 || index >= Count())
        throw EListError(Format(SConsts::SListIndexError, {std::to_string(index)}));
    return FList[static_cast<size_t>(index)];
}
