# The two set-up commands: `make demo` and `make test`. Both install what is missing first.
BUILD := build/cross
JOBS  ?= 2

.PHONY: deps build test demo clean
deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
	cmake --build $(BUILD) -j $(JOBS)

test: build
	bash scripts/run-tests.sh $(BUILD)

demo: build
	bash scripts/demo.sh $(BUILD)

clean:
	bash scripts/wine-down.sh
	rm -rf build
