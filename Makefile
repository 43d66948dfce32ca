# The two set-up commands: `make demo` and `make test`. Both install what is missing first.
BUILD := build/cross
JOBS  ?= 2

.PHONY: deps build test demo sim-host clean
deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
	cmake --build $(BUILD) -j $(JOBS)

test: build
	bash scripts/run-tests.sh $(BUILD)

demo: build
	bash scripts/demo.sh $(BUILD)

# A simulated Oracle 8.1 host with an open instance and committed rows in a fresh prefix.
SIM_PREFIX ?= build/sim-host
sim-host: build
	-WINEPREFIX=$(CURDIR)/$(SIM_PREFIX) wineserver -k 2>/dev/null
	rm -rf $(SIM_PREFIX)
	KX_SIM_BIN=$(CURDIR)/$(BUILD)/sim/bin bash scripts/sim-host.sh $(SIM_PREFIX) 8.1 --copies 'C:\BACKUP' --sid ORCL --password manager --rows 20

clean:
	bash scripts/wine-down.sh
	rm -rf build
