# The two commands of the README: `make demo` and `make test`.
.PHONY: demo test bench fuzz soak setup native asan windows avrdude-windows dist

JOBS ?= $(shell nproc)

setup:
	@scripts/setup

native:
	cmake --preset linux >/dev/null
	cmake --build --preset linux -j $(JOBS)

asan:
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

windows:
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)

# avrdude for Windows, built once from Debian's source (the flashing tests use it).
avrdude-windows: setup
	scripts/build-avrdude-windows

# The release bundle build/dist/Vantor-<version>-win64.zip; packed again only
# when one of its files changed.
dist: setup avrdude-windows
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target dist

# Runs the Windows program under Wine against the simulated wheel.
demo: setup windows native
	scripts/demo

# Every test this machine can run: native, sanitized, and the real program under Wine.
test: setup native asan windows avrdude-windows dist
	scripts/check-layers
	ctest --preset linux -j $(JOBS)
	ctest --preset asan -j $(JOBS)
	scripts/fuzz 20
	python3 tests/e2e/run.py
	python3 tests/soak/soak.py --minutes 2 --seed 1

bench: setup native
	@echo "bench: the log's debugger output (standard error) is dropped"
	build/linux/bench/vantor_bench 2>/dev/null

# The program under a misbehaving wheel and drive with a user at random, the
# invariants checked as it runs; the report goes to build/e2e/soak/report.txt.
SOAK_MINUTES ?= 10
SOAK_SEED ?= 1
soak: setup native windows
	python3 tests/soak/soak.py --minutes $(SOAK_MINUTES) --seed $(SOAK_SEED)

# Every fuzz target side by side for FUZZ_SECONDS (make fuzz FUZZ_SECONDS=3600).
FUZZ_SECONDS ?= 600
fuzz: setup
	scripts/fuzz $(FUZZ_SECONDS)
