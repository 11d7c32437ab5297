// The group file and its members: any bytes as the group file and as each member open without
// harm; the group opens exactly when its first bytes are the mark; what was opened saves as a
// group that opens and saves again to the same bytes; and the report of it lays out with every
// listing line above its bottom limit and the screens on the last two pages.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "core/io/file_store.h"
#include "core/program/program_model.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/setup/setup_model.h"
#include "core/workspace/group_actions.h"
#include "core/workspace/group_file.h"
#include "core/workspace/report_canvas.h"
#include "core/workspace/report_layout.h"
#include "fuzz_input.h"
#include "fuzz_link.h"

namespace {

using namespace vrn;
using vrn::fuzz::require;

struct Files final : FileStore {
    std::map<std::string, std::vector<uint8_t>> files;
    std::optional<std::vector<uint8_t>> readFile(const std::string& path, size_t maxBytes,
                                                 std::string& error) override {
        const auto it = files.find(path);
        if (it == files.end()) {
            error = "missing";
            return std::nullopt;
        }
        const auto n = static_cast<std::ptrdiff_t>(std::min(maxBytes, it->second.size()));
        return std::vector<uint8_t>(it->second.begin(), it->second.begin() + n);
    }
    bool writeFile(const std::string& path, std::span<const uint8_t> bytes, std::string&) override {
        files[path].assign(bytes.begin(), bytes.end());
        return true;
    }
    bool writeFiles(std::span<const FileWrite> batch, std::string&, std::string&) override {
        for (const FileWrite& f : batch)
            files[f.path] = f.bytes;
        return true;
    }
    bool canCreate(const std::string&, std::string&) override { return true; }
};

struct Models {
    explicit Models(Host& host) : display(store, image), editor(display, host) {}
    setup::SetupModel setup;
    screens::ScreenStore store;
    screens::PixelBuffer image{screens::kPictureWidth, screens::kScreenImageHeight};
    screens::ScreenDisplay display;
    screens::ScreenEditor editor;
    ProgramModel program;
    workspace::Workspace ws{setup, editor, program, {}};
};

struct Canvas final : workspace::ReportCanvas {
    int pageWidth() const override { return 8000; }
    int pageHeight() const override { return 10500; }
    void setTextColour(screens::Rgb) override {}
    void textAt(int, int y, std::string_view text) override {
        if (text.size() > 4 && text[3] == ' ' && text[0] >= '0' && text[0] <= '9')
            lowestInstruction = std::max(lowestInstruction, y);
    }
    void picture(int, int, int, int, const screens::PixelBuffer&) override { pictureAfterLastPage = page; }
    void newPage() override { ++page; }
    int page = 0;
    int lowestInstruction = 0;
    int pictureAfterLastPage = -1;
};

std::vector<uint8_t> encode(const screens::PixelBuffer& p) {
    return std::vector<uint8_t>(p.pixels().size() / 64, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> input(data, data + size);
    vrn::fuzz::QuietHost host;
    Files files;
    const workspace::GroupMembers in = workspace::groupMembers("/in/g.ssp");
    for (const std::string& path : {std::string("/in/g.ssp"), in.setup, in.screens, in.program})
        files.files[path] = input;

    Models opened(host);
    const bool open = workspace::openGroupFiles(host, files, opened.ws, "/in/g.ssp");
    require(open == workspace::isGroupFile(input), "a group opens exactly when it starts with the mark");
    if (!open) return 0;

    require(workspace::saveGroupFiles(host, files, opened.ws, "/a/g.ssp", encode).ok(),
            "an opened group saves");
    Models again(host);
    require(workspace::openGroupFiles(host, files, again.ws, "/a/g.ssp"), "a saved group opens");
    require(workspace::saveGroupFiles(host, files, again.ws, "/b/g.ssp", encode).ok(),
            "a saved group saves again");
    const workspace::GroupMembers a = workspace::groupMembers("/a/g.ssp"),
                                  b = workspace::groupMembers("/b/g.ssp");
    require(files.files[a.setup] == files.files[b.setup] &&
                files.files[a.screens] == files.files[b.screens] &&
                files.files[a.program] == files.files[b.program] &&
                files.files[a.listing] == files.files[b.listing],
            "an opened group saves again to the same members");

    Canvas canvas;
    workspace::layOutReport(canvas, {again.setup, again.program.tree, again.store, again.ws.groupName, {}});
    require(canvas.lowestInstruction <= 9100, "no listing line starts below its limit");
    require(canvas.pictureAfterLastPage == canvas.page, "the last screen is on the last page");
    return 0;
}
