# The two commands of the README: `make run` opens the product, `make test` builds and runs every
# test (the optimised build, then the same tests under AddressSanitizer and UBSan).
PRESET ?= default
BUILD := build/$(PRESET)

.PHONY: run test build bootstrap bench clean format

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

run: build
	@$(BUILD)/bin/dravel show

test: build
	@ctest --preset $(PRESET) -j2
ifeq ($(PRESET),default)
	@$(MAKE) --no-print-directory test PRESET=asan
endif

bench: build
	@$(BUILD)/bin/dravel-bench

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build
