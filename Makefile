# make test: install what is missing, build, run every test (plain and sanitized).
# make demo: install what is missing, build, run the application beside the simulator.
# make fuzz: build the libFuzzer targets with clang and run each FUZZ_SECONDS.
# make package: build the Debian packages into build/packages/ and check each with lintian.
# make test-package: install, upgrade, remove and purge them in a throwaway Debian root.
# make windows: cross-build Pallix.exe, NerrinAPI.dll, nrfwupdate.exe and the core, 32- and 64-bit.
# make windows-installer: Pallix-Setup-<version>.exe (64-bit) and -x86 (32-bit) with NSIS.
# make test-windows: run their tests and scenarios under Wine against the Linux build's simulator.
BUILD      ?= build
BUILD_SAN  ?= build-sanitize
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
# The tests spend most of their time waiting on the device's time-outs, each
# in its own network namespace, so several run beside each compiler slot.
TEST_JOBS  ?= $(shell echo $$(( $$(nproc) * 4 )))
# Line tables are enough for failure traces and sanitizer reports, and build
# a good deal faster than full debug information.
DEBUG_INFO ?= -g1

.PHONY: deps deps-windows configure build build-sanitize test demo fuzz package test-package windows \
        windows-installer test-windows clean

deps:
	bash scripts/install-deps.sh

deps-windows:
	bash scripts/install-deps.sh windows

# build/ is compiled as Debian compiles a package, every hardening feature
# on (stack protector, _FORTIFY_SOURCE, relro, bindnow), so the tests run the
# very programs the packages ship and make package need not compile again.
# CMake reads no CPPFLAGS, so they go in front of the compiler's flags.
HARDENED = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get

$(BUILD)/CMakeCache.txt:
	CXXFLAGS="$$($(HARDENED) CPPFLAGS) $$($(HARDENED) CXXFLAGS)" LDFLAGS="$$($(HARDENED) LDFLAGS)" \
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 $(DEBUG_INFO) -DNDEBUG"

configure: $(BUILD)/CMakeCache.txt

$(BUILD_SAN)/CMakeCache.txt:
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DPALLIX_SANITIZE=ON \
	      "-DCMAKE_CXX_FLAGS_DEBUG=$(DEBUG_INFO)"

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

build-sanitize: deps $(BUILD_SAN)/CMakeCache.txt
	cmake --build $(BUILD_SAN) -j $(JOBS)

test: build build-sanitize
	cd $(BUILD) && ctest --output-on-failure -j $(TEST_JOBS) --timeout 300
	cd $(BUILD_SAN) && ctest --output-on-failure -j $(TEST_JOBS) --timeout 300

# build-win32/ and build-win64/, each with its own toolchain file.
build-win%/CMakeCache.txt:
	cmake -S . -B build-win$* --toolchain cmake/toolchain-win$*.cmake -DCMAKE_BUILD_TYPE=Release \
	      -DPALLIX_NATIVE_BIN=$(abspath $(BUILD))/bin

# The application folder takes the icons, the user guide and the carried
# image from the Linux build, and the tests its simulator.
NATIVE_FOR_WINDOWS = pallix-sim carried-image pallix-icons user-guide

windows: deps deps-windows $(BUILD)/CMakeCache.txt build-win32/CMakeCache.txt build-win64/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target $(NATIVE_FOR_WINDOWS)
	cmake --build build-win32 -j $(JOBS)
	cmake --build build-win64 -j $(JOBS)

windows-installer: windows
	cmake --build build-win32 --target windows-installer
	cmake --build build-win64 --target windows-installer

# A kernel without 32-bit support cannot start 32-bit Wine: then the win32
# tests under Wine say so and count as skipped.
test-windows: windows-installer
	cd build-win32 && ctest --output-on-failure --timeout 300
	cd build-win64 && ctest --output-on-failure --timeout 300

demo: build
	bash scripts/demo.sh $(BUILD)

$(BUILD_FUZZ)/CMakeCache.txt:
	cmake -S . -B $(BUILD_FUZZ) -DPALLIX_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
	      -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 $(DEBUG_INFO)"

fuzz: deps $(BUILD_FUZZ)/CMakeCache.txt
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	bash scripts/fuzz.sh $(BUILD_FUZZ) $(FUZZ_SECONDS)

# The packages are made from build/ as make build left it (debian/rules).
PACKAGES ?= $(BUILD)/packages

package: build
	bash scripts/build-packages.sh $(BUILD) $(PACKAGES) $(JOBS)

test-package: package
	bash tests/packaging/install-upgrade-purge.sh $(PACKAGES)

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_FUZZ) build-win32 build-win64
