# The two entry points of the README: `make run` and `make test`.
BUILD_DIR ?= build
SANITIZE_BUILD_DIR ?= build-sanitize
JOBS ?= 2

.PHONY: run test test-sanitize bench deps configure build clean

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
	@cd $(SANITIZE_BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bench/bench-*; do [ -x "$$b" ] && "$$b"; done

clean:
	@rm -rf $(BUILD_DIR) $(SANITIZE_BUILD_DIR)
