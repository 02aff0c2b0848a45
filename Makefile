# The README's two commands: `make run` and `make test`.
SANITIZE ?= 0
ifeq ($(SANITIZE),1)
BUILD ?= build-asan
CMAKE_FLAGS += -DPLOX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
else
BUILD ?= build
CMAKE_FLAGS += -DCMAKE_BUILD_TYPE=RelWithDebInfo
endif
JOBS ?= $(shell nproc)
# Developer and CI builds stop on warnings; a plain CMake build only reports them.
CMAKE_FLAGS += -DPLOX_WERROR=ON
# Work trees side by side share ccache's results (paths relative to the folder above).
export CCACHE_BASEDIR ?= $(abspath $(CURDIR)/..)
export CCACHE_NOHASHDIR ?= 1
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h' '*.c')

.PHONY: deps configure build run test bench clean format format-check tidy check-clang check-release package

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-demo.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# A Debian package of the installed files in $(BUILD) (dpkg-dev works out the dependencies).
package: build
	@cd $(BUILD) && cpack -G DEB

bench: build
	@scripts/run-bench.sh $(BUILD)

format:
	@clang-format -i $(FORMAT_FILES)

format-check: deps
	@clang-format --dry-run -Werror $(FORMAT_FILES)

# Static checks of .clang-tidy over the program's sources (not the tests), on the build's
# compile commands.
tidy: configure
	@run-clang-tidy -quiet -j $(JOBS) -p $(BUILD) '^$(CURDIR)/src/' 2>/dev/null | grep -E 'warning:|error:' | sort -u

# The other compilers and optimisation levels must build warning-free too.
check-clang: deps
	@CC=clang CXX=clang++ cmake -S . -B build-clang -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DPLOX_WERROR=ON -DPLOX_BUILD_BENCH=OFF >/dev/null
	@cmake --build build-clang -j $(JOBS)

check-release: deps
	@cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLOX_WERROR=ON \
		-DPLOX_BUILD_BENCH=OFF >/dev/null
	@cmake --build build-release -j $(JOBS)

clean:
	rm -rf build build-asan build-clang build-release
