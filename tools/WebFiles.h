// Files the web export writes as they are, built into the tool.
#pragma once

#include <string_view>

std::string_view CourseStyleSheet();
std::string_view CourseScript();
// The built-in course's text alternatives, one "NAME = text" line each.
std::string_view CourseAltTexts();
