# The two commands a newcomer needs: `make demo` and `make test`.
# `make deps` only installs what the build needs (Debian packages, and the
# SQLite and pugixml sources in .deps/).

PRESETS := linux win64 win32
JOBS ?= $(shell nproc)

.PHONY: all deps build configure test test-linux test-win64 demo clean $(addprefix build-,$(PRESETS))

all: build

deps:
	@scripts/deps.sh

configure: deps
	@for p in $(PRESETS); do \
	  [ -f build/$$p/build.ninja ] || cmake --preset $$p >/dev/null || exit 1; \
	done

build-%: configure
	cmake --build build/$* -j $(JOBS)

build: $(addprefix build-,$(PRESETS))

test-linux: build-linux
	ctest --test-dir build/linux --output-on-failure -j $(JOBS)

# The Windows tests run under 64-bit Wine on a virtual X display.
test-win64: build-win64
	xvfb-run -a -s "-screen 0 1280x1024x24" scripts/wine-ctest build/win64

test: deps build
	@$(MAKE) --no-print-directory test-linux test-win64

clean:
	rm -rf build
