// orv_form_compiler SOURCE OUT [--assets DIR]: orvanta-form's compile command on its own, for the build,
// which compiles the course with it before orvanta-form can carry the result inside.
#include "tools/TextFormFiles.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--assets")) {
        std::fputs("usage: orv_form_compiler SOURCE OUT [--assets DIR]\n", stderr);
        return 2;
    }
    try {
        CompileTextFormFileTo(args[0], args[1], args.size() == 4 ? args[3] : std::string());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orv_form_compiler: %s\n", e.what());
        return 1;
    }
}
