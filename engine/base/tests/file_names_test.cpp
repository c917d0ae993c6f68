#include <gtest/gtest.h>

#include <string>

#include "engine/base/file_names.h"

namespace {

const char* Shown(const char* text) { return text ? text : "(null)"; }

TEST(FileNames, EndingsWithAndWithoutCase) {
    struct Case {
        const char* text;
        const char* ending;
        bool exact;
        bool ignoring_case;
    } cases[] = {
        {"a.xml", ".xml", true, true},
        {".xml", ".xml", true, true},         // the ending is the whole text
        {"xml", ".xml", false, false},        // an ending longer than the text
        {"", ".xml", false, false},
        {"", "", true, true},
        {"a.xml", "", true, true},
        {"a.XML", ".xml", false, true},
        {"a.Xml", ".xMl", false, true},
        {"a.xml", ".XML", false, true},
        {"a.xmlx", ".xml", false, false},     // only the very end counts
        {"a.xml.bak", ".xml", false, false},
        {"b.pak", ".obb", false, false},
        {"abms", "bms", true, true},          // no '.' needed
        {"a.x\xC9", ".x\xE9", false, false},  // case is that of A-Z only
        {nullptr, ".xml", false, false},
        {"a.xml", nullptr, false, false},
    };
    for (const Case& c : cases) {
        std::string shown = std::string(Shown(c.text)) + " ~ " + Shown(c.ending);
        EXPECT_EQ(nStringEndsWith(c.text, c.ending), c.exact) << shown;
        EXPECT_EQ(nStringEndsWithIgnoringCase(c.text, c.ending), c.ignoring_case) << shown;
    }
}

TEST(FileNames, ExtensionsOfTheLastComponent) {
    struct Case {
        const char* path;
        const char* extension;     // nPathExtension, null for none
        bool with_leading_dot;     // nLEADING_DOT_STARTS_EXTENSION
        bool without_leading_dot;  // nLEADING_DOT_IS_NAME
    } cases[] = {
        {"a.png", "png", true, true},
        {"music/theme.ogg", "ogg", true, true},
        {"data.dir/theme", nullptr, false, false},  // a '.' before the last '/' is not the name's
        {"a/b.c/d.e", "e", true, true},
        {"a.tar.gz", "gz", true, true},
        {"a.", "", true, true},                     // a '.' at the end gives an empty extension
        {".png", "png", true, false},               // the dot first in the text
        {".", "", true, false},
        {"..png", "png", true, true},
        {"/.png", "png", true, true},               // a dot first after a '/' is no first character
        {"a/.png", "png", true, true},
        {"a/", nullptr, false, false},
        {"/", nullptr, false, false},
        {"a", nullptr, false, false},
        {"", nullptr, false, false},
        {"a\\b.c", "c", true, true},                // '\' separates nothing
        {"a.b\\c", "b\\c", true, true},
        {nullptr, nullptr, false, false},
    };
    for (const Case& c : cases) {
        const char* extension = nPathExtension(c.path);
        EXPECT_STREQ(extension, c.extension) << Shown(c.path);
        if (extension) {
            EXPECT_EQ(extension[-1], '.') << Shown(c.path);  // a pointer into the path, past its dot
        }
        EXPECT_EQ(nPathHasExtension(c.path, nLEADING_DOT_STARTS_EXTENSION), c.with_leading_dot) << Shown(c.path);
        EXPECT_EQ(nPathHasExtension(c.path, nLEADING_DOT_IS_NAME), c.without_leading_dot) << Shown(c.path);
    }
}

}  // namespace
