#include "core/workspace/group_actions.h"

#include <vector>

#include "core/io/file_store.h"
#include "core/link/host.h"
#include "core/program/program_actions.h"
#include "core/program/program_file.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_actions.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/setup/setup_file.h"
#include "core/workspace/group_file.h"

namespace vrn::workspace {
namespace {

std::string cannotOpenText(const char* member) {
    return std::string("The ") + member +
           " file cannot be opened.\nThe filename may have been changed\nor the file moved or erased. "
           "Please\nset Setup parameters manually.";
}

FileDialogSpec groupDialog(bool save) {
    FileDialogSpec spec;
    spec.title = save ? "Save Setup/Screens/Pgm" : "Open Setup/Screens/Pgm";
    spec.filter = save ? kSaveGroupFilter : kOpenGroupFilter;
    spec.defaultExt = kGroupFileExt;
    spec.mustExist = !save;
    spec.overwritePrompt = save;
    return spec;
}

std::vector<uint8_t> textBytes(const std::string& text) {
    return {text.begin(), text.end()};
}

}  // namespace

bool openGroupFiles(Host& host, FileStore& files, Workspace& ws, const std::string& path) {
    WaitCursor hourglass(host);
    std::string error;
    const auto mark = files.readFile(path, kGroupMark.size(), error);
    if (!mark || !isGroupFile(*mark)) {
        warn(host, kIncorrectGroupText);
        return false;
    }
    ws.groupName = groupBaseName(path);
    const GroupMembers members = groupMembers(path);

    if (const auto bytes = files.readFile(members.setup, setup::kSetupFileSize, error))
        setup::readSetupFile(*bytes, ws.setup);
    else
        warn(host, cannotOpenText("Setup"));

    if (const auto bytes = files.readFile(members.screens, screens::kStoreBytes, error))
        screens::ReadScreenFile(host, ws.screens, *bytes);
    else
        warn(host, cannotOpenText("Screen"));

    if (const auto bytes = files.readFile(members.program, program::kMaxProgramFileBytes, error)) {
        // A tree the reader stops in is kept as far as it went, with the reader's own message.
        if (const auto invalid = readProgramFile(*bytes, ws.program)) warn(host, *invalid);
    } else {
        warn(host, cannotOpenText("Program"));
    }
    host.appendLine("OPENED GROUP " + path);
    return true;
}

bool confirmOverwrite(Host& host) {
    return confirm(host, "Overwrite Setup/Screens/Pgm in VRNComm?");
}

std::optional<std::string> OpenGroup(Host& host, FileStore& files, Workspace& ws) {
    if (!confirmOverwrite(host)) return std::nullopt;
    auto path = host.openFileName(groupDialog(false));
    if (!path || !openGroupFiles(host, files, ws, *path)) return std::nullopt;
    return path;
}

Outcome saveGroupFiles(Host& host, FileStore& files, Workspace& ws, const std::string& path,
                       const PictureEncoder& encode) {
    WaitCursor hourglass(host);
    const GroupMembers members = groupMembers(path);
    // The group and its three members replace their old files together or not at all: a group
    // half new and half old would send an instrument a configuration it never had.
    const std::vector<FileStore::FileWrite> group = {
        {path, std::vector<uint8_t>(groupMarkBytes().begin(), groupMarkBytes().end())},
        {members.setup, setup::writeSetupFile(ws.setup)},
        {members.screens,
         std::vector<uint8_t>(ws.screens.store().bytes().begin(), ws.screens.store().bytes().end())},
        {members.program, writeProgramFile(ws.program)},
    };
    std::string failed;
    std::string error;
    if (!files.writeFiles(group, failed, error)) {
        std::string box;
        if (failed == path) {
            box = "Cannot create file \"" + path + "\".\n" + error;
        } else {
            const char* member = failed == members.setup     ? "Setup"
                                 : failed == members.screens ? "Screen"
                                                             : "Program";
            box = std::string("The ") + member + " file could not be saved.\n" + failed + ": " + error;
        }
        warn(host, box);
        return Outcome::notWritten(box);
    }
    ws.groupName = groupBaseName(path);

    // The listing and the pictures are for people; their failures are not reported.
    files.writeFile(members.listing, textBytes(programTreeText(ws.program.tree)), error);
    for (int screen = 0; screen < screens::kScreenCount; ++screen) {
        screens::PixelBuffer picture(screens::kPictureWidth, screens::kPictureHeight, screens::kWhite);
        screens::drawPicture(picture, ws.screens.store(), screen);
        const std::vector<uint8_t> bmp = encode ? encode(picture) : std::vector<uint8_t>{};
        if (bmp.empty() || !files.writeFile(members.pictures[static_cast<size_t>(screen)], bmp, error)) break;
    }
    return Outcome::done();
}

std::optional<std::string> SaveGroup(Host& host, FileStore& files, Workspace& ws,
                                     const PictureEncoder& encode) {
    auto path = host.saveFileName(groupDialog(true));
    if (!path || !saveGroupFiles(host, files, ws, *path, encode).ok()) return std::nullopt;
    host.appendLine("SAVED GROUP " + *path);
    return path;
}

}  // namespace vrn::workspace
