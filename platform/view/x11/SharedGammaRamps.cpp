#include "platform/view/x11/SharedGammaRamps.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

#include <unistd.h>

namespace view::x11 {

namespace {

constexpr const char* kRampsProperty = "_KORLAN_FLOW_GAMMA_RAMPS";
constexpr const char* kFadersProperty = "_KORLAN_FLOW_GAMMA_FADERS";
// Rounding to whole steps leaves a dimmed entry this far from the exact
// share.
constexpr double kRoundingSlack = 2.0;

Display* displayOf(const Connection& connection) { return static_cast<Display*>(connection.display()); }

::Window sharedRoot(Display* display) { return RootWindow(display, 0); }

std::vector<CrtcRamps> displayedRamps(Display* display) {
    std::vector<CrtcRamps> crtcs;
    for (int xScreen = 0; xScreen < ScreenCount(display); ++xScreen) {
        XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, RootWindow(display, xScreen));
        if (!resources) continue;
        for (const RRCrtc crtc : std::span(resources->crtcs, std::size_t(resources->ncrtc))) {
            if (XRRGetCrtcGammaSize(display, crtc) <= 0) continue;
            XRRCrtcGamma* gamma = XRRGetCrtcGamma(display, crtc);
            if (!gamma) continue;
            crtcs.push_back({crtc, {gamma->red, gamma->red + gamma->size},
                             {gamma->green, gamma->green + gamma->size}, {gamma->blue, gamma->blue + gamma->size}});
            XRRFreeGamma(gamma);
        }
        XRRFreeScreenResources(resources);
    }
    return crtcs;
}

// A property of 32-bit items, as Xlib hands them: one long each.
std::vector<long> readProperty(Display* display, ::Window window, Atom property, Atom type) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const bool read = XGetWindowProperty(display, window, property, 0, 1L << 24, False, type,
                                         &actualType, &actualFormat, &count, &remaining, &data) == Success;
    std::vector<long> items;
    if (read && actualType == type && actualFormat == 32 && data) {
        const auto* values = reinterpret_cast<const long*>(data);
        items.assign(values, values + count);
    }
    if (data) XFree(data);
    return items;
}

void writeProperty(Display* display, ::Window window, Atom property, Atom type, const std::vector<long>& items) {
    XChangeProperty(display, window, property, type, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(items.data()), int(items.size()));
}

// Each CRTC as its id, its size, then its red, green and blue entries.
std::vector<long> encode(const std::vector<CrtcRamps>& crtcs) {
    std::vector<long> items;
    for (const auto& crtc : crtcs) {
        items.push_back(long(crtc.crtc));
        items.push_back(long(crtc.red.size()));
        for (const auto* channel : {&crtc.red, &crtc.green, &crtc.blue}) items.insert(items.end(), channel->begin(), channel->end());
    }
    return items;
}

// Another program may have written anything there: what does not add up is
// not taken.
std::vector<CrtcRamps> decode(const std::vector<long>& items) {
    std::vector<CrtcRamps> crtcs;
    for (std::size_t at = 0; at + 2 <= items.size();) {
        const long size = items[at + 1];
        if (size <= 0 || std::size_t(size) * 3 > items.size() - at - 2) return {};
        CrtcRamps crtc{static_cast<unsigned long>(items[at]), {}, {}, {}};
        at += 2;
        for (auto* channel : {&crtc.red, &crtc.green, &crtc.blue}) {
            for (long index = 0; index < size; ++index) channel->push_back(static_cast<unsigned short>(items[at++]));
        }
        crtcs.push_back(std::move(crtc));
    }
    return crtcs;
}

const CrtcRamps* findCrtc(const std::vector<CrtcRamps>& crtcs, unsigned long crtc) {
    const auto found = std::ranges::find(crtcs, crtc, &CrtcRamps::crtc);
    return found == crtcs.end() ? nullptr : &*found;
}

bool isDimmedBy(const std::vector<unsigned short>& found, const std::vector<unsigned short>& full, double share) {
    for (std::size_t entry = 0; entry < full.size(); ++entry) {
        if (std::abs(double(found[entry]) - double(full[entry]) * share) > kRoundingSlack) return false;
    }
    return true;
}

// The share of the full ramps that the found ones are, when every entry of
// every CRTC they have in common is that share of it; nullopt when they are
// no such copy or have no CRTC in common.
std::optional<double> dimmedShare(const std::vector<CrtcRamps>& found, const std::vector<CrtcRamps>& full) {
    std::optional<double> share;
    for (const auto& displayed : found) {
        const CrtcRamps* kept = findCrtc(full, displayed.crtc);
        if (!kept || kept->red.size() != displayed.red.size()) continue;
        const auto brightest = std::ranges::max_element(kept->red) - kept->red.begin();
        const double candidate =
            kept->red[brightest] == 0 ? 1.0 : double(displayed.red[brightest]) / double(kept->red[brightest]);
        if (candidate > 1.0 + 1e-3) return std::nullopt;
        for (const auto& [shown, whole] : {std::pair{&displayed.red, &kept->red}, {&displayed.green, &kept->green},
                                           {&displayed.blue, &kept->blue}}) {
            if (!isDimmedBy(*shown, *whole, candidate)) return std::nullopt;
        }
        share = std::min(share.value_or(1.0), candidate);
    }
    return share;
}

// The kept ramps for the CRTCs they know, the displayed ones for the rest.
std::vector<CrtcRamps> keptWhereKnown(const std::vector<CrtcRamps>& displayed, const std::vector<CrtcRamps>& kept) {
    std::vector<CrtcRamps> ramps;
    for (const auto& crtc : displayed) {
        const CrtcRamps* known = findCrtc(kept, crtc.crtc);
        ramps.push_back(known && known->red.size() == crtc.red.size() ? *known : crtc);
    }
    return ramps;
}

// The listed windows of other savers that are still there: a saver's
// window goes with its connection, however the saver ended. The server
// hands a dead client's window ids to the next client, so a window of that
// id counts only when it is a fader's, and ours is never another's.
std::vector<long> otherLiveFaders(Display* display, const std::vector<long>& listed, ::Window ours, Atom mark) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::vector<long> live;
    if (!XQueryTree(display, sharedRoot(display), &root, &parent, &children, &count)) return live;
    const std::span<::Window> existing(children, count);
    for (const long window : listed) {
        if (::Window(window) == ours || std::ranges::find(existing, ::Window(window)) == existing.end()) continue;
        if (!readProperty(display, ::Window(window), mark, XA_CARDINAL).empty()) live.push_back(window);
    }
    if (children) XFree(children);
    return live;
}

// Keeps the server to ourselves while reading and writing the shared
// state, so that two savers never both take themselves for the first.
class ServerGrab {
public:
    explicit ServerGrab(Display* display) : display_(display) { XGrabServer(display_); }
    ~ServerGrab() {
        XUngrabServer(display_);
        XSync(display_, False);
    }
    ServerGrab(const ServerGrab&) = delete;
    ServerGrab& operator=(const ServerGrab&) = delete;

private:
    Display* display_;
};

} // namespace

SharedGammaRamps::SharedGammaRamps(Connection& connection) : connection_(connection) {
    Display* display = displayOf(connection_);
    const Atom rampsProperty = XInternAtom(display, kRampsProperty, False);
    const Atom fadersProperty = XInternAtom(display, kFadersProperty, False);
    // An unmapped window that stands for us in the list, marked as a
    // fader's with our process id.
    member_ = XCreateWindow(display, sharedRoot(display), -1, -1, 1, 1, 0, 0, InputOnly, CopyFromParent, 0, nullptr);
    writeProperty(display, member_, fadersProperty, XA_CARDINAL, {long(getpid())});

    const ServerGrab grab(display);
    const ::Window root = sharedRoot(display);
    auto faders = otherLiveFaders(display, readProperty(display, root, fadersProperty, XA_WINDOW), member_,
                                  fadersProperty);
    const auto displayed = displayedRamps(display);
    const auto kept = decode(readProperty(display, root, rampsProperty, XA_INTEGER));
    const auto share = dimmedShare(displayed, kept);
    const bool keptStillHold = !kept.empty() && (!faders.empty() || share);
    ramps_ = keptStillHold ? keptWhereKnown(displayed, kept) : displayed;
    brightnessFound_ = keptStillHold ? share.value_or(1.0) : 1.0;
    faders.push_back(long(member_));
    writeProperty(display, root, rampsProperty, XA_INTEGER, encode(ramps_));
    writeProperty(display, root, fadersProperty, XA_WINDOW, faders);
}

SharedGammaRamps::~SharedGammaRamps() {
    Display* display = displayOf(connection_);
    const Atom rampsProperty = XInternAtom(display, kRampsProperty, False);
    const Atom fadersProperty = XInternAtom(display, kFadersProperty, False);
    const ::Window root = sharedRoot(display);
    {
        const ServerGrab grab(display);
        const auto faders = otherLiveFaders(display, readProperty(display, root, fadersProperty, XA_WINDOW), member_,
                                            fadersProperty);
        if (faders.empty()) {
            XDeleteProperty(display, root, rampsProperty);
            XDeleteProperty(display, root, fadersProperty);
        } else {
            writeProperty(display, root, fadersProperty, XA_WINDOW, faders);
        }
    }
    XDestroyWindow(display, member_);
    XFlush(display);
}

} // namespace view::x11
