// Registration of the embedded resources, whose bytes the assembler placed in the executable.
#include "platform/EmbeddedResources.h"

#include "stream/ResourceTable.h"

extern "C" {
extern const uint8_t orv_resource_tform1[];
extern const uint8_t orv_resource_tform1_end[];
extern const uint8_t orv_resource_mainicon[];
extern const uint8_t orv_resource_mainicon_end[];
}

void RegisterEmbeddedResources() {
    // The definition lies in read-only data for the whole run: what is loaded from it may refer to it,
    // so pictures cost only the pages the system can drop and read again from the executable.
    Resources::Register(
        Resources::RT_RCDATA, "TFORM1",
        TByteView{{orv_resource_tform1, static_cast<size_t>(orv_resource_tform1_end - orv_resource_tform1)},
                  {},
                  true});
    Resources::Register(
        Resources::RT_GROUP_ICON, "MAINICON",
        {orv_resource_mainicon, static_cast<size_t>(orv_resource_mainicon_end - orv_resource_mainicon)});
}
