# Two commands are all a fresh Debian machine needs: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all deps build run test clean windows

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The window when a display is there, the headless server otherwise.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -x $(BUILD_DIR)/bin/qelvo-interface ]; then \
	  exec $(BUILD_DIR)/bin/qelvo-interface; \
	else \
	  exec $(BUILD_DIR)/bin/qelvo-interfaced; \
	fi

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	@JOBS=$(JOBS) scripts/windows.sh test

# qelvo-interfaced.exe and the core tests for Windows x86-64 (mingw-w64),
# in build-windows/; `make test` also runs those tests under wine.
windows:
	@JOBS=$(JOBS) scripts/windows.sh build

clean:
	rm -rf $(BUILD_DIR)
