// The "check" command: loads a component stream file, reports what is wrong and returns the exit code.
#pragma once

#include <string>

int RunCheck(const std::string& path);
