// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/text/PlainText.h"

using namespace quillby;

TEST(TextCut, KeepsShortTextsAndCutsLongOnesByCharacters) {
    EXPECT_EQ(cutText(std::string(28, 'a'), 28), std::string(28, 'a'));
    EXPECT_EQ(cutText(std::string(29, 'a'), 28), std::string(28, 'a') + "...");
    EXPECT_EQ(cutText("", 0), "");
    EXPECT_EQ(cutText("ab", 0), "...");
    std::string accented;
    for (int i = 0; i < 29; ++i) accented += "\xc3\xa9";  // é, two bytes each
    EXPECT_EQ(cutText(accented, 28), accented.substr(0, 56) + "...");
    // A four-byte character at the cut stays whole.
    EXPECT_EQ(cutText("ab\xf0\x9f\x98\x80"
                      "cd",
                      3),
              "ab\xf0\x9f\x98\x80...");
}
