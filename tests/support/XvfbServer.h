#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// A virtual X server of the test's own, on a display number the server picks
// itself, so tests running side by side never meet. Stopped with the object,
// and with the test process however that ends.
class XvfbServer {
public:
    // Screens as "WIDTHxHEIGHTxDEPTH", one X screen each.
    explicit XvfbServer(const std::vector<std::string>& screens = {"640x360x24"});
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Empty when the server did not come up.
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};
