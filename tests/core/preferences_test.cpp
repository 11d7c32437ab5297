#include "core/app/preferences.h"

#include <gtest/gtest.h>

namespace vrn {
namespace {

TEST(Preferences, ReadsEachKeyOrItsDefault) {
    struct Row {
        const char* name;
        const char* text;
        Preferences want;
    } rows[] = {
        {"empty file", "", {100, 100, false, 100}},
        {"all four",
         "[41700 Setup]\nTop=12\nLeft=-40\nShow Records=1\nNum of Records=5000\n",
         {12, -40, true, 5000}},
        {"Top missing", "[41700 Setup]\nLeft=7\nShow Records=0\nNum of Records=9\n", {100, 7, false, 9}},
        {"off the desktop", "[41700 Setup]\nTop=-32000\nLeft=40000\n", {-32000, 40000, false, 100}},
        {"not a number",
         "[41700 Setup]\nTop=abc\nLeft=12px\nShow Records=yes\nNum of Records=\n",
         {100, 100, false, 100}},
        {"beyond 32 bits", "[41700 Setup]\nTop=2147483648\nLeft=-2147483649\n", {100, 100, false, 100}},
        {"any non-zero shows records", "[41700 Setup]\nShow Records=-3\n", {100, 100, true, 100}},
        {"records below the range", "[41700 Setup]\nNum of Records=0\n", {100, 100, false, 1}},
        {"records above the range",
         "[41700 Setup]\nNum of Records=1000000000\n",
         {100, 100, false, 999999999}},
        {"other section only", "[Other]\nTop=5\n", {100, 100, false, 100}},
        {"keys of another section ignored",
         "[Other]\nTop=5\n[41700 Setup]\nLeft=6\n[More]\nLeft=9\n",
         {100, 6, false, 100}},
        {"blanks, CRLF, case, sign, quotes",
         "\xEF\xBB\xBF[ 41700 setup ]\r\n  top = +15 \r\nLEFT=\"16\"\r\n",
         {15, 16, false, 100}},
        {"comments and the first of two keys", "[41700 Setup]\n;Top=1\nTop=2\nTop=3\n", {2, 100, false, 100}},
        {"binary junk", "\x01\x02[41700 Setup\nTop\n=5\n\xff\xfe", {100, 100, false, 100}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(parsePreferences(r.text), r.want) << r.name;
}

TEST(Preferences, WritesTheFourKeysAndKeepsTheRest) {
    const Preferences prefs{-5, 2000, true, 250};
    struct Row {
        const char* name;
        const char* before;
        const char* after;
    } rows[] = {
        {"new file", "", "[41700 Setup]\nTop=-5\nLeft=2000\nShow Records=1\nNum of Records=250\n"},
        {"values replaced in place", "[41700 Setup]\nNum of Records=1\nTop=1\nLeft=1\nShow Records=0\n",
         "[41700 Setup]\nNum of Records=250\nTop=-5\nLeft=2000\nShow Records=1\n"},
        {"missing keys added to the section, other sections kept",
         "; mine\n[41700 Setup]\nTop=3\n\n[Other]\nTop=9\n",
         "; mine\n[41700 Setup]\nTop=-5\nLeft=2000\nShow Records=1\nNum of Records=250\n\n[Other]\nTop=9\n"},
        {"section header on the last line", "[41700 Setup]",
         "[41700 Setup]\nTop=-5\nLeft=2000\nShow Records=1\nNum of Records=250\n"},
        {"section added after the others", "[Other]\nx=1",
         "[Other]\nx=1\n\n[41700 Setup]\nTop=-5\nLeft=2000\nShow Records=1\nNum of Records=250\n"},
        {"CRLF file stays CRLF", "[41700 Setup]\r\nTop=1\r\n",
         "[41700 Setup]\r\nTop=-5\r\nLeft=2000\r\nShow Records=1\r\nNum of Records=250\r\n"},
    };
    for (const Row& r : rows) {
        const std::string written = writePreferences(r.before, prefs);
        EXPECT_EQ(written, r.after) << r.name;
        EXPECT_EQ(parsePreferences(written), prefs) << r.name << ": reads back";
    }
}

}  // namespace
}  // namespace vrn
