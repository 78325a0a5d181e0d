// korlan-flow settings on an X server of the test's own, driven as a user
// drives it: the pane, its settings sheet, and a test run that the saved
// settings reach.
#include "tests/e2e/HostProcess.h"
#include "tests/e2e/SheetLayout.h"
#include "tests/e2e/SyntheticInput.h"
#include "tests/e2e/TestDisplay.h"
#include "tests/support/ScratchConfigHome.h"
#include "tests/support/XvfbServer.h"

#include "platform/graphics/PNGEncoding.h"
#include "platform/ui/gtk/Presenter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

using namespace std::chrono_literals;

namespace {

constexpr auto kStartTime = 30s;
constexpr auto kStepTime = 10s;
constexpr const char* kPaneTitle = "Bildschirmschoner";
constexpr const char* kSheetTitle = "KORLAN Flow";
constexpr const char* kTestTitle = "KORLAN Flow Test";
constexpr const char* kModule = "de.korlan.flow";

struct Rgb {
    int red, green, blue;
};

constexpr Rgb kBackground{15, 18, 22};
constexpr Rgb kCard{24, 29, 27};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kSubtitleGrey{189, 189, 189};
constexpr Rgb kExplanationGrey{158, 158, 158};
constexpr Rgb kValueGreen{156, 194, 171};

Rgb rgbAt(const Pixels& pixels, double x, double y) {
    const Pixel pixel = pixels.at(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
    return {pixel[2], pixel[1], pixel[0]};
}

int distance(Rgb a, Rgb b) {
    return std::max({std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)});
}

// From the seed, the last position along the step that still has the
// seed's colour: where a card or a button ends.
double edgeFrom(const Pixels& pixels, double x, double y, int dx, int dy) {
    const Rgb seed = rgbAt(pixels, x, y);
    while (x + dx >= 0 && y + dy >= 0 && x + dx < pixels.width && y + dy < pixels.height &&
           distance(rgbAt(pixels, x + dx, y + dy), seed) <= 3) {
        x += dx;
        y += dy;
    }
    return dx ? x : y;
}

// The box of the region's pixels that show text of the given colour on the
// background: the colour itself and its blends with the background (the
// edges of letters), and nothing else, such as a focus ring.
std::optional<view::Rect> inkWithin(const Pixels& pixels, view::Rect region, Rgb text, Rgb background) {
    const double span[] = {double(text.red - background.red), double(text.green - background.green),
                           double(text.blue - background.blue)};
    const double spanLength = std::sqrt(span[0] * span[0] + span[1] * span[1] + span[2] * span[2]);
    const auto isInk = [&](Rgb pixel) {
        const double offset[] = {double(pixel.red - background.red), double(pixel.green - background.green),
                                 double(pixel.blue - background.blue)};
        const double along = (offset[0] * span[0] + offset[1] * span[1] + offset[2] * span[2]) / spanLength;
        double across = 0;
        for (int channel = 0; channel < 3; ++channel) {
            const double off = offset[channel] - along * span[channel] / spanLength;
            across += off * off;
        }
        return along > 0.3 * spanLength && std::sqrt(across) < 16;
    };
    double minX = 1e9, minY = 1e9, maxX = -1, maxY = -1;
    for (double y = std::max(0.0, region.origin.y); y < std::min<double>(pixels.height, region.maxY()); ++y) {
        for (double x = std::max(0.0, region.origin.x);
             x < std::min<double>(pixels.width, region.origin.x + region.size.width); ++x) {
            if (!isInk(rgbAt(pixels, x, y))) continue;
            minX = std::min(minX, x), minY = std::min(minY, y);
            maxX = std::max(maxX, x + 1), maxY = std::max(maxY, y + 1);
        }
    }
    if (maxX < 0) return std::nullopt;
    return view::Rect{{minX, minY}, {maxX - minX, maxY - minY}};
}

double maxX(const view::Rect& rect) { return rect.origin.x + rect.size.width; }
double midX(const view::Rect& rect) { return rect.origin.x + rect.size.width / 2; }
double midY(const view::Rect& rect) { return rect.origin.y + rect.size.height / 2; }

// Within two points of where the constraints put it.
constexpr double kTolerance = 2;

void expectCardAt(const Pixels& pixels, const view::Rect& card, const std::string& name) {
    const double middle = midY(card);
    ASSERT_LE(distance(rgbAt(pixels, card.origin.x + 7, middle), kCard), 1) << name;
    EXPECT_NEAR(edgeFrom(pixels, card.origin.x + 7, middle, -1, 0), card.origin.x, kTolerance) << name << " left";
    EXPECT_NEAR(edgeFrom(pixels, maxX(card) - 7, middle, 1, 0), maxX(card) - 1, kTolerance) << name << " right";
    EXPECT_NEAR(edgeFrom(pixels, maxX(card) - 44, card.origin.y + 5, 0, -1), card.origin.y, kTolerance)
        << name << " top";
    EXPECT_NEAR(edgeFrom(pixels, maxX(card) - 44, card.maxY() - 4, 0, 1), card.maxY() - 1, kTolerance)
        << name << " bottom";
}

void expectButtonAt(const Pixels& pixels, const view::Rect& button, const std::string& name) {
    const double inside = button.origin.x + 6, middle = midY(button);
    EXPECT_GT(distance(rgbAt(pixels, inside, middle), kBackground), 8) << name << " has a face of its own";
    EXPECT_NEAR(edgeFrom(pixels, inside, middle, -1, 0), button.origin.x, kTolerance) << name << " left";
    EXPECT_NEAR(edgeFrom(pixels, maxX(button) - 6, middle, 1, 0), maxX(button) - 1, kTolerance) << name << " right";
    EXPECT_NEAR(edgeFrom(pixels, inside, middle, 0, -1), button.origin.y, kTolerance) << name << " top";
    EXPECT_NEAR(edgeFrom(pixels, inside, middle, 0, 1), button.maxY() - 1, kTolerance) << name << " bottom";
}

// The label's text lies inside the label, starting at its leading edge (or
// ending at its trailing edge when it is right-aligned), and fills most of
// its height, as letters with ascenders and descenders do. Labels one point
// apart share no ink: the search reaches one point above and below.
void expectLabelAt(const Pixels& pixels, const view::Rect& label, Rgb text, Rgb background, const std::string& name,
                   bool rightAligned = false) {
    const view::Rect region{{label.origin.x - 8, label.origin.y - 1}, {label.size.width + 16, label.size.height + 2}};
    const auto ink = inkWithin(pixels, region, text, background);
    ASSERT_TRUE(ink.has_value()) << name << " shows no text";
    EXPECT_GE(ink->origin.x, label.origin.x - kTolerance) << name;
    EXPECT_LE(maxX(*ink), maxX(label) + kTolerance) << name;
    EXPECT_LE(ink->origin.y - label.origin.y, 0.35 * label.size.height) << name << " top";
    EXPECT_LE(label.maxY() - ink->maxY(), 0.35 * label.size.height) << name << " bottom";
    if (rightAligned) {
        EXPECT_NEAR(maxX(*ink), maxX(label), kTolerance + 2) << name << " ends at its trailing edge";
    } else {
        EXPECT_NEAR(ink->origin.x, label.origin.x, kTolerance + 2) << name << " starts at its leading edge";
    }
}

// The light of the pattern's brightest places: how far the brightest
// hundredth of the window's pixels (the logo's corner left out) lies above
// the background, the median over a few frames. The pattern's intensity
// scales it.
double patternPeakLight(TestDisplay& display, unsigned long window) {
    std::vector<int> frames;
    for (int sample = 0; sample < 7; ++sample) {
        const Pixels pixels = display.pixelsOf(window);
        std::vector<int> above;
        for (std::uint32_t y = 80; y < pixels.height; y += 2) {
            for (std::uint32_t x = 0; x < pixels.width; x += 2) {
                const Rgb pixel = rgbAt(pixels, x, y);
                above.push_back(pixel.red + pixel.green + pixel.blue -
                                (kBackground.red + kBackground.green + kBackground.blue));
            }
        }
        const auto percentile = above.begin() + static_cast<std::ptrdiff_t>(above.size() * 99 / 100);
        std::nth_element(above.begin(), percentile, above.end());
        frames.push_back(*percentile);
        std::this_thread::sleep_for(100ms);
    }
    std::nth_element(frames.begin(), frames.begin() + 3, frames.end());
    return frames[3];
}

std::map<std::string, std::string> storedSettings(const ScratchConfigHome& home) {
    std::map<std::string, std::string> values;
    std::istringstream lines(home.readSettingsFile(kModule));
    for (std::string line; std::getline(lines, line);) {
        if (const auto equals = line.find('='); equals != std::string::npos) {
            values[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return values;
}

ino_t inodeOf(const std::filesystem::path& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

void saveScreenshot(const Pixels& pixels, const std::string& name) {
    std::filesystem::create_directories(KORLAN_FLOW_SCREENSHOT_DIR);
    const auto image = graphics::BitmapImage::create(pixels.width, pixels.height, pixels.width * 4,
                                                     graphics::BitmapLayout::BGRAPremultipliedFirst, pixels.bytes);
    const auto png = image ? graphics::encodePNG(*image) : std::nullopt;
    ASSERT_TRUE(png.has_value()) << name;
    std::ofstream(std::filesystem::path(KORLAN_FLOW_SCREENSHOT_DIR) / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
}

class SettingsWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen_.isOpen()) << "no Xvfb for the test";
        setenv("DISPLAY", server_.display().c_str(), 1);
        setenv("GDK_BACKEND", "x11", 1);
        setenv("GTK_A11Y", "none", 1);
        foundation::ErrorRef error;
        ASSERT_TRUE(ui::gtk::initialize(&error)) << error->localizedDescription();
        // Measured here, where the host will draw, before it draws.
        layout_ = sheetLayoutFromConstraints(measureSheetNaturalSizes());
    }

    HostProcess startSettings() {
        return HostProcess({"settings", "--software"}, {"LC_ALL=de_DE.UTF-8"});
    }
    // A window of the title once it is mapped: GTK names a window before it
    // maps it, and keys sent to it before then may find no window at all.
    unsigned long shown(const std::string& title, std::chrono::milliseconds timeout = kStepTime) {
        unsigned long window = 0;
        const auto isMapped = [&](const TestDisplay::Placed& placed) { return placed.window == window; };
        const bool mapped = eventually(
            [&] {
                window = screen_.windowNamed(title);
                const auto windows = screen_.mappedWindows();
                return window != 0 && std::any_of(windows.begin(), windows.end(), isMapped);
            },
            timeout);
        return mapped ? window : 0;
    }

    // Large enough that the test run's window, in the middle, lies clear of
    // the pane and the sheet in the upper-left corner.
    XvfbServer server_{{"1920x1080x24"}};
    TestDisplay screen_{server_.display()};
    SyntheticInput input_{server_.display()};
    ScratchConfigHome home_;
    SheetLayout layout_;
};

} // namespace

TEST_F(SettingsWindow, OpensTheSheetSavesThroughItIntoARunningTestAndEndsWhenClosed) {
    HostProcess host = startSettings();
    const unsigned long pane = shown(kPaneTitle, kStartTime);
    ASSERT_NE(pane, 0u) << host.errorOutput();
    // Clicks reach the buttons once the pane has drawn itself: its preview,
    // 296 x 184 points at 24, 24, shows the pattern then.
    ASSERT_TRUE(eventually([&] { return showsThePattern(regionOf(screen_.pixelsOf(pane), 24, 24, 296, 184)); },
                           kStartTime))
        << host.errorOutput();

    // "Testen", the lower of the two buttons, ends where the preview ends,
    // 24 + 184 points from the top, right of it at 24 + 296 + 24.
    input_.pointAt(pane, 344 + 20, 208 - 10, "click 1");
    const unsigned long test = shown(kTestTitle);
    ASSERT_NE(test, 0u) << host.errorOutput();
    ASSERT_TRUE(eventually([&] { return showsThePattern(screen_.pixelsOf(test)); }, kStartTime))
        << host.errorOutput();
    const double lightBefore = patternPeakLight(screen_, test);
    saveScreenshot(screen_.pixelsOf(pane), "settings-window.png");

    // The click gave "Testen" the focus; back to "Optionen …", and Return.
    input_.press(pane, "shift+Tab");
    input_.press(pane, "Return");
    const unsigned long sheet = shown(kSheetTitle);
    ASSERT_NE(sheet, 0u) << "Return on \"Optionen …\" presents the sheet";
    Pixels pixels;
    ASSERT_TRUE(eventually(
        [&] {
            pixels = screen_.pixelsOf(sheet);
            return pixels.width == 540 && distance(rgbAt(pixels, midX(layout_.rows[0].card), 2), kBackground) <= 1;
        },
        kStepTime));
    expectLabelAt(pixels, layout_.title, kWhite, kBackground, "title");
    expectLabelAt(pixels, layout_.subtitle, kSubtitleGrey, kBackground, "subtitle");
    for (std::size_t index = 0; index < 3; ++index) {
        const auto& row = layout_.rows[index];
        const std::string name = "row " + std::to_string(index + 1);
        expectCardAt(pixels, row.card, name + " card");
        expectLabelAt(pixels, row.title, kWhite, kCard, name + " title");
        expectLabelAt(pixels, row.explanation, kExplanationGrey, kCard, name + " explanation");
        expectLabelAt(pixels, row.value, kValueGreen, kCard, name + " value", true);
    }
    expectButtonAt(pixels, layout_.standard, "Standard");
    expectButtonAt(pixels, layout_.cancel, "Abbrechen");
    expectButtonAt(pixels, layout_.save, "Sichern");

    // The intensity slider, dragged past its start: its minimum.
    const auto& slider = layout_.rows[1].slider;
    input_.pointAt(sheet, midX(slider), midY(slider), "mousedown 1");
    for (const double x : {midX(slider) - 100, slider.origin.x + 40, slider.origin.x - 30}) {
        input_.pointAt(sheet, x, midY(slider), "sleep 0.2");
    }
    input_.run("mouseup 1");
    std::this_thread::sleep_for(500ms);
    saveScreenshot(screen_.pixelsOf(sheet), "settings-sheet.png");
    EXPECT_FALSE(std::filesystem::exists(home_.settingsFile(kModule))) << "moving a slider stores nothing";

    input_.pointAt(sheet, midX(layout_.save), midY(layout_.save), "click 1");
    ASSERT_TRUE(eventually([&] { return std::filesystem::exists(home_.settingsFile(kModule)); }, kStepTime));
    const auto saved = storedSettings(home_);
    EXPECT_EQ(std::strtof(saved.at("FlowIntensity").c_str(), nullptr), 0.35f);
    EXPECT_EQ(std::strtof(saved.at("FlowSpeed").c_str(), nullptr), 0.8f);
    EXPECT_EQ(std::strtof(saved.at("FlowComplexity").c_str(), nullptr), 1.0f);
    EXPECT_TRUE(eventually([&] { return screen_.windowNamed(kSheetTitle) == 0; }, kStepTime)) << "the sheet ends";
    // At the lowest intensity the pattern is much darker: the running
    // test's renderer has the new value.
    double lightAfter = lightBefore;
    EXPECT_TRUE(
        eventually([&] { return (lightAfter = patternPeakLight(screen_, test)) < 0.75 * lightBefore; }, kStepTime))
        << lightBefore << " then " << lightAfter;

    // Escape leaves the sheet as "Abbrechen" does, storing nothing.
    const ino_t firstWrite = inodeOf(home_.settingsFile(kModule));
    input_.press(pane, "Return");
    const unsigned long cancelled = shown(kSheetTitle);
    ASSERT_NE(cancelled, 0u);
    input_.press(cancelled, "Escape");
    EXPECT_TRUE(eventually([&] { return screen_.windowNamed(kSheetTitle) == 0; }, kStepTime)) << "Escape ends it";
    EXPECT_EQ(inodeOf(home_.settingsFile(kModule)), firstWrite) << "Escape stored something";

    // Return on a freshly opened sheet saves what is stored, unchanged.
    input_.press(pane, "Return");
    const unsigned long again = shown(kSheetTitle);
    ASSERT_NE(again, 0u);
    input_.press(again, "Return");
    EXPECT_TRUE(eventually([&] { return inodeOf(home_.settingsFile(kModule)) != firstWrite; }, kStepTime))
        << "Return saved";
    EXPECT_EQ(storedSettings(home_), saved);

    screen_.requestClose(pane);
    const auto status = host.waitForExit(kStepTime);
    ASSERT_TRUE(status.has_value()) << "still running after its window was closed";
    EXPECT_EQ(*status, 0) << host.errorOutput();
    EXPECT_EQ(validationMessagesIn(host.errorOutput()), "");
}

TEST_F(SettingsWindow, SaysWhatKeepsItFromStarting) {
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> environment;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {{"settings", "--frob"}, {}, 2, "unknown option: --frob"},
        {{"settings", "now"}, {}, 2, "takes no arguments"},
        {{"settings"}, {"DISPLAY=:99999"}, 1, "korlan-flow: "},
    };
    for (const auto& c : cases) {
        HostProcess host(c.arguments, c.environment);
        const auto status = host.waitForExit(kStepTime);
        ASSERT_TRUE(status.has_value()) << c.says;
        EXPECT_EQ(*status, c.status) << host.errorOutput();
        EXPECT_NE(host.errorOutput().find(c.says), std::string::npos) << host.errorOutput();
    }
}
