// orvanta-form check: loads a definition as the main form's, exactly as the program does at start-up
// but without any window, and reports the outcome.
#include "tools/Check.h"

#include "app/ErrorText.h"
#include "app/TForm1.h"
#include "stream/ResourceTable.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

int RunCheck(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::printf("Cannot open file \"%s\".\n", path.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Resources::Register(Resources::RT_RCDATA, "TFORM1", bytes);
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
