// Opening and saving a file or a group says so in the message area, with the file's name.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/program/program_actions.h"
#include "core/program/program_model.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_actions.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/setup/setup_actions.h"
#include "core/setup/setup_model.h"
#include "core/workspace/group_actions.h"
#include "memory_file_store.h"
#include "recording_host.h"

namespace vrn {
namespace {

struct Models {
    explicit Models(Host& host) : display(store, image), editor(display, host) { editor.clearAll(); }
    setup::SetupModel setup;
    screens::ScreenStore store;
    screens::PixelBuffer image{screens::kPictureWidth, screens::kScreenImageHeight};
    screens::ScreenDisplay display;
    screens::ScreenEditor editor;
    ProgramModel program;
    workspace::Workspace ws{setup, editor, program, {}};
};

using Action = std::function<void(Host&, FileStore&, Models&)>;

TEST(FileLines, OpenAndSaveNameTheFileOnlyWhenDone) {
    const auto picture = [](const screens::PixelBuffer&) { return std::vector<uint8_t>{'B', 'M'}; };
    struct Row {
        const char* name;
        const char* file;
        Action save, open;
        const char* saved;
        const char* opened;
    };
    const Row rows[] = {
        {"setup", "a.set", [](Host& h, FileStore& f, Models& m) { setup::SaveSetupFile(h, f, m.setup); },
         [](Host& h, FileStore& f, Models& m) { setup::OpenSetupFile(h, f, m.setup); }, "SAVED SETUP FILE ",
         "OPENED SETUP FILE "},
        {"screens", "a.scr",
         [](Host& h, FileStore& f, Models& m) { screens::SaveScreenFile(h, f, m.editor); },
         [](Host& h, FileStore& f, Models& m) { screens::OpenScreenFile(h, f, m.editor); },
         "SAVED SCREEN FILE ", "OPENED SCREEN FILE "},
        {"program", "a.pgm", [](Host& h, FileStore& f, Models& m) { program::SavePgmFile(h, f, m.program); },
         [](Host& h, FileStore& f, Models& m) { program::OpenPgmFile(h, f, m.program); },
         "SAVED USER PGM FILE ", "OPENED USER PGM FILE "},
        {"group", "a.ssp",
         [&](Host& h, FileStore& f, Models& m) { workspace::SaveGroup(h, f, m.ws, picture); },
         [](Host& h, FileStore& f, Models& m) { workspace::OpenGroup(h, f, m.ws); }, "SAVED GROUP ",
         "OPENED GROUP "},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        test::RecordingHost host;
        test::MemoryFileStore files;
        Models models(host);
        const std::string path = std::string("/home/user/") + r.file;

        host.setNextFileName(std::nullopt);
        r.save(host, files, models);
        host.setNextFileName("/readonly/" + std::string(r.file));
        r.save(host, files, models);
        EXPECT_TRUE(host.lines.empty()) << "a cancelled or failed save says nothing here";

        host.setNextFileName(path);
        r.save(host, files, models);
        ASSERT_EQ(host.lines.size(), 1u);
        EXPECT_EQ(host.lines.back(), r.saved + path);

        host.setNextAnswer(MsgResult::Yes);  // the group asks before it replaces everything
        host.setNextFileName(path);
        r.open(host, files, models);
        ASSERT_EQ(host.lines.size(), 2u);
        EXPECT_EQ(host.lines.back(), r.opened + path);

        host.setNextAnswer(MsgResult::Yes);
        host.setNextFileName("/home/user/missing");
        r.open(host, files, models);
        EXPECT_EQ(host.lines.size(), 2u) << "a file that cannot be opened adds no line";
    }
}

}  // namespace
}  // namespace vrn
