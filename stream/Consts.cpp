// Template filling for the message table, and the text of any exception.
#include "stream/Consts.h"

#include "stream/Exceptions.h"

#include <new>
#include <stdexcept>

std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && (pattern[i + 1] == 's' || pattern[i + 1] == 'd')) {
            if (next != args.end()) out.append(*next++);
            ++i;
        } else if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] == '%') {
            out.push_back('%');
            ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string ExceptionMessage(const std::exception& e) {
    if (auto* ex = dynamic_cast<const Exception*>(&e)) return ex->Message();
    if (dynamic_cast<const std::bad_alloc*>(&e) || dynamic_cast<const std::length_error*>(&e))
        return std::string(SConsts::SOutOfResources);
    return e.what();
}
