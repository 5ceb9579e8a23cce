// The entry point: the platform on Qt, the resources built into the executable, then the program. The
// program has no options of its own, and Qt is handed nothing but the program name.
#include "app/Program.h"
#include "platform/EmbeddedResources.h"
#include "platform/qt/QtPlatform.h"

int main(int, char** argv) {
    std::unique_ptr<TPlatform> platform = CreateQtPlatform(argv[0]);
    TPlatform::SetCurrent(platform.get());
    RegisterEmbeddedResources();
    int code = RunProgram(argv[0]);
    TPlatform::SetCurrent(nullptr);
    return code;
}
