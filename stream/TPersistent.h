// The root of every object the definition can describe: class information at run time and the hook
// through which an object declares stored properties that it does not publish.
#pragma once

#include "stream/TypInfo.h"

#include <string>
#include <string_view>

class TObject {
public:
    static const TClassInfo ClassInfo;
    virtual ~TObject() = default;
    virtual const TClassInfo& ClassType() const { return ClassInfo; }
    std::string_view ClassName() const { return ClassType().ClassName; }
    bool InheritsFrom(const TClassInfo& cls) const { return ClassType().InheritsFrom(cls); }
};

class TPersistent : public TObject {
    ORV_CLASS(TPersistent)
public:
    // Declares custom stored properties to the filer (DefineProperty, DefineBinaryProperty).
    // Overrides call their base class first.
    virtual void DeclareProperties(TFiler& filer);
};
