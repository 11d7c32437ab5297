#include <gtest/gtest.h>

#include <string>

#include "core/app/preferences.h"

namespace vrn {
namespace {

// Saving the preferences into a file an editor has touched keeps everything but our four lines,
// and saving again changes nothing.
TEST(Preferences, RewriteKeepsTheRestOfTheFile) {
    struct Row {
        const char* name;
        std::string before;
        std::string after;
    } rows[] = {
        {"byte order mark kept", "\xEF\xBB\xBF[41700 Setup]\nTop=5\n",
         "\xEF\xBB\xBF[41700 Setup]\nTop=7\nLeft=100\nShow Records=0\nNum of Records=100\n"},
        {"only a byte order mark", "\xEF\xBB\xBF",
         "\xEF\xBB\xBF[41700 Setup]\nTop=7\nLeft=100\nShow Records=0\nNum of Records=100\n"},
        {"other section and comment kept", "; mine\r\n[Other]\r\nTop=1\r\n",
         "; mine\r\n[Other]\r\nTop=1\r\n\r\n[41700 Setup]\r\nTop=7\r\nLeft=100\r\nShow Records=0\r\n"
         "Num of Records=100\r\n"},
    };
    Preferences prefs;
    prefs.Top = 7;
    for (const Row& r : rows) {
        const std::string written = writePreferences(r.before, prefs);
        EXPECT_EQ(written, r.after) << r.name;
        EXPECT_EQ(parsePreferences(written), prefs) << r.name;
        EXPECT_EQ(writePreferences(written, prefs), written) << r.name;
    }
}

}  // namespace
}  // namespace vrn
