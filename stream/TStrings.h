// String lists: ordered lines of text, stored in a definition as the declared property Strings.
#pragma once

#include "stream/TPersistent.h"

#include <string>
#include <vector>

class TStrings : public TPersistent {
    ORV_CLASS(TStrings)
public:
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Add(const std::string& s) = 0;
    virtual void Clear() = 0;
    // Adds the lines in order, as many calls of Add would; lists whose every Add costs in proportion to
    // what they hold already add them in one go.
    virtual void AddLines(const std::vector<std::string>& lines);
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }

    void DeclareProperties(TFiler& filer) override;

protected:
    virtual void SetUpdateState(bool) {}

private:
    void ReadData(TReader& reader);
    int FUpdateCount = 0;
};
