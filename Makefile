# The two commands of the README: `make run` opens the product (the desktop window, or the window
# as text where no display can be reached), `make test` builds and runs every test (the optimised
# build and the same tests under AddressSanitizer and UBSan, both built first and run side by side).
PRESET ?= default
BUILD := build/$(PRESET)

.PHONY: run test build bootstrap bench soak fuzz package clean format

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

run: build
	@$(BUILD)/bin/dravel-host

test: build
ifeq ($(PRESET),default)
	@$(MAKE) --no-print-directory build PRESET=asan
	@scripts/run-tests default asan
else
	@scripts/run-tests $(PRESET)
endif

bench: build
	@cmake --build --preset $(PRESET) --target benchmarks
	@$(BUILD)/bin/dravel-bench-table $(BUILD)/bin $(BUILD)/bench

# The long reliability runs: every action with every fault at every step, 200 kills, 8 editors of
# 500 actions, on SQLite and PostgreSQL (docs/reliability.md).
soak: build
	@DRAVEL_SOAK=1 $(BUILD)/bin/test_faults
	@DRAVEL_SOAK=1 $(BUILD)/bin/test_editors

# The Debian package, in the build folder: dravel_<version>_<architecture>.deb.
package: build
	@cd $(BUILD) && cpack -G DEB

# Each parser's fuzzer in turn, FUZZ_SECONDS each. New inputs go to build/fuzz/corpus/<name>
# (the seeds in fuzz/corpus/<name> stay as they are), crashes to build/fuzz/crashes/.
FUZZ_SECONDS ?= 60
FUZZERS := $(patsubst fuzz/%_fuzz.cpp,%,$(wildcard fuzz/*_fuzz.cpp))
fuzz:
	@scripts/bootstrap
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@mkdir -p build/fuzz/crashes
	@set -e; for f in $(FUZZERS); do \
	  mkdir -p build/fuzz/corpus/$$f; \
	  echo "== $$f ($(FUZZ_SECONDS) s)"; \
	  build/fuzz/bin/fuzz_$$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=build/fuzz/crashes/$$f- build/fuzz/corpus/$$f fuzz/corpus/$$f; \
	done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build
