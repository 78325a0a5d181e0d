#pragma once

#include "saver/DisplayClaims.h"
#include "saver/KORLANFlowScreenSaverView.h"

#include "tests/support/PlatformOverrides.h"
#include "tests/support/RecordingDevice.h"
#include "tests/support/ScratchConfigHome.h"
#include "tests/support/TestBundle.h"

#include "platform/view/Window.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

inline constexpr std::int64_t kDisplay = 69733248;
inline constexpr std::int64_t kOtherDisplay = 69733249;

// The states of a saver view, each read from its flags and checked against
// what the view owns in that state; a view whose belongings do not fit its
// flags is Inconsistent.
enum class SaverState { Stopped, Waiting, Rendering, PreviewShowing, Displaced, Inconsistent };
std::ostream& operator<<(std::ostream& stream, SaverState state);
SaverState stateOf(const KORLANFlowScreenSaverView& view);

// A view and the off-screen window whose content view is its superview.
struct PlacedView {
    std::shared_ptr<view::Window> window;
    std::shared_ptr<KORLANFlowScreenSaverView> view;
};

// The world of a saver view in one test: the recording device as the
// system's GPU, a bundle of the test's own as the module's (a plain logo and
// a 2 × 2 preview picture of four colours), a scratch settings store, and
// off-screen windows on screens of the test's choosing.
class SaverHarness {
public:
    SaverHarness();
    // Runs what the views left on the main queue.
    ~SaverHarness();

    // A window of the given size in points on a screen whose description
    // holds the number, or no "NSScreenNumber" at all.
    static std::shared_ptr<view::Window> windowOnDisplay(std::optional<std::int64_t> display = kDisplay,
                                                         view::Size points = {320.0, 180.0}, double scale = 1.0);
    static std::shared_ptr<KORLANFlowScreenSaverView> newView(bool isPreview = false,
                                                              view::Size points = {320.0, 180.0});
    // A new view placed in a new window, not yet started.
    static PlacedView placedView(bool isPreview = false, std::optional<std::int64_t> display = kDisplay);
    // The same, started by the host.
    static PlacedView startedView(bool isPreview = false, std::optional<std::int64_t> display = kDisplay);

    // What the view's process takes for its GPU and its own bundle from now on.
    void useDevice(std::shared_ptr<gpu::Device> device);
    void useBundle(std::shared_ptr<foundation::Bundle> bundle);

    // How often the message stands in what was logged since the harness
    // began or the last call: the harness keeps standard error to itself.
    int loggedTimes(const std::string& message);

    ScratchConfigHome configHome;
    std::shared_ptr<testing_gpu::RecordingDevice> device = std::make_shared<testing_gpu::RecordingDevice>();
    TestBundle bundle;

private:
    std::optional<UseSystemDefaultDevice> systemDevice_;
    std::optional<UseBundleForAddress> ownBundle_;
};

// The preview picture's four colours, red, green, blue, alpha, as its rows
// from the top lie: red, green / blue, white.
std::string fourColourPicturePNG();

inline const char* const kNoDeviceMessage = "KORLAN Flow: Dieses System stellt kein Metal-Gerät bereit.";
inline const char* const kRendererFailedMessage = "KORLAN Flow: Nativer Renderer konnte nicht starten: ";
