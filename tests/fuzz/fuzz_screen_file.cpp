// The screen file and the instrument's screen image: any bytes load over the screens in memory
// (a short input replaces only the leading bytes), draw only in the screen's colours, let the
// editor's keys run over whatever the cells hold with the cursor inside the screen, and what was
// loaded saves and loads again to the same bytes. As the answer to Get Screens, the same bytes
// give either the whole image or a store left as it was.
#include <algorithm>
#include <vector>

#include "core/screens/pixel_sink.h"
#include "core/screens/screen_actions.h"
#include "core/screens/screen_drawing.h"
#include "core/screens/screen_editor.h"
#include "core/screens/screen_store.h"
#include "core/screens/screen_transfer.h"
#include "fuzz_input.h"
#include "fuzz_link.h"

namespace {

using namespace vrn::screens;
using vrn::fuzz::require;

constexpr int kEditKeys[] = {8, 35, 36, 37, 38, 39, 40, 46};

struct Screens {
    explicit Screens(vrn::Host& host) : display(store, image), editor(display, host) {
        for (size_t i = 0; i < kStoreBytes; ++i)
            store.setCell(static_cast<int>(i / kScreenBytes), static_cast<int>(i % kScreenBytes / kColumns),
                          static_cast<int>(i % kColumns), static_cast<uint8_t>('0' + i % 10));
    }
    ScreenStore store;
    PixelBuffer image{kPictureWidth, kScreenImageHeight};
    ScreenDisplay display;
    ScreenEditor editor;
};

bool onlyScreenColours(const PixelBuffer& image) {
    return std::all_of(image.pixels().begin(), image.pixels().end(),
                       [](Rgb c) { return c == kGreen || c == kBlack; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    {
        vrn::fuzz::QuietHost host;
        Screens s(host);
        std::vector<uint8_t> expected(s.store.bytes().begin(), s.store.bytes().end());
        std::copy_n(input.begin(), std::min(size, kStoreBytes), expected.begin());
        ReadScreenFile(host, s.editor, input);
        require(std::equal(expected.begin(), expected.end(), s.store.bytes().begin()),
                "the file replaces exactly its leading bytes");
        require(s.store.current() == 0 && !s.editor.editing(), "a loaded file shows screen 1, not editing");

        for (int screen = 0; screen < kScreenCount; ++screen)
            s.display.ShowScreen(screen);
        require(onlyScreenColours(s.image), "the screen image holds only green and black");

        s.editor.ButtonStartEditClick();
        for (size_t i = 0; i < std::min<size_t>(size, 400); ++i) {
            const uint8_t b = input[size - 1 - i];
            if (b % 3 == 0)
                s.editor.keyDown(kEditKeys[b / 3 % 8]);
            else if (b % 3 == 1)
                s.editor.character(b);
            else
                s.editor.RadioButtonFontBigClick();
            require(s.editor.row() >= 0 && s.editor.row() < kRows && s.editor.column() >= 0 &&
                        s.editor.column() < kColumns,
                    "the cursor stays on the screen");
        }
        require(onlyScreenColours(s.image), "editing draws only green and black");

        const std::vector<uint8_t> saved(s.store.bytes().begin(), s.store.bytes().end());
        ScreenStore again;
        again.load(saved);
        require(std::equal(saved.begin(), saved.end(), again.bytes().begin()),
                "a saved store loads back the same");

        PixelBuffer picture(kPictureWidth, kPictureHeight, kWhite);
        drawPicture(picture, s.store, 0);
        require(std::all_of(picture.pixels().begin(), picture.pixels().end(),
                            [](Rgb c) { return c == kBlack || c == kWhite; }),
                "a picture holds only black and white");
    }
    {
        vrn::fuzz::ReplayLink link(input);
        Screens s(link.host);
        const std::vector<uint8_t> before(s.store.bytes().begin(), s.store.bytes().end());
        ScreenTransfer transfer(link.exchange, s.display, s.editor);
        const bool failed = !transfer.GetUserScreens().ok();
        require(failed == (size < kStoreBytes), "Get Screens succeeds exactly when a whole image arrives");
        const auto want = failed ? std::span<const uint8_t>(before) : input.first(kStoreBytes);
        require(std::equal(want.begin(), want.end(), s.store.bytes().begin()),
                "the store is the image or unchanged");
    }
    return 0;
}
