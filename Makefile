# Front door. `make run`, `make check` and `make test` install what is missing first
# (scripts/install-deps), each only what it needs.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
PREFIX ?= /usr/local

.PHONY: all run check test deps build build-asan bench fuzz web windows install uninstall deb clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B build $(CMAKE_FLAGS) >/dev/null
	cmake --build build -j $(JOBS)

build-asan: deps
	CC=clang CXX=clang++ cmake -S . -B build-asan $(CMAKE_FLAGS) -DKELP_SANITIZE=ON -DKELP_TESTS=ON >/dev/null
	cmake --build build-asan -j $(JOBS)

# Only what building and running the demo needs: no test framework, browser or packaging tools.
run:
	@scripts/install-deps run
	cmake -S . -B build $(CMAKE_FLAGS) >/dev/null
	cmake --build build -j $(JOBS) --target kelp2207 kelp2207fs
	./build/driver/kelp2207

# The quick loop: the unit tests of the normal build; no X server, sound card or browser.
check:
	@scripts/install-deps check
	cmake -S . -B build $(CMAKE_FLAGS) -DKELP_TESTS=ON -DKELP_UNIT_TESTS=ON >/dev/null
	cmake --build build -j $(JOBS)
	ctest --no-tests=error --test-dir build --output-on-failure -j $(JOBS) -L unit

# Everything: the unit, display, recorder and whole-program tests in the normal build and again
# with AddressSanitizer and UndefinedBehaviorSanitizer, then the further checks listed in
# scripts/run-tests.
test: deps
	scripts/run-tests

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKELP_BENCH=ON -DKELP_TESTS=OFF >/dev/null
	cmake --build build-bench -j $(JOBS)
	scripts/run-bench build-bench

fuzz: deps
	scripts/run-fuzz 300

# The show as a web page: builds build-web/site with Emscripten and serves it on this machine.
web: deps
	scripts/build-web kelp2207-site
	python3 web/serve.py

# The show for Windows: build-windows/kelp2207-VERSION-windows-x64.zip, cross-built with mingw-w64
# (SDL 1.2 for Windows is built from Debian's source package the first time).
windows:
	@scripts/install-deps windows
	scripts/build-windows
	@ls build-windows/kelp2207-*-windows-x64.zip

# The programs, desktop entry, icons, manual pages and the toolbox under $(PREFIX); DESTDIR is
# honoured. `make uninstall` removes what the last install put there.
install: build
	cmake --install build --prefix $(PREFIX)

uninstall:
	@test -f build/install_manifest.txt || { echo "uninstall: build/install_manifest.txt is missing: nothing was installed from this build" >&2; exit 1; }
	sed 's|^|$(DESTDIR)|' build/install_manifest.txt | xargs -d '\n' rm -f --
	sed 's|^|$(DESTDIR)|' build/install_manifest.txt | xargs -d '\n' -n1 dirname \
	  | grep -E '/(include/kelp2207|cmake/KELP2207)' | sort -ru | xargs -r -d '\n' rmdir --ignore-fail-on-non-empty --

# The Debian packages kelp2207 and libkelp2207-dev, in build/packages/.
deb: build
	cd build && cpack -G DEB

clean:
	rm -rf build build-asan build-bench build-fuzz build-tsan build-web build-windows
