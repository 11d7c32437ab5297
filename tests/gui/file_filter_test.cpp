#include "gui/app/file_filter.h"

#include <gtest/gtest.h>

namespace vrn::test {
namespace {

TEST(FileFilter, PairsBecomeQtNameFilters) {
    struct Row {
        const char* name;
        const char* pairs;
        QStringList want;
    } rows[] = {
        {"one pair", "Setup File (*.set)|*.set", {"Setup File (*.set)"}},
        {"two pairs, every file",
         "Text (*.txt)|*.txt|All Files (*.*)|*.*",
         {"Text (*.txt)", "All Files (*)"}},
        {"description without patterns", "Group files|*.ssp", {"Group files (*.ssp)"}},
        {"several patterns", "Pictures (*.bmp;*.png)|*.bmp;*.png", {"Pictures (*.bmp *.png)"}},
        {"the pattern half wins", "Firmware (*.hex)|*.glo", {"Firmware (*.glo)"}},
        {"dangling description dropped", "Text (*.txt)|*.txt|Broken", {"Text (*.txt)"}},
        {"empty", "", {}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(gui::qtNameFilters(r.pairs), r.want) << r.name;
}

}  // namespace
}  // namespace vrn::test
