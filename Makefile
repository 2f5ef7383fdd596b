# Two commands are all a fresh Debian machine needs: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all deps build run test clean bench fuzz test-sanitizers test-asan test-tsan windows

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

# Figures on this machine: the server against a framing-only responder.
bench: deps
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQELVO_BUILD_GUI=OFF \
	  -DQELVO_BUILD_TESTS=OFF -DQELVO_BUILD_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS) --target qelvo-bench
	@build-bench/bin/qelvo-bench

# Each libFuzzer target for FUZZ_SECONDS, starting from the saved corpus;
# what it finds goes to build-fuzz/corpus, the saved one stays as it is.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = request ini_file integer_text date_time
fuzz:
	@QELVO_WITH_FUZZ=1 scripts/install-deps.sh
	@cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DQELVO_BUILD_GUI=OFF -DQELVO_BUILD_TESTS=OFF -DQELVO_FUZZ=ON \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build-fuzz/corpus/$$t && \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s" && \
	  build-fuzz/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=build-fuzz/ build-fuzz/corpus/$$t fuzz/corpus/$$t 2>build-fuzz/fuzz_$$t.log \
	  || { tail -40 build-fuzz/fuzz_$$t.log; exit 1; }; \
	  grep -E '^stat::number_of_executed_units|^stat::new_units_added' build-fuzz/fuzz_$$t.log; \
	done

# The unit and end-to-end tests (fuzz corpus replays included) under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the concurrency tests
# under ThreadSanitizer; each in a build of its own, without the window.
SAN_CMAKE = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQELVO_BUILD_GUI=OFF
TSAN_TESTS = TRequestListener|ListenerFixture|InterfaceServerTest|TLogFile|^Server\.|^Fault\.
test-sanitizers: test-asan test-tsan

test-asan: deps
	@cmake -S . -B build-asan $(SAN_CMAKE) \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all" >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ctest --output-on-failure -j $(JOBS)

test-tsan: deps
	@cmake -S . -B build-tsan $(SAN_CMAKE) -DCMAKE_CXX_FLAGS="-fsanitize=thread" >/dev/null
	@cmake --build build-tsan -j $(JOBS)
	@cd build-tsan && TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/sanitizers/tsan_suppressions.txt $$TSAN_OPTIONS" \
	  ctest --output-on-failure -j $(JOBS) -R '$(TSAN_TESTS)'

clean:
	rm -rf $(BUILD_DIR)
