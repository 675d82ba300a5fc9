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

#if !defined(_WIN32) // /proc, pipes named by a path and endless devices are POSIX's
TEST(Text, FilesThatCannotTellTheirSizeAreReadByReading) {
    // A file of /proc claims the size 0 and a pipe cannot seek; both hold text all the same.
    char* status = TEXTRead("/proc/self/status");
    ASSERT_NE(status, nullptr);
    EXPECT_NE(std::string(status).find("Name:"), std::string::npos);
    std::free(status);
    EXPECT_GT(TEXTFileSize("/proc/self/status"), 0);

#ifndef __EMSCRIPTEN__ // there pipes live inside the program: the host's /proc cannot name them
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const std::string text = "through a pipe\n";
    ASSERT_EQ(write(fds[1], text.data(), text.size()), ssize_t(text.size()));
    close(fds[1]);
    const std::string pipe = "/proc/self/fd/" + std::to_string(fds[0]);
    char* piped = TEXTRead(pipe.c_str());
    close(fds[0]);
    ASSERT_NE(piped, nullptr);
    EXPECT_EQ(std::string(piped), text);
    std::free(piped);
#endif

    // An endless device is refused rather than read for ever or taken as empty.
    EXPECT_EQ(TEXTRead("/dev/zero"), nullptr);
    EXPECT_EQ(TEXTFileSize("/dev/zero"), -1);
}
#endif
