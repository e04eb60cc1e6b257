# SPDX-License-Identifier: GPL-3.0-or-later
# The project's entry points. `make run` and `make test` set up a fresh machine themselves.
.PHONY: deps run test check-odr bench build-debug build-tsan build-release format install package clean

JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

deps:
	@scripts/install-deps.sh

build-release: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)

build-debug: deps
	@cmake --preset debug >/dev/null
	@cmake --build --preset debug -j $(JOBS)

run: build-release
	@scripts/run.sh build/release

# The threads' tests under ThreadSanitizer.
build-tsan: deps
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan -j $(JOBS)

test: build-debug build-tsan
	@ctest --preset debug -j $(JOBS)
	@ctest --preset tsan -j $(JOBS)

# Every library linked into one probe with link-time optimisation: two different definitions of
# one name anywhere in src/ fail the build.
check-odr: deps
	@cmake --preset odr >/dev/null
	@cmake --build --preset odr -j $(JOBS)

bench: build-release
	@scripts/install-deps.sh --bench
	@scripts/bench.sh build/release

install: build-release
	@cmake --install build/release --prefix $(PREFIX)

# build/package/quillby-pro_<version>-1_<arch>.deb
package:
	@scripts/install-deps.sh --package
	@cmake --preset package >/dev/null
	@cmake --build --preset package -j $(JOBS)
	@cd build/package && cpack -G DEB

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build
