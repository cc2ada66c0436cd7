# The README's commands: `make demo` and `make test`. Each installs what is
# missing, builds both builds, then runs the demo or every test.
BUILD   ?= build
NATIVE  := $(BUILD)/native
JOBS    ?= $(shell nproc)
MAKEFLAGS += --no-print-directory

# Seconds each fuzz target runs in `make fuzz`.
FUZZ_SECONDS ?= 60
FUZZ    := $(BUILD)/fuzz

# Test and demo builds point the service endpoints at loopback.
ENDPOINTS := -DTRANSFER_SERVER_HOST=127.0.0.1 -DWEB_HOST=127.0.0.1:8080

.PHONY: all setup build native windows test fuzz demo bench screenshots stop-wine clean

all: build

setup:
	@scripts/setup.sh

build: native windows

native:
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(ENDPOINTS) >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

windows: native
	@HAULBOX_ENDPOINTS="$(ENDPOINTS)" JOBS=$(JOBS) scripts/build-windows.sh $(BUILD)

test: setup build
	@scripts/run-tests.sh $(BUILD)

# The parsers' fuzz targets, built with clang and libFuzzer in their own build
# folder, each run for FUZZ_SECONDS; the corpus grows in $(FUZZ)/corpus.
fuzz: setup
	@cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHAULBOX_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS)
	@scripts/fuzz.sh $(FUZZ) $(FUZZ_SECONDS)

demo: setup build
	@scripts/demo.sh $(BUILD)

bench: setup build
	@scripts/bench.sh $(BUILD)

screenshots: setup build
	@scripts/screenshots.sh $(BUILD)

stop-wine:
	@scripts/stop-wine.sh $(BUILD)

clean:
	rm -rf $(BUILD)
