# make run   installs what is missing, builds, and runs the program
# make test  installs what is missing, builds, and runs every test
# Both work on a fresh Debian 12 machine as root or with sudo.

BUILD    ?= build
GENERATOR ?= Ninja
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Debian packages the build, the tests and the benchmarks need.
PACKAGES := build-essential cmake ninja-build pkg-config python3 \
            qt6-base-dev libgl-dev fonts-dejavu-core \
            libgtest-dev libgmock-dev libbenchmark-dev \
            libcli11-dev nlohmann-json3-dev

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -q && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $$missing; \
	fi

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# A fresh demo tree (harmless generated samples among clean files), scanned with the demo database
# shipped beside the executables. Exit status 1 means "detections, all handled", the expected end.
run: build
	rm -rf $(BUILD)/demo-tree
	$(BUILD)/bin/velquin-demo tree $(BUILD)/demo-tree
	$(BUILD)/bin/velquin-scan $(BUILD)/demo-tree; status=$$?; [ $$status -le 1 ]

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
