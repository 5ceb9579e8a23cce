// orvanta-form check: loads a definition as the main form's, exactly as the program does at start-up
// but without any window, and reports the outcome.
#include "tools/Check.h"

#include "app/ErrorText.h"
#include "app/TForm1.h"
#include "stream/ResourceTable.h"
#include "tools/MappedFile.h"

#include <cstdio>
#include <memory>
#include <optional>

int RunCheck(const std::string& path) {
    // Mapped, not copied: the pictures of the definition refer to the file's bytes, which the
    // mapping keeps for as long as any of them exists.
    std::optional<TByteView> bytes = MapFile(path);
    if (!bytes) {
        std::printf("Cannot open file \"%s\".\n", path.c_str());
        return 1;
    }
    Resources::Register(Resources::RT_RCDATA, "TFORM1", std::move(*bytes));
    try {
        auto form = std::make_unique<TForm1>(nullptr);
        std::printf("ok: %d components\n", form->ComponentCount() + 1);
        form.reset();
        Resources::Unregister(Resources::RT_RCDATA, "TFORM1");
        return 0;
    } catch (const std::exception& e) {
        Resources::Unregister(Resources::RT_RCDATA, "TFORM1");
        std::printf("%s\n", ErrorDisplayText(e).c_str());
        return 1;
    }
}
