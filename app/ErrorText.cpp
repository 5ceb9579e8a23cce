// Error box text.
#include "app/ErrorText.h"

#include "stream/Exceptions.h"

std::string ErrorDisplayText(const std::exception& e) {
    std::string text = ExceptionMessage(e);
    if (auto* ex = dynamic_cast<const Exception*>(&e)) {
        const Exception* inner = ex;
        while (inner->InnerException())
            inner = inner->InnerException().get();
        if (inner != ex && !inner->Message().empty()) text = inner->Message();
    }
    // Compared as a code point: any byte of a multi-byte UTF-8 character is above ".".
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}
