#include "tests/e2e/HeadlessCompositor.h"

#include "tests/support/TiedProcess.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr auto kStartTime = std::chrono::seconds(10);
// The unprivileged user sway runs as when the tests run as root.
constexpr const char* kUnprivilegedUser = "nobody";

bool canConnect(const std::string& path) {
    const int descriptor = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    const bool connected = connect(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(descriptor);
    return connected;
}

// The environment entry of the test run's mark, which whatever the test
// starts must carry, so that a leftover is found.
std::vector<std::string> runMark() {
    const char* mark = std::getenv("KORLAN_FLOW_TEST_RUN");
    if (!mark) return {};
    return {std::string("KORLAN_FLOW_TEST_RUN=") + mark};
}

int waitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string swayConfiguration(const std::vector<HeadlessCompositor::Output>& outputs) {
    std::ostringstream text;
    text << "xwayland disable\n";
    unsigned x = 0;
    for (std::size_t index = 0; index < outputs.size(); ++index) {
        const auto& output = outputs[index];
        text << "output HEADLESS-" << index + 1 << " resolution " << output.width << "x" << output.height
             << " scale " << output.scale << " position " << x << " 0\n";
        x += output.width / unsigned(output.scale);
    }
    return text.str();
}

// P6 with 8-bit samples, as grim writes it.
std::optional<Pixels> readPortablePixmap(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string magic;
    unsigned width = 0, height = 0, maximum = 0;
    file >> magic >> width >> height >> maximum;
    file.get();
    if (magic != "P6" || maximum != 255 || width == 0 || height == 0) return std::nullopt;
    std::vector<char> rgb(std::size_t(width) * height * 3);
    if (!file.read(rgb.data(), std::streamsize(rgb.size()))) return std::nullopt;
    Pixels pixels{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 4)};
    for (std::size_t pixel = 0; pixel < std::size_t(width) * height; ++pixel) {
        pixels.bytes[pixel * 4 + 0] = std::uint8_t(rgb[pixel * 3 + 2]);
        pixels.bytes[pixel * 4 + 1] = std::uint8_t(rgb[pixel * 3 + 1]);
        pixels.bytes[pixel * 4 + 2] = std::uint8_t(rgb[pixel * 3 + 0]);
        pixels.bytes[pixel * 4 + 3] = 0xff;
    }
    return pixels;
}

} // namespace

HeadlessCompositor HeadlessCompositor::sway(const std::vector<Output>& outputs) {
    HeadlessCompositor compositor;
    char folder[] = "/tmp/korlan-flow-sway-XXXXXX";
    if (!mkdtemp(folder)) return compositor;
    compositor.runtimeDirectory_ = folder;
    std::ofstream(fs::path(folder) / "config") << swayConfiguration(outputs);

    std::vector<std::string> program;
    if (geteuid() == 0) {
        const passwd* user = getpwnam(kUnprivilegedUser);
        if (!user) {
            compositor.whyNot_ = "sway will not run as root, and there is no user nobody to run it as";
            return compositor;
        }
        if (chown(folder, user->pw_uid, user->pw_gid) != 0 || chown((fs::path(folder) / "config").c_str(),
                                                                      user->pw_uid, user->pw_gid) != 0) {
            compositor.whyNot_ = "cannot give nobody the compositor's runtime folder";
            return compositor;
        }
        // runuser stays the child, and hands the signal at the test's end
        // on to sway.
        program = {"runuser", "-u", kUnprivilegedUser, "--"};
    }
    std::vector<std::string> environment = {"env", "-i", "PATH=/usr/bin:/bin", std::string("HOME=") + folder,
                                            std::string("XDG_RUNTIME_DIR=") + folder, "WLR_BACKENDS=headless",
                                            "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1",
                                            "WLR_HEADLESS_OUTPUTS=" + std::to_string(outputs.size())};
    const auto mark = runMark();
    environment.insert(environment.end(), mark.begin(), mark.end());
    program.insert(program.end(), environment.begin(), environment.end());
    program.insert(program.end(), {"sway", "-c", (fs::path(folder) / "config").string()});

    TiedCommand command(std::move(program));
    const int log = open((fs::path(folder) / "sway.log").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    command.output = command.error = log;
    compositor.pid_ = spawnTied(std::move(command));
    close(log);
    if (compositor.pid_ <= 0) {
        compositor.whyNot_ = "sway could not be started (is it installed?)";
        return compositor;
    }
    // Outputs are configured once the compositor answers on its socket.
    if (!compositor.waitForSocket() || !compositor.command({"-t", "get_outputs"})) {
        compositor.whyNot_ = "sway did not come up; see " + (fs::path(folder) / "sway.log").string();
        compositor.socket_.clear();
    }
    return compositor;
}

HeadlessCompositor HeadlessCompositor::weston() {
    HeadlessCompositor compositor;
    char folder[] = "/tmp/korlan-flow-weston-XXXXXX";
    if (!mkdtemp(folder)) return compositor;
    compositor.runtimeDirectory_ = folder;
    std::vector<std::string> program = {"env", std::string("XDG_RUNTIME_DIR=") + folder, "weston",
                                        "--backend=headless-backend.so", "--socket=wayland-1", "--idle-time=0"};
    TiedCommand command(std::move(program));
    const int log = open((fs::path(folder) / "weston.log").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    command.output = command.error = log;
    compositor.pid_ = spawnTied(std::move(command));
    close(log);
    if (compositor.pid_ <= 0 || !compositor.waitForSocket()) {
        compositor.whyNot_ = "weston did not come up (is it installed?)";
        compositor.socket_.clear();
    }
    return compositor;
}

HeadlessCompositor::HeadlessCompositor(HeadlessCompositor&& other) noexcept
    : runtimeDirectory_(std::move(other.runtimeDirectory_)), socket_(std::move(other.socket_)),
      whyNot_(std::move(other.whyNot_)), pid_(std::exchange(other.pid_, -1)) {
    other.runtimeDirectory_.clear();
}

HeadlessCompositor::~HeadlessCompositor() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitFor(pid_);
    }
    std::error_code ignored;
    if (!runtimeDirectory_.empty()) fs::remove_all(runtimeDirectory_, ignored);
}

bool HeadlessCompositor::waitForSocket() {
    const auto deadline = std::chrono::steady_clock::now() + kStartTime;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        const auto path = fs::path(runtimeDirectory_) / "wayland-1";
        if (canConnect(path.string())) {
            socket_ = path.string();
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

std::vector<std::string> HeadlessCompositor::clientEnvironment() const {
    return {"WAYLAND_DISPLAY=" + socket_, "DISPLAY=", "XDG_RUNTIME_DIR=" + runtimeDirectory_};
}

bool HeadlessCompositor::run(std::vector<std::string> arguments) const {
    std::vector<std::string> environment = {"PATH=/usr/bin:/bin", "WAYLAND_DISPLAY=" + socket_};
    for (const auto& entry : fs::directory_iterator(runtimeDirectory_)) {
        if (entry.path().filename().string().starts_with("sway-ipc.")) environment.push_back("SWAYSOCK=" + entry.path().string());
    }
    const auto mark = runMark();
    environment.insert(environment.end(), mark.begin(), mark.end());
    TiedCommand command(std::move(arguments));
    command.environment = std::move(environment);
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    command.output = nowhere;
    const pid_t pid = spawnTied(std::move(command));
    close(nowhere);
    return pid > 0 && waitFor(pid) == 0;
}

bool HeadlessCompositor::command(const std::vector<std::string>& arguments) const {
    std::vector<std::string> swaymsg = {"swaymsg"};
    swaymsg.insert(swaymsg.end(), arguments.begin(), arguments.end());
    return run(std::move(swaymsg));
}

std::optional<Pixels> HeadlessCompositor::capture(const std::string& output) const {
    const auto path = (fs::path(runtimeDirectory_) / ("capture-" + output + ".ppm")).string();
    if (!run({"grim", "-t", "ppm", "-o", output, path})) return std::nullopt;
    auto pixels = readPortablePixmap(path);
    fs::remove(path);
    return pixels;
}

bool HeadlessCompositor::typeKeys(const std::vector<std::string>& keys) const {
    std::vector<std::string> wtype = {"wtype"};
    // A pause before each key: the virtual keyboard is new to the clients,
    // which bind it first.
    for (const auto& key : keys) wtype.insert(wtype.end(), {"-s", "200", "-k", key});
    return run(std::move(wtype));
}
