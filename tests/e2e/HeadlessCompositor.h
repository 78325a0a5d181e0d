#pragma once

#include "tests/support/GpuTestSupport.h"

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

// A Wayland compositor of the test's own with virtual outputs: sway (with
// the layer shell, as wlroots compositors have it) or weston (without, as
// GNOME's has none). Sway will not run as root, so a test run as root runs
// it as nobody, in a runtime folder of nobody's. Stopped with the object,
// and with the test process however that ends.
class HeadlessCompositor {
public:
    struct Output {
        unsigned width, height;
        int scale = 1;
    };

    // Outputs HEADLESS-1, HEADLESS-2, … side by side, as given.
    static HeadlessCompositor sway(const std::vector<Output>& outputs);
    static HeadlessCompositor weston();
    ~HeadlessCompositor();
    HeadlessCompositor(HeadlessCompositor&& other) noexcept;
    HeadlessCompositor(const HeadlessCompositor&) = delete;
    HeadlessCompositor& operator=(const HeadlessCompositor&) = delete;

    // Empty, with whyNot() saying why, when the compositor did not come up.
    bool isRunning() const { return !socket_.empty(); }
    const std::string& whyNot() const { return whyNot_; }
    // For a client's environment: the socket as an absolute path, and no X
    // display to fall back on.
    std::vector<std::string> clientEnvironment() const;

    // swaymsg with the arguments; true when it succeeded.
    bool command(const std::vector<std::string>& arguments) const;
    // What the output shows, in its pixels (grim), as BGRA rows from the top.
    std::optional<Pixels> capture(const std::string& output) const;
    // Types the keys (by their names: "q", "Tab", "space") one after the
    // other through a virtual keyboard, as wtype does.
    bool typeKeys(const std::vector<std::string>& keys) const;

private:
    HeadlessCompositor() = default;
    bool waitForSocket();
    bool run(std::vector<std::string> arguments) const;

    std::string runtimeDirectory_;
    std::string socket_;
    std::string whyNot_;
    pid_t pid_ = -1;
};
