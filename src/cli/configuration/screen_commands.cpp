#include "cli/configuration/screen_commands.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <filesystem>
#include <optional>
#include <span>

#include "cli/command_definition.h"
#include "cli/configuration/compare_commands.h"
#include "cli/outcome_exit.h"
#include "cli/output_target.h"
#include "cli/session.h"
#include "core/io/file_store.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/screens/screen_transfer.h"

namespace vrn::cli {
// The window loads whatever a file holds over the screens in memory; a script gets a refusal
// instead of screens that are partly someone else's.
std::optional<std::vector<uint8_t>> readScreenFile(Session& s, const std::string& path) {
    std::string error;
    auto bytes = s.env.files.readFile(path, screens::kStoreBytes + 1, error);
    if (!bytes) {
        s.host.error("cannot read " + path + ": " + error);
        return std::nullopt;
    }
    if (bytes->size() != screens::kStoreBytes) {
        s.host.error(path + " is not a screen file: " + std::to_string(bytes->size()) +
                     " bytes, where a screen file has 1920");
        return std::nullopt;
    }
    return bytes;
}

namespace {

constexpr CommandText kGetScreens{
    "get-screens", "read the eight LCD screens from the instrument into a screen file",
    "Reads the instrument's eight user screens (1,920 bytes) into a screen file, the same file the\n"
    "window's File, Open Screen File reads. The file is written only when every byte arrived.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli get-screens station-12.scr\n"};

constexpr CommandText kSendScreens{
    "send-screens", "send a screen file's eight LCD screens to the instrument",
    "Sends the eight screens of a screen file to the instrument, replacing the ones it shows.\n"
    "A file that is not exactly 1,920 bytes long is refused before anything is sent.\n"
    "With --verify the screens are read back afterwards and compared as diff-screens does;\n"
    "any difference is printed on stderr and the exit status is 3.\n"
    "\n"
    "example:\n"
    "  vrncomm-cli --port /dev/ttyUSB0 send-screens station-12.scr\n"};

constexpr CommandText kRender{
    "render", "draw a screen file's eight screens as PNG pictures, offline",
    "Draws each of the eight screens of a screen file twice, without the instrument:\n"
    "OUTDIR/screen-N-lcd.png as the LCD shows it (green on black, twice its size, 480 x 96) and\n"
    "OUTDIR/screen-N.png as the black-on-white picture of the printed report. OUTDIR is made if\n"
    "missing; the path of each picture is printed as it is written.\n"
    "\n"
    "example, to look over a station's screens before sending them:\n"
    "  vrncomm-cli render station-12.scr /tmp/station-12-screens\n"};

std::vector<uint8_t> png(const screens::PixelBuffer& pixels) {
    QImage image(pixels.width(), pixels.height(), QImage::Format_RGB32);
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            image.setPixel(x, y, 0xFF000000u | pixels.at(x, y));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

int runGetScreens(Session& s, const Words& args) {
    if (!claimOutputFile(s, args[0])) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    Screens screens(s.host);
    screens::ScreenTransfer transfer(*s.exchange, screens.display, screens.editor);
    if (const Outcome got = transfer.GetUserScreens(); !got.ok()) {
        MyCommError(s.host);
        return exitStatusOf(got, s.result);
    }
    std::string error;
    if (!s.env.files.writeFile(args[0], screens.store.bytes(), error)) {
        s.host.error("cannot write " + args[0] + ": " + error);
        return kExitUsage;
    }
    return kExitOk;
}

int runSendScreens(Session& s, const SendArgs& args) {
    const auto bytes = readScreenFile(s, args.file);
    if (!bytes) return kExitUsage;
    if (!s.openLink()) return kExitFailed;
    Screens screens(s.host);
    screens.store.load(*bytes);
    screens::ScreenTransfer transfer(*s.exchange, screens.display, screens.editor);
    if (const Outcome sent = transfer.SendUserScreens(); !sent.ok()) {
        MyCommError(s.host);
        return exitStatusOf(sent, s.result);
    }
    return args.verify ? verifyScreens(s, screens.store.bytes(), args.file) : kExitOk;
}

int runRender(Session& s, const Words& args) {
    if (!refuseStandardOutput(s, args[1], "render")) return kExitUsage;
    const auto bytes = readScreenFile(s, args[0]);
    if (!bytes) return kExitUsage;
    screens::ScreenStore store;
    store.load(*bytes);
    std::error_code made;
    std::filesystem::create_directories(args[1], made);
    for (int screen = 0; screen < screens::kScreenCount; ++screen) {
        screens::PixelBuffer lcd(screens::kPictureWidth, screens::kPictureHeight);
        for (int r = 0; r < screens::kRows; ++r)
            for (int c = 0; c < screens::kColumns; ++c)
                screens::DrawCell(lcd, r, c, store.cell(screen, r, c), false);
        screens::PixelBuffer picture(screens::kPictureWidth, screens::kPictureHeight, screens::kWhite);
        screens::drawPicture(picture, store, screen);
        const std::string base = args[1] + "/screen-" + std::to_string(screen + 1);
        for (const auto& [path, pixels] :
             {std::pair{base + "-lcd.png", &lcd}, std::pair{base + ".png", &picture}}) {
            std::string error;
            if (!s.env.files.writeFile(path, png(*pixels), error)) {
                s.host.error("cannot write " + path + ": " + error);
                return kExitUsage;
            }
            s.host.info(path);
        }
    }
    return kExitOk;
}

}  // namespace

void addScreenCommands(CLI::App& app, CommandRunner& chosen) {
    runsWithWords(addCommand(app, kGetScreens), chosen, {"FILE.scr"}, runGetScreens);
    addSend(addCommand(app, kSendScreens), chosen, "FILE.scr", runSendScreens);
    runsWithWords(addCommand(app, kRender), chosen, {"FILE.scr", "OUTDIR"}, runRender);
}

}  // namespace vrn::cli
