# make run           installs what is missing, builds, and runs the program
# make test          installs what is missing, builds, and runs every test (Linux, then Windows)
# make test-windows  builds the Windows programs (x86_64 and i686) and runs the x86_64 tests under Wine
# make dist          writes a zip per Windows architecture with velquin-scan.exe and database.db
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

# The Windows builds: MinGW-w64 cross compilers, Wine for their tests, GoogleTest's source to build
# it for them, the header-only libraries they share with the Linux build, zip for the packages.
WINDOWS_PACKAGES := g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 googletest zip libstb-dev
WINDOWS_BUILD ?= build-windows
WINDOWS_ARCHS := x86_64 i686
DIST     ?= dist

.PHONY: all deps deps-windows configure build build-windows run test test-windows dist deb install bench clean

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

# The Linux tests, then the Windows programs' tests under Wine.
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-windows

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
	rm -rf $(BUILD) $(WINDOWS_BUILD) $(DIST)
