# Newcomer entry points: `make run` starts the viewer, `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps build run test bench deb clean

deps:
	@bash scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run-viewer $(BUILD)/typeloom

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Benchmarks against their floors (Release build, reference font set); see README.
bench: deps
	@BUILD=$(BUILD) JOBS=$(JOBS) bash scripts/bench $(BENCH_ARGS)

# The Debian package: $(BUILD)/typeloom_<version>_<arch>.deb (see debian/).
deb: deps
	@BUILD=$(BUILD) JOBS=$(JOBS) bash scripts/build-deb

clean:
	rm -rf $(BUILD)
