#include "Format.h"

#include <gtest/gtest.h>

namespace {

TEST(Format, ReplacesPlaceholdersInOrder) {
    struct Case {
        const char* fmt;
        std::initializer_list<std::string_view> args;
        const char* expected;
    };
    const Case cases[] = {
        {"%s: \"%s\" does not exists.",
         {"Unit", "C:\\a.pas"},
         "Unit: \"C:\\a.pas\" does not exists."},
        {"%s%s", {"a", "b"}, "ab"},
        {"100%% of %s", {"x"}, "100% of x"},
        {"%%s", {"x"}, "%s"},
        {"%s and %s", {"one"}, "one and "},
        {"%s", {"a", "b"}, "a"},
        {"%d %x %", {"a"}, "%d %x %"},
        {"", {"a"}, ""},
        {"%s", {"%s"}, "%s"}, // arguments are not formatted again
    };
    for (const Case& c : cases)
        EXPECT_EQ(Format(c.fmt, c.args), c.expected) << c.fmt;
}

} // namespace
