# Everyday commands. Each one installs what is missing first, so a fresh Debian
# machine needs nothing but this repository.
BUILD     ?= build
JOBS      ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: deps configure build test run demo screenshot bench fuzz check-sanitize windows check-windows \
        screenshot-windows package-windows package format clean

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(CI),-DKNOBWERK_WERROR=ON) $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# All tests; the window tests run on Qt's offscreen platform.
test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Start the program on the player's own game files.
run: build
	@$(BUILD)/Knobwerk

# Start the program on a scratch copy of the bundled sample game files.
demo: build
	@scripts/demo.sh $(BUILD)/Knobwerk

# Writes docs/screenshot.png (and the doubled-scale one) from the real window under Xvfb.
screenshot: build
	@scripts/install-deps.sh --screenshot
	@scripts/screenshot.sh $(BUILD)/Knobwerk

bench:
	@$(MAKE) --no-print-directory build BUILD=build-bench CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Release -DKNOBWERK_BENCH=ON"
	@build-bench/bench/knobwerk_bench

# libFuzzer over the INI engine; FUZZ_SECONDS sets how long.
fuzz: deps
	@scripts/fuzz.sh

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
check-sanitize: deps
	@scripts/check-sanitize.sh

# Windows: build-windows/Knobwerk.exe, cross-compiled with MinGW-w64 against a static Qt
# for Windows that scripts/build-qt-windows.sh builds once per machine (about 40 minutes).
windows:
	@scripts/build-windows.sh Knobwerk >/dev/null && echo build-windows/Knobwerk.exe

# The whole test suite cross-compiled for Windows and run under Wine.
check-windows:
	@scripts/check-windows.sh

# docs/screenshot-windows.png: Knobwerk.exe under Wine on a virtual X server.
screenshot-windows: windows
	@scripts/screenshot-windows.sh build-windows/Knobwerk.exe

# build/knobwerk-1.0-windows-x64.zip: Knobwerk.exe with its readme and licences.
package-windows:
	@scripts/package-windows.sh

# A Debian package of the program.
package: build
	@scripts/package.sh $(BUILD)

# The portable release: a tarball that runs on any x86-64 desktop, Qt included.
.PHONY: package-portable check-packages
package-portable: build
	@scripts/package-portable.sh $(BUILD)

# Both packages installed and used in fresh Debian roots (needs root).
check-packages: package package-portable
	@tests/packaging/check-install.sh $(BUILD)/knobwerk_1.0_amd64.deb
	@tests/packaging/check-portable.sh $(BUILD)/knobwerk-1.0-linux-x86_64.tar.gz

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) build-bench build-fuzz build-sanitize build-windows
