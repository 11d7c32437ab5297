#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/program/program_tree.h"
#include "core/screens/pixel_sink.h"
#include "core/screens/screen_store.h"
#include "core/setup/setup_model.h"
#include "core/workspace/report_canvas.h"
#include "core/workspace/report_layout.h"

namespace vrn::workspace {
namespace {

// A page of 8000 x 10500 device pixels: a report unit is 1000 pixels both ways.
struct RecordingCanvas final : ReportCanvas {
    struct Text {
        int page;
        int x;
        int y;
        std::string text;
        screens::Rgb colour;
    };
    struct Picture {
        int page;
        int x;
        int y;
        int width;
        int height;
        screens::PixelBuffer pixels;
    };
    int pageWidth() const override { return 8000; }
    int pageHeight() const override { return 10500; }
    void setTextColour(screens::Rgb c) override { colour = c; }
    void textAt(int x, int y, std::string_view text) override {
        texts.push_back({page, x, y, std::string(text), colour});
    }
    void picture(int x, int y, int w, int h, const screens::PixelBuffer& p) override {
        pictures.push_back({page, x, y, w, h, p});
    }
    void newPage() override { ++page; }

    const Text* find(const std::string& text) const {
        for (const Text& t : texts)
            if (t.text == text) return &t;
        return nullptr;
    }
    std::vector<Text> startingWith(const std::string& prefix) const {
        std::vector<Text> out;
        for (const Text& t : texts)
            if (t.text.starts_with(prefix)) out.push_back(t);
        return out;
    }

    int page = 0;
    screens::Rgb colour = 0x123456;
    std::vector<Text> texts;
    std::vector<Picture> pictures;
};

// Device positions are cut from sums of steps; a pixel either way is the same line.
bool near(int actual, double units) {
    return std::abs(actual - units * 1000) <= 1;
}

struct Rig {
    setup::SetupModel setup;
    ProgramTree tree;
    screens::ScreenStore screens;
    RecordingCanvas canvas;

    Rig() { tree.append({}, "PGM END"); }
    void print(std::string group = {}) {
        layOutReport(canvas, {setup, tree, screens, std::move(group), {2026, 7, 4, 10, 0, 0}});
    }
};

TEST(Report, SmallestReportHasThreePagesAndOneListingLine) {
    Rig rig;
    rig.print();
    EXPECT_EQ(rig.canvas.page, 2);
    const auto& t = rig.canvas.texts;
    ASSERT_GE(t.size(), 4u);
    EXPECT_EQ(t[0].text, "VARNO MODEL 41700");
    EXPECT_EQ(t[2].text, "July 04, 2026");
    EXPECT_EQ(t[3].text, "");
    EXPECT_TRUE(near(t[3].y, 1.05));
    const auto* program = rig.canvas.find("USER PROGRAM");
    const auto* end = rig.canvas.find("001 PGM END");
    ASSERT_TRUE(program && end);
    EXPECT_EQ(end->page, 0);
    EXPECT_TRUE(near(end->y - program->y, 0.30));
    EXPECT_EQ(rig.canvas.startingWith("002").size(), 0u);
    EXPECT_EQ(rig.canvas.pictures.size(), 8u);
}

TEST(Report, LongProgramBreaksColumnsAndPagesAtTheBottomLimit) {
    Rig rig;
    rig.tree = ProgramTree();
    for (int i = 0; i < 120; ++i) {
        const NodePath at = rig.tree.append({}, "INSTR");
        for (int p = 0; p < 4; ++p)
            rig.tree.append(at, "param");
    }
    rig.tree.append({}, "PGM END");
    rig.print("mast");

    const auto lines = rig.canvas.startingWith("");
    std::vector<RecordingCanvas::Text> instructions;
    bool parameterBelowLimit = false;
    for (const auto& l : lines) {
        if (l.text.size() > 4 && l.text[3] == ' ' && std::isdigit(static_cast<unsigned char>(l.text[0])))
            instructions.push_back(l);
        if (l.text == "param" && l.y > 9100) parameterBelowLimit = true;
    }
    ASSERT_EQ(instructions.size(), 121u);
    EXPECT_TRUE(parameterBelowLimit);
    EXPECT_EQ(instructions.back().text, "121 PGM END");
    int breaks = 0;
    for (size_t i = 0; i < instructions.size(); ++i) {
        const auto& l = instructions[i];
        SCOPED_TRACE(l.text);
        EXPECT_LE(l.y, 9100);
        EXPECT_TRUE(near(l.x, 0.75) || near(l.x, 3.25) || near(l.x, 5.75));
        if (i > 0 && (l.x != instructions[i - 1].x || l.page != instructions[i - 1].page)) {
            ++breaks;
            EXPECT_TRUE(near(l.y, 0.6));
            // The blank line before it would have passed the limit.
            EXPECT_GT(instructions[i - 1].y + 4 * 150 + 2 * 150, 9100);
            if (near(instructions[i - 1].x, 5.75)) {
                EXPECT_EQ(l.page, instructions[i - 1].page + 1);
                EXPECT_TRUE(near(l.x, 0.75));
            }
        }
    }
    EXPECT_GE(breaks, 3);
    // The two screen pages follow the listing's last page.
    EXPECT_EQ(rig.canvas.page, instructions.back().page + 2);
}

TEST(Report, ScrollLinesOnlyWhenScrollingIsOn) {
    struct Row {
        const char* name;
        bool scroll;
        const char* lastParameter;
    } rows[] = {
        {"off", false, "Screen Scroll: OFF"},
        {"on", true, "Screen Scroll End Screen: 3"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        rig.setup.setAutoScroll(r.scroll);
        rig.setup.setScrollPause(12);
        rig.setup.setScrollEnd(3);
        rig.print();
        EXPECT_EQ(rig.canvas.find("Screen Scroll Pause: 12 seconds") != nullptr, r.scroll);
        const auto* last = rig.canvas.find(r.lastParameter);
        const auto* head = rig.canvas.find("Field");
        ASSERT_TRUE(last && head);
        EXPECT_TRUE(near(head->y - last->y, 0.15));
    }
}

TEST(Report, FieldRowsPrintWhatTheirTypeHas) {
    Rig rig;
    rig.setup.setFieldsPerRecord(2);
    rig.setup.setType(0, static_cast<int32_t>(setup::FieldType::Date));
    rig.setup.setLabel(0, "DAY");
    rig.setup.setType(1, static_cast<int32_t>(setup::FieldType::Number));
    rig.setup.setLabel(1, "TEMP");
    rig.setup.setWidth(1, 6);
    rig.setup.setPrecision(1, 2);
    rig.print();
    const auto* head = rig.canvas.find("Field");
    ASSERT_TRUE(head);
    auto row = [&](int n) {
        std::vector<std::string> out;
        for (const auto& t : rig.canvas.texts)
            if (near(t.y - head->y, 0.15 * n) && t.page == 0) out.push_back(t.text);
        return out;
    };
    EXPECT_EQ(row(1), (std::vector<std::string>{"01", "DAY                      "}));
    EXPECT_EQ(row(2), (std::vector<std::string>{"02", "6", "2", "TEMP                     "}));
    EXPECT_TRUE(row(3).empty());
}

TEST(Report, ScreenPagesHaveTheirRulersAndGrid) {
    Rig rig;
    rig.screens.setCell(4, 0, 0, 'A');
    rig.print();
    const auto& pics = rig.canvas.pictures;
    ASSERT_EQ(pics.size(), 8u);
    for (size_t i = 0; i < pics.size(); ++i) {
        EXPECT_EQ(pics[i].page, i < 4 ? 1 : 2);
        EXPECT_TRUE(near(pics[i].x, 1.0));
        // Each title three steps above its picture, each picture 1.5 below the one before's top.
        EXPECT_TRUE(near(pics[i].y, 0.6 + 0.45 + (1.5 + 0.45) * static_cast<double>(i % 4)));
        EXPECT_EQ(pics[i].width, 5000);
        EXPECT_EQ(pics[i].height, 1000);
    }
    const screens::PixelBuffer& fifth = pics[4].pixels;
    EXPECT_EQ(fifth.at(0, 50), kDarkGrey);
    EXPECT_EQ(fifth.at(12, 50), kLightGrey);
    EXPECT_EQ(fifth.at(5, 16), kLightGrey);
    EXPECT_EQ(fifth.at(479, 50), kDarkGrey);
    EXPECT_EQ(fifth.at(6, 95), kDarkGrey);
    bool lit = false;
    for (int y = 1; y < 16; ++y)
        for (int x = 1; x < 12; ++x)
            lit = lit || fifth.at(x, y) == screens::kBlack;
    EXPECT_TRUE(lit);
    EXPECT_NE(pics[0].pixels.pixels(), fifth.pixels());

    struct Row {
        const char* name;
        int page;
        double x;
        const char* text;
        screens::Rgb colour;
    } rows[] = {
        {"first page block column", 1, 1.0625, "01", kLightGrey},
        {"second page block column", 2, 1.0925, "1", kDarkGrey},
        {"second page tenth block", 2, 1.0925 + 0.25 * 9, "0", kDarkGrey},
        {"cell column", 2, 1.03, "1", kLightGrey},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        bool found = false;
        for (const auto& t : rig.canvas.texts)
            found = found || (t.page == r.page && near(t.x, r.x) && t.text == r.text && t.colour == r.colour);
        EXPECT_TRUE(found);
    }
    const auto* title = rig.canvas.find("Screen 5");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->colour, screens::kBlack);
}

}  // namespace
}  // namespace vrn::workspace
