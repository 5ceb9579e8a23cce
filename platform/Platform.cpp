// The platform in force, and the registry: the system reads exactly one value.
#include "platform/Platform.h"

namespace {
TPlatform* gCurrent = nullptr;
}

TPlatform* TPlatform::Current() {
    return gCurrent;
}
void TPlatform::SetCurrent(TPlatform* platform) {
    gCurrent = platform;
}

std::optional<std::string> TPlatform::RegistryString(std::string_view key, std::string_view value) const {
    if (key == R"(HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\FontSubstitutes)" &&
        value == "MS Shell Dlg 2")
        return "Tahoma";
    return std::nullopt;
}
