// The text the error box shows for an exception: the innermost message, with a final "." added when
// the text ends in a character above ".".
#pragma once

#include <exception>
#include <string>

std::string ErrorDisplayText(const std::exception& e);
