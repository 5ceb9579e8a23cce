// Fuzz target: arbitrary bytes as the main form's definition, found through the resource table and
// loaded exactly as the program does at start-up (as orvanta-form check does, without a window). Every
// failure must be one of the system's exceptions; anything else is a finding.
#include "app/TForm1.h"
#include "stream/Exceptions.h"
#include "stream/ResourceTable.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Resources::Register(Resources::RT_RCDATA, "TFORM1", std::span(data, size));
    try {
        auto form = std::make_unique<TForm1>(nullptr);
    } catch (const Exception&) {
    }
    Resources::Unregister(Resources::RT_RCDATA, "TFORM1");
    return 0;
}
