#include "core/app/recent_files.h"

#include <gtest/gtest.h>

#include <string>

#include "core/app/preferences.h"

namespace vrn {
namespace {

// The recent files go into a section of their own: the preferences' keys, other sections and
// comments stay byte for byte, and writing again changes nothing.
TEST(RecentFiles, RewriteTouchesOnlyItsOwnSection) {
    struct Row {
        const char* name;
        std::string before;
        std::vector<std::string> paths;
        std::string after;
    } rows[] = {
        {"new file", "", {"/a b/x.ssp", "/y.pgm"}, "[Recent Files]\nFile1=/a b/x.ssp\nFile2=/y.pgm\n"},
        {"after the preferences, their line ends kept",
         "[41700 Setup]\r\nTop=5\r\n",
         {"/x.set"},
         "[41700 Setup]\r\nTop=5\r\n\r\n[Recent Files]\r\nFile1=/x.set\r\n"},
        {"old list replaced, comment and next section kept",
         "[recent files]\n; mine\nFile1=/old.scr\nFile9=/odd\n\n[Last Folders]\nset=/s\n",
         {"/new.scr"},
         "[recent files]\nFile1=/new.scr\n; mine\n\n[Last Folders]\nset=/s\n"},
        {"emptied", "[Recent Files]\nFile1=/old.scr\n", {}, "[Recent Files]\n"},
        {"nothing to keep adds nothing", "[41700 Setup]\nTop=5\n", {}, "[41700 Setup]\nTop=5\n"},
        {"a name that cannot be read back is left out",
         "",
         {"/a\nb.pgm", " /lead.pgm", "/ok.pgm"},
         "[Recent Files]\nFile1=/ok.pgm\n"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const RecentFiles recent{r.paths};
        const std::string written = recent.toIni(r.before);
        EXPECT_EQ(written, r.after);
        EXPECT_EQ(RecentFiles::fromIni(written).toIni(written), written);
        EXPECT_EQ(parsePreferences(written), parsePreferences(r.before));
    }
    EXPECT_EQ(RecentFiles::fromIni("[Recent Files]\nFile2=/b\nFile1=/a\nFile3=/a\nFile4=\nOther=/c\n").paths,
              (std::vector<std::string>{"/a", "/b"}));
}

TEST(RecentFiles, NewestFirstWithoutRepeatsAndAtMostEight) {
    RecentFiles recent;
    for (int i = 1; i <= 10; ++i)
        recent.add("/f" + std::to_string(i));
    recent.add("/f5");
    EXPECT_EQ(recent.paths,
              (std::vector<std::string>{"/f5", "/f10", "/f9", "/f8", "/f7", "/f6", "/f4", "/f3"}));
    recent.remove("/f9");
    EXPECT_EQ(recent.paths.size(), 7u);
    EXPECT_EQ(recent.paths[2], "/f8");
}

}  // namespace
}  // namespace vrn
