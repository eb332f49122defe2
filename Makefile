# Everyday commands. Each one installs what is missing first, so a fresh Debian
# machine needs nothing but this repository. The build configurations themselves are
# the presets of CMakePresets.json (default, sanitize, fuzz, bench, windows), each in
# its own folder: build, build-sanitize, build-fuzz, build-bench, build-windows.
JOBS         ?= $(shell nproc)
CMAKE_ARGS   ?=
FUZZ_SECONDS ?= 600
FUZZ_JOBS    ?= 1
VERSION      := $(shell sed -n 's/^project.Knobwerk VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
ENSURE       := scripts/ensure-packages.sh
# Without a desktop, make demo shows the window on a virtual X server.
DEMO_DISPLAY := $(if $(DISPLAY)$(WAYLAND_DISPLAY)$(QT_QPA_PLATFORM),,display)
# The Windows build finds the Qt for Windows that scripts/build-qt-windows.sh builds once.
WINDOWS_CONFIGURE = $(ENSURE) windows && \
	KNOBWERK_QT_WINDOWS=$$(scripts/build-qt-windows.sh | tail -n 1) cmake --preset windows >/dev/null

.PHONY: deps configure build test run demo screenshot bench fuzz check-sanitize windows check-windows \
        screenshot-windows package-windows package package-portable check-packages format check-format clean

deps:
	@$(ENSURE) build

configure: deps
	@cmake --preset default $(if $(CI),-DKNOBWERK_WERROR=ON) $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build --preset default -j $(JOBS)

# All tests; the window tests run on Qt's offscreen platform.
test: build
	@ctest --preset default -j $(JOBS)

# Start the program on the player's own game files.
run: build
	@build/Knobwerk

# Start the program on a scratch copy of the bundled sample game files.
demo: configure
	@$(ENSURE) build $(DEMO_DISPLAY)
	@cmake --build --preset default -j $(JOBS) --target Knobwerk
	@scripts/demo.sh build/Knobwerk

# Writes docs/screenshot.png (and the doubled-scale one) from the real window under Xvfb.
screenshot: configure
	@$(ENSURE) build display
	@cmake --build --preset default -j $(JOBS) --target Knobwerk
	@scripts/demo.sh build/Knobwerk docs/screenshot.png 1
	@scripts/demo.sh build/Knobwerk docs/screenshot-2x.png 2

bench:
	@$(ENSURE) build
	@cmake --preset bench >/dev/null && cmake --build --preset bench -j $(JOBS)
	@build-bench/bench/knobwerk_bench

# libFuzzer over the INI engine for FUZZ_SECONDS with FUZZ_JOBS processes; the corpus
# grows in build-fuzz/corpus, crashes land in build-fuzz/crashes.
fuzz:
	@$(ENSURE) build fuzz
	@cmake --preset fuzz -DKNOBWERK_FUZZ_SECONDS=$(FUZZ_SECONDS) -DKNOBWERK_FUZZ_JOBS=$(FUZZ_JOBS) >/dev/null
	@cmake --build --preset fuzz -j $(JOBS) && ctest --preset fuzz

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
check-sanitize:
	@$(ENSURE) build
	@cmake --preset sanitize >/dev/null && cmake --build --preset sanitize -j $(JOBS)
	@ctest --preset sanitize -j $(JOBS)

# Windows: build-windows/Knobwerk.exe, cross-compiled with MinGW-w64 against a static Qt
# for Windows (built once per machine, about 40 minutes); its import table is checked.
windows:
	@$(WINDOWS_CONFIGURE)
	@cmake --build --preset windows -j $(JOBS) --target Knobwerk >/dev/null && echo build-windows/Knobwerk.exe

# The whole test suite cross-compiled for Windows and run under Wine, test by test; the
# last line counts the results, for CI.
check-windows:
	@$(WINDOWS_CONFIGURE)
	@cmake --build --preset windows -j $(JOBS)
	@ctest --preset windows --output-junit windows-tests.xml; status=$$?; \
	awk -F'"' '/^\t(tests|failures|skipped)=/ { n[substr($$1, 2, length($$1) - 2)] = $$2 } \
	    END { printf "windows: %d passed, %d failed, %d skipped\n", n["tests"] - n["failures"] - n["skipped"], \
	          n["failures"], n["skipped"] }' build-windows/windows-tests.xml; exit $$status

# docs/screenshot-windows.png: Knobwerk.exe under Wine on a virtual X server.
screenshot-windows: windows
	@$(ENSURE) display
	@scripts/screenshot-windows.sh build-windows/Knobwerk.exe

# build/knobwerk-<version>-windows-x64.zip, beside the Linux releases: Knobwerk.exe with
# its readme and licences.
package-windows: windows
	@cpack --preset windows >/dev/null && echo build/knobwerk-$(VERSION)-windows-x64.zip

# The Debian package of the program, checked.
package: build
	@$(ENSURE) package
	@cpack --preset deb >/dev/null
	@tests/packaging/check-package.sh build/knobwerk_$(VERSION)_amd64.deb
	@echo build/knobwerk_$(VERSION)_amd64.deb

# The portable release: a tarball that runs on any x86-64 desktop, Qt included.
package-portable: build
	@$(ENSURE) package
	@cpack --preset portable >/dev/null && echo build/knobwerk-$(VERSION)-linux-x86_64.tar.gz

# Both packages installed and used in fresh Debian roots (needs root).
check-packages: package package-portable
	@$(ENSURE) roots display
	@tests/packaging/check-install.sh build/knobwerk_$(VERSION)_amd64.deb
	@tests/packaging/check-portable.sh build/knobwerk-$(VERSION)-linux-x86_64.tar.gz

format:
	@$(ENSURE) build
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Fails on any source file that make format would change.
check-format:
	@$(ENSURE) build
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror && echo "format: every file as make format leaves it"

clean:
	@rm -rf build build-bench build-fuzz build-sanitize build-windows
