// Conversion of stored text between Windows-1252 and UTF-8.

#include <gtest/gtest.h>

#include <string>

#include "config/Windows1252.h"

namespace korvalen {
namespace {

TEST(Windows1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = windows1252ToUtf8(all);
    EXPECT_EQ(utf8ToWindows1252(utf8), all);
}

TEST(Windows1252, LettersOfWesternNamesConvert) {
    EXPECT_EQ(windows1252ToUtf8("\xE9\xC8\x80\x9C"), "\xC3\xA9\xC3\x88\xE2\x82\xAC\xC5\x93");  // é È € œ
    EXPECT_EQ(windows1252ToUtf8("\x81"), "\xC2\x81");                                        // undefined byte
}

TEST(Windows1252, WhatTheCodePageCannotHoldBecomesAQuestionMark) {
    EXPECT_EQ(utf8ToWindows1252("a\xCE\xA9"
                                "b\xF0\x9F\x92\xA1"
                                "c"),
              "a?b?c");                                          // Ω and an emoji
    EXPECT_EQ(utf8ToWindows1252("x\xFFy\xC3"), "x?y?");  // bytes that are not UTF-8
}

}  // namespace
}  // namespace korvalen
