#include "platform/view/x11/GammaRescue.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <csignal>

namespace view::x11 {

namespace {

// The signals whose default ends the process without a word to it: the
// faults of a crash and abort first, then those a user or a supervisor may
// send.
constexpr std::array kFatalSignals = {SIGILL,  SIGTRAP, SIGABRT, SIGBUS,  SIGFPE,  SIGSEGV, SIGSYS, SIGHUP,
                                      SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ};
// A fault ends the process whoever handles it (a sanitizer reports it
// first); a sent signal that the process handles or ignores ends nothing.
constexpr std::size_t kFaults = 7;

bool takesOver(std::size_t index, const struct sigaction& previous) {
    return index < kFaults ? previous.sa_handler != SIG_IGN : previous.sa_handler == SIG_DFL;
}

} // namespace

struct RescueState {
    Display* display = nullptr;
    std::vector<std::pair<RRCrtc, XRRCrtcGamma*>> ramps;
    std::array<struct sigaction, kFatalSignals.size()> previousActions{};
    std::array<bool, kFatalSignals.size()> installed{};
    XIOErrorHandler previousIOErrorHandler = nullptr;
    std::atomic<bool> used = false;

    // From a signal handler: no allocation, only requests on a connection
    // that nothing else uses.
    void giveBackRamps() {
        if (used.exchange(true)) return;
        for (const auto& [crtc, gamma] : ramps) XRRSetCrtcGamma(display, crtc, gamma);
        XFlush(display);
    }
};

namespace {

std::atomic<RescueState*> armed = nullptr;

void rescueOnSignal(int signalNumber) {
    RescueState* state = armed.load();
    if (!state) return;
    state->giveBackRamps();
    // The signal goes on as it would have: the earlier handler, or the
    // default, which ends the process. It is blocked until this returns.
    const auto* place = std::ranges::find(kFatalSignals, signalNumber);
    sigaction(signalNumber, &state->previousActions[std::size_t(place - kFatalSignals.begin())], nullptr);
    raise(signalNumber);
}

int rescueOnConnectionLoss(Display* display) {
    RescueState* state = armed.load();
    // The rescue's own connection failing leaves nothing to do.
    if (state && display != state->display) state->giveBackRamps();
    if (state && state->previousIOErrorHandler) return state->previousIOErrorHandler(display);
    return 0;
}

} // namespace

std::unique_ptr<GammaRescue> GammaRescue::arm(const char* displayName, const std::vector<CrtcRamps>& ramps) {
    Display* display = XOpenDisplay(displayName);
    if (!display) return nullptr;
    auto* state = new RescueState;
    state->display = display;
    int eventBase = 0, errorBase = 0;
    // Looks the extension up now, so the handler finds it known.
    XRRQueryExtension(display, &eventBase, &errorBase);
    for (const auto& found : ramps) {
        const int size = int(found.red.size());
        XRRCrtcGamma* gamma = XRRAllocGamma(size);
        std::ranges::copy(found.red, gamma->red);
        std::ranges::copy(found.green, gamma->green);
        std::ranges::copy(found.blue, gamma->blue);
        state->ramps.emplace_back(found.crtc, gamma);
    }
    armed = state;
    struct sigaction rescue {};
    rescue.sa_handler = &rescueOnSignal;
    sigemptyset(&rescue.sa_mask);
    for (std::size_t index = 0; index < kFatalSignals.size(); ++index) {
        struct sigaction& previous = state->previousActions[index];
        sigaction(kFatalSignals[index], nullptr, &previous);
        if (!takesOver(index, previous)) continue;
        state->installed[index] = sigaction(kFatalSignals[index], &rescue, nullptr) == 0;
    }
    state->previousIOErrorHandler = XSetIOErrorHandler(&rescueOnConnectionLoss);
    return std::unique_ptr<GammaRescue>(new GammaRescue(state));
}

GammaRescue::GammaRescue(RescueState* state) : state_(state) {}

GammaRescue::~GammaRescue() {
    XSetIOErrorHandler(state_->previousIOErrorHandler);
    for (std::size_t index = 0; index < kFatalSignals.size(); ++index) {
        if (state_->installed[index]) sigaction(kFatalSignals[index], &state_->previousActions[index], nullptr);
    }
    armed = nullptr;
    for (const auto& ramps : state_->ramps) XRRFreeGamma(ramps.second);
    XCloseDisplay(state_->display);
    delete state_;
}

} // namespace view::x11
