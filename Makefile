# make test: install what is missing, build, run every test (plain and sanitized).
# make demo: install what is missing, build, run the application beside the simulator.
BUILD      ?= build
BUILD_SAN  ?= build-sanitize
JOBS       ?= $(shell nproc)

.PHONY: deps build build-sanitize test demo clean

deps:
	bash scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(BUILD_SAN)/CMakeCache.txt:
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DPALLIX_SANITIZE=ON

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

build-sanitize: deps $(BUILD_SAN)/CMakeCache.txt
	cmake --build $(BUILD_SAN) -j $(JOBS)

test: build build-sanitize
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300
	cd $(BUILD_SAN) && ctest --output-on-failure -j $(JOBS) --timeout 300

demo: build
	bash scripts/demo.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD_SAN)
