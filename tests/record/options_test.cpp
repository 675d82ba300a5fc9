#include "record/options.h"

#include <gtest/gtest.h>

#include <regex>
#include <vector>

#include "driver/keys.h"

namespace {
RECORDPARSE Parse(std::vector<const char*> args, RECORDOPTIONS& options, std::string& error) {
    args.insert(args.begin(), "kelp2207-record");
    return RecordParseOptions(int(args.size()), args.data(), options, error);
}
} // namespace

TEST(RecordOptions, ReadsEveryOptionInBothSpellingsAndTellsTheOutputByItsName) {
    RECORDOPTIONS o;
    std::string error;
    ASSERT_EQ(Parse({"out"}, o, error), RECORDPARSE::Record);
    EXPECT_EQ(o.frames, int(kDemoParts.size()) * kPartLength); // every part once
    EXPECT_EQ(o.scale, 1);
    EXPECT_EQ(o.kind, RECORDKIND::Folder);
    ASSERT_EQ(Parse({"--frames=10", "--scale", "3", "--quiet", "--keys", "0:esc,2:space,5:6", "a.mp4"}, o, error),
              RECORDPARSE::Record)
        << error;
    EXPECT_EQ(o.frames, 10);
    EXPECT_EQ(o.scale, 3);
    EXPECT_TRUE(o.quiet);
    ASSERT_EQ(o.keys.size(), 3u);
    EXPECT_EQ(o.keys[0].code, 27);
    EXPECT_EQ(o.keys[1].frame, 2);
    EXPECT_EQ(o.keys[1].code, ' ');
    EXPECT_EQ(o.keys[2].code, '6');
    EXPECT_EQ(o.kind, RECORDKIND::MP4);
    const std::pair<const char*, RECORDKIND> kinds[] = {{"x.mkv", RECORDKIND::Matroska}, {"x.webm", RECORDKIND::WebM},
                                                        {"x.gif", RECORDKIND::GIF}, {"/dev/null", RECORDKIND::Discard},
                                                        {".mkv", RECORDKIND::Folder}};
    for (const auto& [name, kind] : kinds) {
        ASSERT_EQ(Parse({name}, o, error), RECORDPARSE::Record);
        EXPECT_EQ(o.kind, kind) << name;
    }
    ASSERT_EQ(Parse({"--only=1022,0,511,0", "frames"}, o, error), RECORDPARSE::Record) << error;
    EXPECT_EQ(o.only, (std::vector<int>{0, 511, 1022})); // in order, once each
}

TEST(RecordOptions, RefusesWhatItCannotDoWithOneLine) {
    RECORDOPTIONS o;
    std::string error;
    for (std::vector<const char*> bad : {std::vector<const char*>{}, {"--frames"}, {"--frames", "x", "o"},
                                         {"--frames", "-3", "o"}, {"--scale", "0", "o"}, {"--keys", "5", "o"},
                                         {"--keys", "5:F1", "o"}, {"--keys", "5:f,5:a", "o"}, {"a", "b"},
                                         {"--keys", "", "o"}, {"--only", "1,x", "o"},
                                         {"--frames", "10", "--only", "10", "o"}, {"--only", "3", "a.mkv"}}) {
        error.clear();
        EXPECT_EQ(Parse(bad, o, error), RECORDPARSE::Usage) << (bad.empty() ? "" : bad[0]);
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    EXPECT_EQ(Parse({"--help", "--bogus"}, o, error), RECORDPARSE::Help);
    EXPECT_EQ(Parse({"--version"}, o, error), RECORDPARSE::Version);
}

TEST(RecordOptions, HelpNamesTheShowsKeysAndLength) {
    std::string names;
    for (const DEMOKEY& key : kDemoKeys) names += (names.empty() ? "" : ", ") + std::string(key.name);
    // The help is laid out by hand: read its line breaks and indents as spaces.
    const std::string usage = std::regex_replace(kRecordUsage, std::regex(R"(\s+)"), " ");
    EXPECT_NE(usage.find("keys: " + names + "."), std::string::npos) << usage;
    EXPECT_NE(usage.find("(default " + std::to_string(RECORDOPTIONS{}.frames) + ","), std::string::npos) << usage;
}
