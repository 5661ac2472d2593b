# Orvane: the two commands a newcomer needs are `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)

.PHONY: deps build build-asan build-fuzz run test test-normal test-asan test-fuzz bench fuzz screenshots format format-check clean

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANE_SANITIZE=ON \
	      -DORVANE_BUILD_BENCH=OFF

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# The libFuzzer targets need clang; the core is built again there with coverage and sanitizers.
$(FUZZ_BUILD)/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DORVANE_FUZZ=ON -DORVANE_BUILD_GUI=OFF -DORVANE_BUILD_TESTS=OFF -DORVANE_BUILD_BENCH=OFF

build-fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

screenshots: build
	@scripts/screenshots.sh $(BUILD)

test: test-normal test-asan test-fuzz

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --output-on-failure -j $(JOBS)

# Every fuzz target over its seed corpus, then 10 s of fuzzing each.
test-fuzz: build-fuzz
	@fuzz/run.sh check $(FUZZ_BUILD) 10

# Every fuzz target for FUZZ_SECONDS (default 60); what it finds stays in $(FUZZ_BUILD)/corpus.
fuzz: build-fuzz
	@fuzz/run.sh fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b; done

format:
	clang-format -i $$(git ls-files '*.cpp' '*.hpp')

format-check:
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.hpp')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
