#include <string_view>

#include "sim/sim_state.h"

namespace vrn::sim {
namespace {

constexpr int kColumns = 40;
constexpr int kScreenBytes = 240;
constexpr uint8_t kLargeBit = 0x80;

// Writes small characters from (row, column) on; "~" is the degree sign.
void text(SimScreens& s, int screen, int row, int column, std::string_view chars) {
    for (char c : chars) {
        if (column >= kColumns) return;
        s[static_cast<size_t>(screen * kScreenBytes + row * kColumns + column++)] = static_cast<uint8_t>(c);
    }
}

// Writes large characters, each over its 2 x 2 block, from the block of (row, column) on.
void large(SimScreens& s, int screen, int row, int column, std::string_view chars) {
    row &= ~1;
    column &= ~1;
    for (char c : chars) {
        if (column >= kColumns) return;
        for (int r = row; r < row + 2; ++r)
            for (int k = column; k < column + 2; ++k)
                s[static_cast<size_t>(screen * kScreenBytes + r * kColumns + k)] =
                    static_cast<uint8_t>(static_cast<uint8_t>(c) | kLargeBit);
        column += 2;
    }
}

}  // namespace

SimScreens defaultScreens() {
    SimScreens s;
    s.fill(' ');
    large(s, 0, 0, 0, "STATION 12");
    text(s, 0, 2, 0, "RIDGE TOP WEATHER STATION   ELEV 1240 m");
    text(s, 0, 3, 0, "}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}");
    text(s, 0, 4, 0, "\x7F SCREEN 2  AIR     \x7F SCREEN 5  RAIN");
    text(s, 0, 5, 0, "\x7F SCREEN 3  WIND    \x7F SCREEN 8  STATUS");

    text(s, 1, 0, 0, "AIR TEMPERATURE              21.4 ~C");
    text(s, 1, 1, 0, "RELATIVE HUMIDITY            63.2 %");
    text(s, 1, 2, 0, "DEW POINT                    14.0 ~C");
    text(s, 1, 3, 0, "BAROMETRIC PRESSURE        1013.6 hPa");
    text(s, 1, 4, 0, "SOLAR RADIATION             512   W/m2");
    text(s, 1, 5, 0, "24 HR MAX 26.9 ~C     24 HR MIN 11.2 ~C");

    text(s, 2, 0, 0, "WIND SPEED                    4.6 m/s");
    text(s, 2, 1, 0, "WIND DIRECTION                247 ~");
    text(s, 2, 2, 0, "WIND GUST                     9.1 m/s");
    text(s, 2, 3, 0, "10 MIN AVERAGE                3.9 m/s");
    text(s, 2, 5, 0, "N    E    S    W    N");
    text(s, 2, 4, 0, "{{{{{{{{{{{{{{{{|{{{{");

    large(s, 3, 0, 0, "21.4~C");
    text(s, 3, 0, 16, "AIR TEMPERATURE");
    text(s, 3, 1, 16, "AT 2 m");
    large(s, 3, 2, 0, "63.2%");
    text(s, 3, 2, 16, "RELATIVE HUMIDITY");
    large(s, 3, 4, 0, "4.6");
    text(s, 3, 4, 16, "WIND m/s  FROM 247~");

    text(s, 4, 0, 0, "RAIN TODAY                     3.2 mm");
    text(s, 4, 1, 0, "RAIN LAST HOUR                 0.4 mm");
    text(s, 4, 2, 0, "RAIN THIS MONTH               48.6 mm");
    text(s, 4, 3, 0, "RAIN RATE                      1.1 mm/h");
    text(s, 4, 5, 0, "LAST TIP 14:52");

    text(s, 5, 0, 0, "SOIL TEMPERATURE  10 cm        14.2 ~C");
    text(s, 5, 1, 0, "SOIL TEMPERATURE  50 cm        11.8 ~C");
    text(s, 5, 2, 0, "SOIL MOISTURE     10 cm        27.5 %");
    text(s, 5, 3, 0, "LEAF WETNESS                    DRY");
    text(s, 5, 5, 0, "GRASS MIN TONIGHT               6.0 ~C");

    large(s, 6, 0, 0, "BATTERY");
    text(s, 6, 2, 0, "BATTERY   12.8 V  ||||||||||||{{{{{{{{");
    text(s, 6, 3, 0, "SOLAR     18.4 V  ||||||||||||||||||{{");
    text(s, 6, 4, 0, "LOGGER     3.3 V  ||||||||||||||||||||");
    text(s, 6, 5, 0, "ENCLOSURE 31.2 ~C");

    text(s, 7, 0, 0, "STATION STATUS");
    text(s, 7, 1, 0, "LOGGING EVERY 1 MIN     RECORDS 1284");
    text(s, 7, 2, 0, "COM1 9600 RS-232    COM2 9600");
    text(s, 7, 3, 0, "LAST CALL  07-14-26 06:00:12");
    text(s, 7, 5, 0, "\x7F ALL SENSORS OK");
    return s;
}

}  // namespace vrn::sim
