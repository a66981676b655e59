# Entry points: `make run` and `make test` set everything up on a fresh Debian 12 machine.
PRESET ?= linux
BUILD_DIR := build/$(PRESET)
VORTREL := $(BUILD_DIR)/tools/vortrel/vortrel

.PHONY: run test test-asan bootstrap configure build bench format clean

run: build
	$(VORTREL) --version
	$(VORTREL) script tools/vortrel/demo.vts

test: build
	ctest --preset $(PRESET)

test-asan:
	$(MAKE) test PRESET=linux-asan

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

clean:
	rm -rf build
