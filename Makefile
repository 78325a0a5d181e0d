# The two entry points of the README: `make run` and `make test`.
BUILD_DIR ?= build
SANITIZE_BUILD_DIR ?= build-sanitize
JOBS ?= 2
# Where make install puts the program; DESTDIR is honoured as well.
PREFIX ?= /usr/local

.PHONY: run test test-sanitize bench install uninstall package deps configure build clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The saver full screen on $DISPLAY; without a display, five seconds on an
# Xvfb server of its own, photographed (scripts/run-saver).
run: build
	@scripts/run-saver $(BUILD_DIR)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORLAN_FLOW_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD_DIR) -j $(JOBS)
	@scripts/run-sanitized-tests $(SANITIZE_BUILD_DIR) $(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bench/bench-*; do [ -x "$$b" ] && "$$b"; done

# The program, its bundle and platform library, the manual, the settings
# window's desktop entry and XScreenSaver's hack under $(PREFIX), recorded in
# $(BUILD_DIR)/install_manifest.txt for make uninstall.
install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)

uninstall:
	@cmake -DMANIFEST=$(BUILD_DIR)/install_manifest.txt -P cmake/Uninstall.cmake

# A Debian package installing into /usr, in $(BUILD_DIR)/.
package: build
	@cd $(BUILD_DIR) && cpack

clean:
	@rm -rf $(BUILD_DIR) $(SANITIZE_BUILD_DIR)
