#include "platform/forms/Printable.h"

#include <cstdio>

namespace oz {

std::string Printable(const std::string& text, std::size_t longest) {
    const bool cut = text.size() > longest;
    const std::size_t shownBytes = cut ? longest : text.size();
    std::string shown;
    shown.reserve(shownBytes + 24);
    for (std::size_t i = 0; i < shownBytes; ++i) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (ch >= 0x20 && ch < 0x7f && ch != '\\') {
            shown += static_cast<char>(ch);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", ch);
            shown += buf;
        }
    }
    if (cut)
        shown += "... (" + std::to_string(text.size()) + " bytes)";
    return shown;
}

} // namespace oz
