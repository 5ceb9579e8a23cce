// The platform on Qt Widgets. Only this factory is visible outside platform/qt; no Qt type leaks out.
#pragma once

#include "platform/Platform.h"

#include <memory>

// Creates the Qt application object, handing Qt nothing but the program name.
std::unique_ptr<TPlatform> CreateQtPlatform(const char* programName);
