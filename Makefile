# The two set-up commands: `make run` and `make test`. Each installs what is
# missing, configures and builds (Release), then runs the game or every test.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_CONFIGURE = cmake -G Ninja -Wno-dev

.PHONY: deps configure build run test test-long bench package test-asan test-tsan fuzz clean

deps:
	bash scripts/install-deps

configure: deps
	$(CMAKE_CONFIGURE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run-game $(BUILD)/reverse

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -LE long

# The long runs: the fast engine against the plain levels on thousands of
# positions from generated games (tens of minutes), and the GUI soak over
# 20,000-event seeds.
test-long: build
	cd $(BUILD) && REVERSE_LONG_TESTS=1 ctest --output-on-failure -j $(JOBS) -L long
	$(BUILD)/tests/engine-tests --gtest_also_run_disabled_tests --gtest_filter='EngineLong.*'

# libFuzzer on the settings file for FUZZ_SECONDS (default 60), then on the
# game record reader for FUZZ_RECORDS_SECONDS (default the same).
FUZZ_SECONDS ?= 60
FUZZ_RECORDS_SECONDS ?= $(FUZZ_SECONDS)
fuzz: deps
	bash scripts/fuzz-settings $(FUZZ_SECONDS)
	bash scripts/fuzz-records $(FUZZ_RECORDS_SECONDS)

bench: build
	$(BUILD)/bench/reverse-bench-engine
	$(BUILD)/bench/reverse-bench-midgame
	$(BUILD)/bench/reverse-bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

package: build
	cd $(BUILD) && cpack -G DEB

# AddressSanitizer with UndefinedBehaviorSanitizer over the whole suite. Built
# with clang: GCC's null checks misfire on thread_local objects of another file.
# The three long differential runs of the plain searches (minutes each under
# the sanitizers) run in `make test`; the engine's other tests run here.
ASAN_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
test-asan: deps
	CC=clang CXX=clang++ $(CMAKE_CONFIGURE) -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREVERSE_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="$(ASAN_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(ASAN_FLAGS)"
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) -LE long \
	  -E 'deb-package|EngineLevels\.(FourPlySearchAgrees|SixPlySearchAgrees|SearchToEndAgrees)'

# ThreadSanitizer over every test that runs the computer's worker thread, the
# GUI soak included (3,000 events), over hints and analyses cancelled
# from another thread while they search on theirs, over the midgame search's
# two workers, and over the window's hint and analysis workers (in
# modes-tests and the soak).
TSAN_FLAGS = -fsanitize=thread -fno-omit-frame-pointer
test-tsan: deps
	CC=clang CXX=clang++ $(CMAKE_CONFIGURE) -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREVERSE_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="$(TSAN_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(TSAN_FLAGS)"
	cmake --build build-tsan -j $(JOBS) --target platform-tests window-tests modes-tests soak-tests analysis-tests engine-tests
	cd build-tsan/tests && for t in platform-tests window-tests modes-tests "soak/soak-tests --gtest_filter=Soak.*" \
	  "analysis-tests --gtest_filter=Cancellation.*:GameAnalysis.*" "engine-tests --gtest_filter=Midgame.*"; do \
	  QT_QPA_PLATFORM=offscreen SOAK_EVENTS=3000 \
	  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/sanitizers/tsan.supp" \
	  ./$$t || exit 1; done

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz
