#include "core/program/catalogue.h"

namespace vrn {
namespace {

// Parameter descriptors as the catalogue writes them: I integer, D decimal (always 7 wide),
// T text, H hex, C a choice from list `code`.
constexpr ParamDesc I(std::string_view name, uint8_t width, float initial) {
    return {name, 1, width, initial};
}
constexpr ParamDesc D(std::string_view name, float initial) {
    return {name, 2, 7, initial};
}
constexpr ParamDesc T(std::string_view name, uint8_t width) {
    return {name, 3, width, 0.0f};
}
constexpr ParamDesc H(std::string_view name, uint8_t width, float initial) {
    return {name, 4, width, initial};
}
constexpr ParamDesc C(std::string_view name, uint8_t code, float initial) {
    return {name, code, 0, initial};
}

template <typename... P>
constexpr InstrDesc In(std::string_view name, P... params) {
    return {name, static_cast<uint16_t>(sizeof...(P)), {params...}};
}

// The position of an entry is the instruction number the instrument stores.
constexpr std::array<InstrDesc, kInstructionCount> kCatalogue{{
    In("PGM END"),
    In("ALARM", I("sloc=", 3, 1), D("set1=", 0.0f), D("set2=", 0.0f), I("delay=", 3, 0), C("span=", 31, 0),
       I("sw=", 1, 1)),
    In("AVERAGE", I("sloc=", 3, 1), I("dloc=", 3, 1), C("type=", 26, 0), I("#samp=", 4, 0)),
    In("BEEP", I("num=", 1, 1)),
    In("CHANGE TO SCREEN", I("sloc=", 3, 1)),
    In("DELAY", I("msec=", 4, 1)),
    In("DISPLAY FLAGS", I("scrn=", 1, 1), C("font=", 5, 0), I("row=", 1, 1), I("col=", 2, 1),
       C("format=", 32, 0)),
    In("DISPLAY NESW", I("sloc=", 3, 1), I("scrn=", 1, 1), C("font=", 5, 0), I("row=", 1, 1),
       I("col=", 2, 1)),
    In("DISPLAY TEXT", I("scrn=", 1, 1), I("row=", 1, 1), I("col=", 2, 1), T("text=", 25), C("font=", 5, 0)),
    In("DISPLAY TIME", I("scrn=", 1, 1), C("font=", 5, 0), I("row=", 1, 1), I("col=", 2, 1)),
    In("DISPLAY VALUE", I("sloc=", 3, 1), I("scrn=", 1, 1), C("font=", 5, 0), I("row=", 1, 1),
       I("col=", 2, 1), I("width=", 1, 7), I("decpt=", 1, 0)),
    In("ELSE"),
    In("END IF"),
    In("FLAG SET", I("flag#=", 2, 1), C("state=", 12, 0)),
    In("FLAG SET MASK", H("mask=", 4, 0), C("state=", 12, 0)),
    In("FLAG TIME INTERVAL", C("unit=", 6, 0), I("time=", 4, 0), I("flag#=", 2, 1), C("state=", 12, 0)),
    In("IF FLAG", I("flag#=", 2, 1), C("state=", 12, 0)),
    In("IF FLAG MASK", H("mask=", 4, 0), C("logic=", 30, 0), C("state=", 12, 0)),
    In("IF KEYSWITCH", C("key=", 10, 0)),
    In("IF LOC1 COMPARE LOC2", I("sloc1=", 3, 1), C("comp:", 8, 0), I("sloc2=", 3, 1)),
    In("IF LOC COMPARE VAL", I("sloc=", 3, 1), C("comp:", 8, 0), D("val=", 0.0f)),
    In("IF LOC SPAN", I("sloc=", 3, 1), D("set1=", 0.0f), D("set2=", 0.0f), I("delay=", 2, 0),
       C("span=", 31, 0)),
    In("IF TIME INTERVAL", C("unit=", 6, 0), I("time=", 4, 0)),
    In("INPUT FREQ", I("chan=", 1, 1), C("type=", 22, 0), D("mult=", 1.0f), D("offs=", 0.0f),
       I("dloc=", 3, 1)),
    In("INPUT PRECIP (TIPPING BUCKET)", I("chan=", 1, 1), D("reso=", 0.1f), D("mult=", 1.0f),
       I("dloc=", 3, 1)),
    In("INPUT PRECIP (SIPHON)", I("chan=", 2, 1), C("type=", 18, 0), C("unit=", 15, 0), D("mult=", 1.0f),
       D("offs=", 0.0f), I("dloc=", 3, 1)),
    In("INPUT SERIAL NMEA", C("chan=", 34, 1), T("header=", 5), I("#flds=", 2, 1), I("wait=", 4, 1000),
       I("dloc1=", 3, 1)),
    In("INPUT SERIAL NUM", C("chan=", 34, 1), I("#flds=", 2, 1), C("delim=", 28, 0), C("endchr=", 27, 0),
       I("wait=", 4, 100), I("dloc1=", 3, 1)),
    In("INPUT SERIAL VRNT", C("chan=", 34, 1), C("units=", 14, 0), I("wait=", 4, 1000), I("dloc1=", 3, 1)),
    In("INPUT (reserved)"),
    In("INPUT VOLTAGE", I("chan=", 2, 1), C("type=", 18, 0), D("mult=", 1.0f), D("offs=", 0.0f),
       C("rate=", 21, 0), I("dloc=", 3, 1)),
    In("INPUT WIND DIR (VOLTAGE)", I("chan=", 2, 1), C("sensor=", 19, 0), I("dloc=", 3, 1)),
    In("INPUT WIND SPEED (FREQ)", I("chan=", 1, 1), C("sensor=", 19, 0), C("units=", 14, 0),
       I("dloc=", 3, 1)),
    In("LOC1 = LOC2", I("loc1=", 3, 1), I("loc2=", 3, 1)),
    In("LOC = VALUE", I("loc=", 3, 1), D("val=", 0.0f)),
    In("LOC1 = LOC2 OPER LOC3", I("loc1=", 3, 1), I("loc2=", 3, 1), C("oper:", 13, 0), I("loc3=", 3, 1)),
    In("LOC1 = LOC2 OPER VALUE", I("loc1=", 3, 1), I("loc2=", 3, 1), C("oper:", 13, 0), D("val=", 0.0f)),
    In("LOC1 = FUNCTION(LOC2)", I("loc1=", 3, 1), C("func=", 17, 0), I("loc2=", 3, 1)),
    In("MAXIMUM", I("sloc=", 3, 1), I("dloc1=", 3, 1), C("type=", 33, 0), I("#samp=", 4, 0)),
    In("MINIMUM", I("sloc=", 3, 1), I("dloc1=", 3, 1), C("type=", 33, 0), I("#samp=", 4, 0)),
    In("OUTPUT MILLIAMPS", I("sloc=", 3, 1), I("chan=", 2, 1), D("mult=", 1.0f), D("offs=", 0.0f)),
    In("OUTPUT MILLIVOLTS", I("sloc=", 3, 1), I("chan=", 2, 1), D("mult=", 1.0f), D("offs=", 0.0f)),
    In("OUTPUT SWITCH", I("chan=", 1, 1), C("state=", 12, 0)),
    In("RECORD TIME", C("frmt=", 16, 0)),
    In("RECORD VALUE", I("sloc=", 3, 1)),
    In("SERIAL BUFFER CHECKSUM", C("type=", 25, 0)),
    In("SERIAL BUFFER NESW", I("sloc=", 3, 1), C("delim=", 28, 0)),
    In("SERIAL BUFFER OUT", C("chan=", 34, 1), C("endchr=", 27, 0), I("delay=", 2, 0)),
    In("SERIAL BUFFER TEXT", T("text=", 25)),
    In("SERIAL BUFFER TIME", C("frmt=", 16, 0), C("delim=", 28, 0)),
    In("SERIAL BUFFER VALUE", I("loc=", 3, 1), I("width=", 1, 7), I("decpt=", 1, 0), C("delim=", 28, 0)),
    In("STANDARD DEVIATION", I("sloc=", 3, 1), I("dloc=", 3, 1), C("type=", 26, 0), I("#samp=", 4, 0)),
    In("WIND DIRECTION 0-540", I("sloc=", 3, 1), I("dloc=", 3, 1)),
}};

template <typename... S>
constexpr ChoiceList L(S... texts) {
    return {static_cast<uint16_t>(sizeof...(S)), {std::string_view(texts)...}};
}

// Indexed by kind code; codes 0 to 4 and the unused codes 7, 9, 11, 20, 23, 24 and 29 key no list.
constexpr uint8_t kFirstChoiceCode = 5;
constexpr uint8_t kLastChoiceCode = 34;
constexpr std::array<ChoiceList, kLastChoiceCode + 1> kChoiceLists{{
    {},
    {},
    {},
    {},
    {},
    L("SMALL", "BIG  "),                          // 5
    L("SEC", "MIN"),                              // 6
    {},                                           // 7
    L("< ", "<=", "> ", ">=", "<>", "= "),        // 8
    {},                                           // 9
    L("KEY1", "KEY2", "KEY3"),                    // 10
    {},                                           // 11
    L("OFF", "ON "),                              // 12
    L("+  ", "-  ", "*  ", "/  ", "POW", "MOD"),  // 13
    L("M/S ", "MPH ", "KM/H", "KTS "),            // 14
    L("MM  ", "INCH"),                            // 15
    L("DATE", "TIME"),                            // 16
    L("ABS    ", "COS    ", "SIN    ", "ATAN2  ", "DEWPT  ", "WETBULB", "WNDCHLL", "POLYNOM", "RTD375 ",
      "RTD385 ", "P CORR ", "ERRCODE", "DATETIME", "WAITFOR "),  // 17
    L("DIFF", "SE  "),                                           // 18
    L("TYPEA", "TYPEB", "TYPEC", "TYPED"),                       // 19
    {},                                                          // 20
    L("4800Hz ", "2400Hz ", "960Hz  ", "300Hz  ", "150Hz  ", "60Hz   ", "50Hz   ", "10Hz   ", "7.5Hz  ",
      "4.7Hz  "),                                           // 21
    L("LOW-AC", "TTL/SW"),                                  // 22
    {},                                                     // 23
    {},                                                     // 24
    L("SIMPLE", "CRC32 ", "NMEA  "),                        // 25
    L("BLOCK    ", "BLK ANGLE", "MOVING   ", "MOV ANGLE"),  // 26
    L("CR  ", "LF  ", "NONE", "CRLF"),                      // 27
    L("SPACE", "COMMA", "TAB  ", "NONE "),                  // 28
    {},                                                     // 29
    L("ANY", "ALL"),                                        // 30
    L("EXCL", "INCL"),                                      // 31
    L("BIN", "HEX"),                                        // 32
    L("BLOCK ", "MOVING"),                                  // 33
    L("COM1", "COM2"),                                      // 34
}};

}  // namespace

KindClass classify(uint8_t kind) {
    switch (kind) {
    case 0:
        return KindClass::None;
    case 1:
        return KindClass::Integer;
    case 2:
        return KindClass::Decimal;
    case 3:
        return KindClass::Text;
    case 4:
        return KindClass::Hex;
    default:
        return kind <= kLastChoiceCode ? KindClass::Choice : KindClass::None;
    }
}

const InstrDesc* instruction(uint32_t number) {
    return number < kCatalogue.size() ? &kCatalogue[number] : nullptr;
}

const ChoiceList* choiceList(uint8_t kind) {
    if (kind < kFirstChoiceCode || kind > kLastChoiceCode) return nullptr;
    const ChoiceList& list = kChoiceLists[kind];
    return list.count == 0 ? nullptr : &list;
}

std::optional<std::string_view> choiceText(uint8_t kind, uint32_t index) {
    const ChoiceList* list = choiceList(kind);
    if (list == nullptr || index >= list->count) return std::nullopt;
    return list->texts[index];
}

std::vector<std::string_view> chooserNames() {
    std::vector<std::string_view> names;
    for (uint32_t n = 1; n < kCatalogue.size(); ++n)
        names.push_back(kCatalogue[n].name);
    return names;
}

}  // namespace vrn
