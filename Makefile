# Two entry points for a fresh Debian 12 machine: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
GENERATOR  := -G Ninja

.PHONY: run test deps build build-asan bench screenshot package clean golden-update fuzz

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

# The desktop application when there is a display to show it on, the command line otherwise;
# either way only the program that runs is built.
run: deps $(BUILD)/CMakeCache.txt
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && cmake --build $(BUILD) -j $(JOBS) --target valdrix-gui; then \
	    echo "Starting the desktop application valdrix-gui on examples/intro.alg"; \
	    $(BUILD)/valdrix-gui examples/intro.alg; \
	else \
	    cmake --build $(BUILD) -j $(JOBS) --target valdrix && \
	    echo "No display: solving examples/intro.alg with the command-line program valdrix" && \
	    $(BUILD)/valdrix run --results examples/intro.alg; \
	fi

test: build build-asan
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) -j $(JOBS) --target valdrix_bench
	@$(BUILD)/valdrix_bench

# Records the golden whole-run cases again after an intended change (tests/golden/README.md).
golden-update: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) -j $(JOBS) --target golden-update

# libFuzzer targets of every reader under the address and undefined-behaviour sanitizers, each
# run for FUZZ_SECONDS from the seed corpus (docs/fuzzing.md). Never part of `make test`.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := document solve options_line settings_file user_function jacobian_file list_file common_format series_file
fuzz:
	@VALDRIX_EXTRA_DEPS="clang-14 libclang-rt-14-dev" scripts/ensure-deps.sh
	@cmake -S . -B $(FUZZ_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_COMPILER=clang++-14 -DVALDRIX_FUZZ=ON -DVALDRIX_SANITIZE=ON \
	    -DVALDRIX_CORE_TESTS_ONLY=ON -DVALDRIX_GUI=OFF > /dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	@fuzz/seeds.sh $(FUZZ_BUILD)/seeds
	@for t in $(FUZZ_TARGETS); do \
	    mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/crashes/$$t; \
	    echo "fuzz_$$t: $(FUZZ_SECONDS) s"; \
	    $(FUZZ_BUILD)/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -timeout=10 \
	        -rss_limit_mb=2048 -print_final_stats=1 \
	        -artifact_prefix=$(FUZZ_BUILD)/crashes/$$t/ \
	        $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/seeds/$$t 2>&1 \
	        | grep -E "^(stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit written)" \
	        || true; \
	    [ -z "$$(ls -A $(FUZZ_BUILD)/crashes/$$t)" ] || { echo "fuzz_$$t found a fault: $(FUZZ_BUILD)/crashes/$$t"; exit 1; }; \
	done

screenshot: build
	@scripts/screenshot.sh $(BUILD)

# The Debian package of the release build (packaging/CMakeLists.txt), written to $(BUILD).
package: build
	@cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
