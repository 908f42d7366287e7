# The whole set-up on a fresh Debian 12 machine: `make run` or `make test`.
BUILD ?= build
SANITIZE ?= OFF
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: run test deps configure build bench install package clean

run: build
	./$(BUILD)/bin/tolvar-radio

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
	  ctest --output-on-failure --timeout 300 -j $(JOBS)

deps:
	bash scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DTOLVAR_SANITIZE=$(SANITIZE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

bench: build
	@ls $(BUILD)/bin/*_bench

install: build
	cmake --install $(BUILD) --prefix $(or $(PREFIX),/usr/local)

# $(BUILD)/tolvar-radio_<version>_<arch>.deb
package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD)
