# Entry points: `make run` and `make test` set everything up on a fresh Debian 12 machine.
PRESET ?= linux
BUILD_DIR := build/$(PRESET)
VORTREL := $(BUILD_DIR)/tools/vortrel/vortrel

.PHONY: run test test-windows test-asan fuzz coverage bootstrap configure build bench format resources clean

run: build
	$(VORTREL) --version
	$(VORTREL) script tools/vortrel/demo.vts --workdir $(BUILD_DIR)/demo

# `make test` runs the Linux tests, then (for the default preset) the Windows builds' tests.
test: build
	ctest --preset $(PRESET)
ifeq ($(PRESET),linux)
	$(MAKE) test-windows
endif

# The Windows builds (presets win64, and win32 where 32-bit programs run here), cross-built
# with mingw-w64, their `windows`-labelled tests run under Wine; the last line says which
# builds were exercised (scripts/test-windows.sh).
test-windows: bootstrap
	bash scripts/test-windows.sh

test-asan:
	$(MAKE) test PRESET=linux-asan

# Each libFuzzer target of tests/fuzz for FUZZ_SECONDS on a scratch copy of its seed corpus
# (build/fuzz/tests/fuzz/runs/), two at a time; a failing input stays there.
FUZZ_SECONDS ?= 60
fuzz:
	$(MAKE) build PRESET=fuzz
	FUZZ_SECONDS=$(FUZZ_SECONDS) ctest --preset fuzz --timeout $$(($(FUZZ_SECONDS) + 300))

# Line and branch coverage of src/ by every test: a summary here, the details in
# build/coverage/coverage.txt and build/coverage/html/index.html.
coverage:
	$(MAKE) build PRESET=coverage
	find build/coverage -name '*.gcda' -delete
	mkdir -p build/coverage/html
	status=0; ctest --preset coverage || status=$$?; \
	gcovr --root . --filter 'src/' --exclude-unreachable-branches --exclude-throw-branches \
	  --txt build/coverage/coverage.txt --html-details build/coverage/html/index.html \
	  --print-summary build/coverage; \
	exit $$status

bench: build
	$(BUILD_DIR)/bench/vortrel_bench

bootstrap:
	bash scripts/bootstrap.sh

configure: bootstrap
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

format:
	bash scripts/check-format.sh --fix

# Draws the built-in pictures of resources/ again; the build embeds what is committed there.
resources: configure
	cmake --build --preset $(PRESET) --target vortrel-resourcegen
	$(BUILD_DIR)/tools/resourcegen/vortrel-resourcegen resources

clean:
	rm -rf build
