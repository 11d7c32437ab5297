#include "sim/screen_commands.h"

#include <algorithm>

#include "sim/instrument.h"

namespace vrn::sim {

void registerScreenCommands(Instrument& in) {
    in.registerCommand(215, [](Instrument& i, const CommandLine&) { i.replyBytes(i.state.screens); });
    in.registerCommand(210, [](Instrument& i, const CommandLine&) {
        i.reply("*");
        i.expectBlock(i.state.screens.size(), [](Instrument& d, std::span<const uint8_t> block) {
            std::copy_n(block.begin(), std::min(block.size(), d.state.screens.size()),
                        d.state.screens.begin());
        });
    });
}

}  // namespace vrn::sim
