#include "support/text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

TEST(Text, MeasuresLinesAndWidth) {
    EXPECT_EQ(TEXTLength(""), 0);
    EXPECT_EQ(TEXTLength("abc"), 3);
    EXPECT_EQ(TEXTLineCount("AB\nCDE\nF"), 2);
    EXPECT_EQ(TEXTWidth("AB\nCDE\nF"), 3);
    EXPECT_EQ(TEXTWidth("a long line without its end"), 0);
    EXPECT_EQ(TEXTWidth("abcd\n\nab\n"), 4);
    EXPECT_EQ(TEXTLineCount(""), 0);
}

TEST(Text, ToUpperTouchesOnlyLowerCaseLetters) {
    char text[] = "abc XYZ 09!{}` \xe9z";
    TEXTToUpper(text);
    EXPECT_STREQ(text, "ABC XYZ 09!{}` \xe9Z");
}

TEST(Text, FilesRoundTripAndFailuresAreSafe) {
    char name[] = "/tmp/kelp-text-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);

    char* empty = TEXTRead(name);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(TEXTLength(empty), 0);
    std::free(empty);

    const std::string text = "line one\r\nline two\n\x01\x7f end";
    TEXTWrite(text.c_str(), name);
    EXPECT_EQ(TEXTFileSize(name), int(text.size()));
    char* back = TEXTRead(name);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(std::string(back), text);
    std::free(back);
    std::remove(name);

    EXPECT_EQ(TEXTFileSize("/nonexistent/kelp"), -1);
    EXPECT_EQ(TEXTRead("/nonexistent/kelp"), nullptr);
    TEXTWrite("x", "/nonexistent/kelp"); // no file, no crash
}
