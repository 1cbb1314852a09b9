# The two commands of the README: `make run` and `make test`.
# Both install what the machine is missing, then build with CMake.

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CI_FLAGS := $(if $(CI),-DOZMIR_WERROR=ON,)

.PHONY: run test deps build release asan clean format

deps:
	@scripts/install-deps

release: deps
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DOZMIR_E2E=OFF $(CI_FLAGS)
	cmake --build build/release -j $(JOBS) --target ozmir ozmir-record

run: release
	./build/release/ozmir

build: deps
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CI_FLAGS)
	cmake --build build/test -j $(JOBS)

asan: deps
	cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DOZMIR_SANITIZE=ON -DOZMIR_E2E=OFF $(CI_FLAGS)
	cmake --build build/asan -j $(JOBS) --target ozmir_tests ozmir

# Unit tests, the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, and
# the end-to-end tests under Xvfb and in chromium.
test: build asan web
	cd build/test && ctest --output-on-failure -j $(JOBS) -LE e2e
	cd build/asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)
	cd build/test && ctest --output-on-failure -L e2e

.PHONY: install package

# Installs the Release build under PREFIX (/usr/local unless given; DESTDIR is honoured).
install: release
	DESTDIR="$(DESTDIR)" cmake --install build/release $(if $(PREFIX),--prefix "$(PREFIX)",)

# Packs the Release build into build/release/ozmir_<version>_<arch>.deb.
package: release
	cd build/release && cpack -G DEB

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build

.PHONY: web

# The program as a web page: build/web/index.html, index.js and index.wasm. The glyphs
# and pictures are made by the native build's make-glyphs first.
web: deps
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DOZMIR_E2E=OFF $(CI_FLAGS)
	cmake --build build/release -j $(JOBS) --target make-glyphs
	mkdir -p build/web-objects
	build/release/make-glyphs build/web-objects/Baked.cpp.new
	cmp -s build/web-objects/Baked.cpp.new build/web-objects/Baked.cpp || \
		mv build/web-objects/Baked.cpp.new build/web-objects/Baked.cpp
	rm -f build/web-objects/Baked.cpp.new
	NODE_PATH=/usr/share/nodejs emcmake cmake -S web -B build/web-objects \
		-DCMAKE_BUILD_TYPE=Release -DOZMIR_BAKED=$(CURDIR)/build/web-objects/Baked.cpp \
		-DOZMIR_WEB_OUT=$(CURDIR)/build/web -DOZMIR_VERSION=1.0.0 $(CI_FLAGS)
	NODE_PATH=/usr/share/nodejs cmake --build build/web-objects -j $(JOBS)
