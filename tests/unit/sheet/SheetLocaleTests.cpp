#include "tests/unit/sheet/SheetFixture.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

TEST_F(SheetTest, TheValueLabelsUseTheDecimalSeparatorOfTheUsersLocale) {
    struct Case {
        const char* all;
        const char* numeric;
        const char* lang;
        std::vector<std::string> labels;
    };
    const std::vector<std::string> german{"0,80 ×", "0,88 ×", "1,00 ×"};
    const std::vector<std::string> english{"0.80 ×", "0.88 ×", "1.00 ×"};
    const Case cases[] = {
        {"de_DE.UTF-8", "", "", german},
        {"en_US.UTF-8", "", "", english},
        {"", "de_DE.UTF-8", "en_US.UTF-8", german},
        {"", "", "de_DE.UTF-8", german},
        {"en_US.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8", english},
        {"xx_YY.UTF-8", "", "", english},
    };
    const auto controller = KORLANFlowConfigurationController::init();
    for (const auto& c : cases) {
        const ScopedEnvironmentVariable all("LC_ALL", c.all), numeric("LC_NUMERIC", c.numeric), lang("LANG", c.lang);
        controller->updateValueLabels();
        EXPECT_EQ(labels(*controller), c.labels) << c.all << "/" << c.numeric << "/" << c.lang;
    }
}

TEST_F(SheetTest, FormattingInTheUsersLocaleLeavesTheProcessLocaleAlone) {
    const auto controller = KORLANFlowConfigurationController::init();
    ASSERT_EQ(controller->formattedValue(0.8f), "0,80 ×");
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", 0.8);
    EXPECT_STREQ(text, "0.80");
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
}

TEST_F(SheetTest, FormattedValuesHaveTwoRoundedDecimalsASpaceAndTheMultiplicationSign) {
    const auto controller = KORLANFlowConfigurationController::init();
    struct Case {
        float value;
        const char* text;
    };
    for (auto c : {Case{0.25f, "0,25 ×"}, Case{1.75f, "1,75 ×"}, Case{1.2f, "1,20 ×"}, Case{0.996f, "1,00 ×"},
                   Case{1.005f, "1,00 ×"}, Case{0.5549f, "0,55 ×"}, Case{0.555f, "0,56 ×"}}) {
        EXPECT_EQ(controller->formattedValue(c.value), c.text) << c.value;
    }
    EXPECT_EQ(controller->formattedValue(1.0f), "1,00\u0020\u00d7");
}
