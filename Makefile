# Two entry points for a fresh Debian 12 machine: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
GENERATOR  := -G Ninja

.PHONY: run test deps build build-asan bench clean golden-update

deps:
	@scripts/ensure-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	@cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release > /dev/null

build: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) -j $(JOBS)

$(ASAN_BUILD)/CMakeCache.txt: | deps
	@cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
	    -DVALDRIX_SANITIZE=ON -DVALDRIX_CORE_TESTS_ONLY=ON > /dev/null

build-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	@cmake --build $(ASAN_BUILD) -j $(JOBS)

# Builds only the command-line program, then solves the introductory example with it.
run: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) -j $(JOBS) --target valdrix
	@$(BUILD)/valdrix run --results examples/intro.alg

test: build build-asan
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) -j $(JOBS) --target valdrix_bench
	@$(BUILD)/valdrix_bench

# Records the golden whole-run cases again after an intended change (tests/golden/README.md).
golden-update: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) -j $(JOBS) --target golden-update

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
