// The show's keys: what each does, and the table they come from held against every place a
// person reads them (the page, the READMEs, the manual pages).
#include "driver/keys.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "driver/demo.h"
#include "driver/fps.h"
#include "platform/headless.h"
#include "tests/driver/scene.h"

namespace {
struct Keys : ::testing::Test {
    void SetUp() override {
        PlatformChooseHeadless(nullptr);
        ASSERT_EQ(DemoInitScene(kScreenWidth, kScreenHeight), nullptr);
        demo.control = 0;
    }
    void TearDown() override { FreeScene(); }
};

std::string Read(const std::string& path) {
    std::ifstream in(std::string(KELP_SOURCE_DIR) + "/" + path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_FALSE(text.str().empty()) << path;
    return text.str();
}

std::string Lower(std::string text) {
    for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The text from the first `from` to the next `to`.
std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    const size_t start = text.find(from);
    EXPECT_NE(start, std::string::npos) << from;
    return start == std::string::npos ? "" : text.substr(start, text.find(to, start) - start);
}

// Every match of a pattern's groups (one or two) in a text.
std::vector<std::pair<std::string, std::string>> Matches(const std::string& text, const char* pattern) {
    std::vector<std::pair<std::string, std::string>> found;
    const std::regex re(pattern);
    for (auto m = std::sregex_iterator(text.begin(), text.end(), re); m != std::sregex_iterator(); ++m) {
        found.emplace_back((*m)[1], (*m)[2]);
    }
    return found;
}

// A document's rows of a key and what it does are the table's, in its order, each naming the
// key as the command line does (in any case) and beginning with its effect.
void ExpectRows(const std::vector<std::pair<std::string, std::string>>& rows, const char* document) {
    ASSERT_EQ(rows.size(), kDemoKeys.size()) << document << ": one row a key";
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(Lower(rows[i].first), kDemoKeys[i].name) << document;
        EXPECT_TRUE(Lower(rows[i].second).starts_with(kDemoKeys[i].effect)) << document << ": " << rows[i].second;
    }
}
} // namespace

TEST_F(Keys, SwitchesAndRatesActOncePerPressAndOtherKeysDoNothing) {
    DemoKey('1');
    EXPECT_EQ(demo.scroller, 0);
    DemoKey('1');
    EXPECT_EQ(demo.scroller, 1);
    DemoKey('f');
    EXPECT_EQ(demo.readout, 1);
    DemoKey('f' + 256); // the key byte is compared as a signed character
    EXPECT_EQ(demo.readout, 0);
    DemoKey('5');
    EXPECT_EQ(FPSState.target, 25);
    DemoKey('6');
    EXPECT_EQ(FPSState.target, 50);
    DemoKey('5');
    FPSTick();
    EXPECT_EQ(FPSState.period, 40000); // a new rate takes effect at the next tick
    DemoKey(' ');
    EXPECT_EQ(demo.control, kSkipRequest);

    const DEMO before = demo;
    for (int key : {int('2'), int('3'), int('q'), int('w'), int('e'), 0, 255, 128, int('\r')}) DemoKey(key);
    EXPECT_EQ(demo.scroller, before.scroller);
    EXPECT_EQ(demo.readout, before.readout);
    EXPECT_EQ(demo.control, before.control);
    EXPECT_EQ(FPSState.target, 25);
}

TEST_F(Keys, SpeedKeysHoldTheScrollerWithinItsRange) {
    demo.scroll->speed = 5;
    for (int i = 0; i < 40; ++i) DemoKey('a');
    EXPECT_EQ(demo.scroll->speed, 32);
    for (int i = 0; i < 80; ++i) DemoKey('s');
    EXPECT_EQ(demo.scroll->speed, -32);
    demo.scroll->speed = 5;
}

TEST(KeyTable, EveryKeyHasAByteAndANameOfItsOwn) {
    for (const DEMOKEY& key : kDemoKeys) {
        EXPECT_EQ(DemoFindKey(key.code), &key) << key.name; // no row before it has its byte
        EXPECT_EQ(DemoFindKeyName(key.name), &key) << key.name;
    }
}

TEST(KeyTable, TheReadmesAndTheManualPagesListEveryKeyAndWhatItDoes) {
    const std::string readme = Between(Read("README.md"), "|---------|--------|", "\n\n");
    ExpectRows(Matches(readme, R"(\n\| (\S+) +\| ([^|\n]*) \|)"), "README.md");
    const std::string manual = Between(Read("packaging/kelp2207.6.in"), ".SH KEYS", ".PP");
    ExpectRows(Matches(manual, R"(\n\.B ([^\n]+)\n([^\n]+))"), "kelp2207.6");
    const std::string windows = Between(Read("packaging/windows/README.txt.in"), "Keys\n----", "\n\n");
    ExpectRows(Matches(windows, R"(\n  (\S+) +([^\n]+))"), "README.txt for Windows");

    // The recorder's page names them as its --keys option takes them.
    const auto listed = Matches(Read("packaging/kelp2207-record.1.in"), R"(The keys are\n\.BR ([^\n]*))");
    ASSERT_EQ(listed.size(), 1u) << "kelp2207-record.1 lists the keys";
    const std::string names = std::regex_replace(listed[0].first, std::regex(R"re("[^"]*"|,)re"), " ");
    std::string table;
    for (const DEMOKEY& key : kDemoKeys) table += " " + std::string(key.name);
    EXPECT_EQ(std::regex_replace(" " + names + " ", std::regex(" +"), " "), table + " ") << "kelp2207-record.1";
}

TEST(KeyTable, ThePageHasAButtonForEveryKeyAndNamesEachInItsKeyLine) {
    const std::string page = Read("web/index.html");
    const std::string pad = Between(page, "<div id=\"pad\">", "</div>");
    const std::string line = Lower(Between(page, "<p id=\"keys\">", "</p>"));
    size_t own = 0;
    for (const DEMOKEY& key : kDemoKeys) {
        // A button of its own that sends its byte, or its half of the rate button (the two rates).
        const std::string button = std::string(">") + key.button + "<";
        own += pad.find("data-key=\"" + std::to_string(key.code) + "\"" + button) != std::string::npos;
        EXPECT_NE(pad.find(button), std::string::npos) << key.name;
        EXPECT_NE(line.find("<kbd>" + std::string(key.name) + "</kbd>"), std::string::npos) << key.name;
        EXPECT_NE(line.find(key.button), std::string::npos) << key.name;
    }
    // And no more: no button sends a byte the show ignores, and Enter (full screen) is the page's own.
    EXPECT_EQ(Matches(pad, R"(data-key="([0-9]+))").size(), own);
    EXPECT_EQ(Matches(line, "<kbd>([^<]*)").size(), kDemoKeys.size() + 1);
}
