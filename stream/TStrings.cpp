// String list reading.
#include "stream/TStrings.h"

#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TReader.h"

const TClassInfo TStrings::ClassInfo{"TStrings", &TPersistent::ClassInfo};

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
    // The stored lines go in together; when reading fails part way, those read before it are added
    // before the error goes on, as they would have been one at a time.
    std::vector<std::string> lines;
    try {
        while (!reader.EndOfList())
            lines.push_back(reader.ReadString());
    } catch (...) {
        AddLines(lines);
        throw;
    }
    AddLines(lines);
    reader.ReadListEnd();
}

void TStrings::AddLines(const std::vector<std::string>& lines) {
    for (const std::string& s : lines)
        Add(s);
}
