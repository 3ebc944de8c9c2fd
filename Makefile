# make run           installs what is missing, builds, and runs the program
# make test          installs what is missing, builds, and runs every test (Linux, the sanitizer
#                    build, the fuzz targets briefly, then Windows)
# make fuzz          runs each fuzz target for FUZZ_SECONDS (FUZZ_SECONDS=3600 make fuzz)
# make test-windows  builds the Windows programs (x86_64 and i686) and runs the x86_64 tests under Wine
# make dist          writes a zip per Windows architecture: velquin.exe, velquin-scan.exe, database.db
# make deb           writes dist/velquin_VERSION_ARCH.deb and shows what lintian says of it
# make install       installs under PREFIX (/usr/local), below DESTDIR when that is set
# Both work on a fresh Debian 12 machine as root or with sudo.

BUILD    ?= build
GENERATOR ?= Ninja
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Debian packages the build, the tests and the benchmarks need (locales: the sources of the
# locales a date-format test compiles for itself).
PACKAGES := build-essential cmake ninja-build pkg-config python3 hyperfine \
            qt6-base-dev libgl-dev fonts-dejavu-core \
            libgtest-dev libgmock-dev libbenchmark-dev \
            libcli11-dev nlohmann-json3-dev qt6-svg-dev locales libstb-dev

# Installing and packaging: man pages from scdoc, the Debian package (dpkg-shlibdeps, lintian), the
# validators of the desktop entry and metainfo, the shells of the completions, and Ansible for the
# fleet playbook, which the tests run.
PACKAGING_PACKAGES := scdoc gzip file dpkg-dev lintian desktop-file-utils appstream man-db \
            bash zsh fish ansible
PREFIX   ?= /usr/local
DESTDIR  ?=

# The Windows builds: MinGW-w64 cross compilers, Wine and a virtual X server (xvfb) for their tests,
# GoogleTest's source to build it for them, the header-only libraries they share with the Linux
# build, zip for the packages.
WINDOWS_PACKAGES := g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 googletest zip libstb-dev xvfb
WINDOWS_BUILD ?= build-windows
WINDOWS_ARCHS := x86_64 i686
DIST     ?= dist

# The toolkit-free libraries and their tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer (GCC's, from build-essential), and the libFuzzer targets (clang).
SANITIZE_BUILD ?= build-sanitize
FUZZ_PACKAGES := clang-14 libfuzzer-14-dev
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 300
FUZZ_TEST_SECONDS ?= 20
# Tests that cannot run under the sanitizers, each with its reason:
# (none yet)
SANITIZE_EXCLUDE :=

.PHONY: all deps deps-windows deps-fuzz configure build build-windows build-sanitize build-fuzz \
        run test test-windows test-sanitize test-fuzz fuzz dist deb install bench clean

all: build

# Installs the Debian packages of the list $(1) that are missing.
define install_missing
	@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -q && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES) $(PACKAGING_PACKAGES))

deps-windows:
	$(call install_missing,$(WINDOWS_PACKAGES))

deps-fuzz:
	$(call install_missing,$(FUZZ_PACKAGES))

# Configured on every build: folders join the build when they appear, which cmake only sees then.
configure: deps
	cmake -S . -B $(BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# A fresh demo tree (harmless generated samples among clean files) and the scan console, with the
# demo database shipped beside the executables. Pick the tree with Browse... > Select Folder.
# Without a display the command-line scanner scans the tree instead; its exit status 1 means
# "detections, all handled", the expected end.
run: build
	rm -rf $(BUILD)/demo-tree
	$(BUILD)/bin/velquin-demo tree $(BUILD)/demo-tree
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "Demo tree: $$(cd $(BUILD)/demo-tree && pwd)"; \
	  $(BUILD)/bin/velquin; \
	else \
	  echo "No display: scanning the demo tree with velquin-scan instead of the window."; \
	  $(BUILD)/bin/velquin-scan $(BUILD)/demo-tree; status=$$?; [ $$status -le 1 ]; \
	fi

# The Linux tests, the sanitizer build's, the fuzz targets briefly, then the Windows programs'
# tests under Wine.
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-sanitize
	$(MAKE) --no-print-directory test-fuzz
	$(MAKE) --no-print-directory test-windows

# Without the window (VELQUIN_GUI=OFF): every library that needs no toolkit, and its tests.
build-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DVELQUIN_GUI=OFF -DVELQUIN_BENCH=OFF -DVELQUIN_SANITIZE=ON >/dev/null
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)

# A sanitizer's report ends the test that tripped it, which then fails.
test-sanitize: build-sanitize
	ASAN_OPTIONS=abort_on_error=1:detect_stack_use_after_return=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS) \
	      $(if $(SANITIZE_EXCLUDE),-E '$(SANITIZE_EXCLUDE)')

build-fuzz: deps deps-fuzz
	cmake -S . -B $(FUZZ_BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DCMAKE_CXX_COMPILER=clang++-14 -DVELQUIN_GUI=OFF -DVELQUIN_TESTS=OFF \
	      -DVELQUIN_BENCH=OFF -DVELQUIN_FUZZ=ON >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target velquin_fuzzers

test-fuzz: build-fuzz
	scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_TEST_SECONDS)

fuzz: build-fuzz
	scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The i686 build is compiled and linked only: a 64-bit kernel without 32-bit support cannot run it.
# Configured on every build, like the native one.
build-windows: deps-windows
	for arch in $(WINDOWS_ARCHS); do \
	  cmake -S . -B $(WINDOWS_BUILD)/$$arch -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Release \
	        -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-$$arch.cmake >/dev/null && \
	  cmake --build $(WINDOWS_BUILD)/$$arch -j $(JOBS) || exit 1; \
	done

# One test at a time: the process tests end and start programs of the one shared Wine prefix (its
# shell among them), and two of them side by side would see each other's programs.
test-windows: build-windows
	scripts/wine-test.sh $(WINDOWS_BUILD)/x86_64

dist: build-windows
	scripts/windows-dist.sh $(DIST) $(foreach arch,$(WINDOWS_ARCHS),$(WINDOWS_BUILD)/$(arch))

# The Debian package of the native build, then lintian's verdict (errors fail the target).
deb: build
	mkdir -p $(DIST)
	cpack --config $(BUILD)/CPackConfig.cmake -B $(DIST)
	rm -rf $(DIST)/_CPack_Packages
	lintian --fail-on error $(DIST)/velquin_*.deb

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD) $(DIST) $(SANITIZE_BUILD) $(FUZZ_BUILD)
