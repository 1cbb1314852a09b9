// Outside text in messages: one line, nothing the terminal would act on, never endless.

#include "platform/forms/Printable.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace oz {
namespace {

TEST(Printable, EscapesWhatATerminalWouldActOnAndCutsOnlyPastTheLimit) {
    const std::tuple<std::string, std::size_t, std::string> cases[] = {
        {"plain ascii ~ !", std::string::npos, "plain ascii ~ !"},
        {std::string("a\0b", 3), std::string::npos, "a\\x00b"},
        {"line\nbreak\r\ttab\x7f", std::string::npos, "line\\x0abreak\\x0d\\x09tab\\x7f"},
        {"\x1b[2J back\\slash", std::string::npos, "\\x1b[2J back\\x5cslash"},
        {"caf\xc3\xa9", std::string::npos, "caf\\xc3\\xa9"},
        {"12345", 5, "12345"},
        {"123456", 5, "12345... (6 bytes)"},
        {"\n\n\n", 2, "\\x0a\\x0a... (3 bytes)"},
        {"", 0, ""},
    };
    for (auto [text, longest, shown] : cases)
        EXPECT_EQ(Printable(text, longest), shown) << shown;
}

} // namespace
} // namespace oz
