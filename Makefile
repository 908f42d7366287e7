# SPDX-License-Identifier: GPL-3.0-or-later
# The whole set-up on a fresh Debian 12 machine: `make run` or `make test`.
# PRESET names a variant of CMakePresets.json: release (the default), debug,
# asan, tsan or fuzz. Each builds into its own folder: build for release,
# build-<preset> for the others; tsan builds only the tests it runs.
PRESET ?= release
BUILD := $(if $(filter release,$(PRESET)),build,build-$(PRESET))
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: run test tsan deps configure build bench install package clean

run: build
	./$(BUILD)/bin/tolvar-radio

test: build
	ctest --preset $(PRESET) -j $(JOBS)

# The tests whose code runs threads, built and run with ThreadSanitizer.
tsan:
	$(MAKE) test PRESET=tsan

deps:
	bash scripts/install-deps

configure: deps
	cmake --preset $(PRESET) $(CMAKE_FLAGS)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

bench: build
	@ls $(BUILD)/bin/*_bench

install: build
	cmake --install $(BUILD) --prefix $(or $(PREFIX),/usr/local)

# $(BUILD)/tolvar-radio_<version>_<arch>.deb
package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD)
