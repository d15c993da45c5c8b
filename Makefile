# The two commands a newcomer needs: `make demo` and `make test`.
# `make deps` only installs what the build needs (Debian packages, and the
# SQLite and pugixml sources in .deps/).

PRESETS := linux linux-asan win64 win32
JOBS ?= $(shell nproc)

.PHONY: all deps build configure test test-linux test-linux-asan test-win64 test-win32 demo demo-windows clean fuzz $(addprefix build-,$(PRESETS))

all: build

deps:
	@scripts/deps.sh

configure: deps
	@for p in $(PRESETS); do \
	  [ -f build/$$p/build.ninja ] || cmake --preset $$p >/dev/null || exit 1; \
	done

$(addprefix build-,$(PRESETS)): build-%: configure
	cmake --build build/$* -j $(JOBS)

build: $(addprefix build-,$(PRESETS))

test-linux: build-linux
	ctest --test-dir build/linux --output-on-failure -j $(JOBS)

# Every native test again under AddressSanitizer and UndefinedBehaviorSanitizer;
# any finding fails its test.
test-linux-asan: build-linux-asan
	ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build/linux-asan --output-on-failure -j $(JOBS)

# The Windows tests run under 64-bit Wine on a virtual X display.
test-win64: build-win64
	xvfb-run -a -s "-screen 0 1280x1024x24" scripts/wine-ctest build/win64

# The deliverable is inspected (norvalt.dll a PE32 i386 DLL with exactly its
# three exports and only system DLLs imported, norvaltENU.dll resources only),
# then run: the unit tests in one program and the way through the stand-in
# host, under 32-bit Wine through user-mode emulation (skipped, and said so,
# where no emulator could be registered).
test-win32: build-win32
	scripts/check-plugin build/win32 pei-i386
	xvfb-run -a -s "-screen 0 1280x1024x24" scripts/wine-ctest build/win32

test: deps build
	@$(MAKE) --no-print-directory test-linux test-linux-asan test-win64 test-win32

# libFuzzer targets (clang, ASan, UBSan) in a build of their own; each runs
# FUZZ_SECONDS on its corpus in fuzz-corpus/, seeded with files that
# saveToFile writes. Findings are written as fuzz-corpus/<target>-crash-*.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz-load-from-memory fuzz-load-from-file
fuzz: deps
	@[ -f build/fuzz/build.ninja ] || cmake -S fuzz -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	cmake --build build/fuzz -j $(JOBS)
	build/fuzz/make-fuzz-seeds fuzz-corpus/seeds
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p fuzz-corpus/$$t && \
	  build/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -dict=fuzz/corvane.dict -print_final_stats=1 \
	    -artifact_prefix=fuzz-corpus/$$t- fuzz-corpus/$$t fuzz-corpus/seeds || exit 1; \
	done

# The sample laboratory in build/demo and the determination for an analysed
# chromatogram of each column (assays 9 and 15), water 0.08 %; then the
# report of the first, through the default template installed as the host's
# template folder would hold it.
DEMO := build/demo
demo: configure
	cmake --build build/linux -j $(JOBS) --target norvalt
	@rm -rf $(DEMO) && mkdir -p $(DEMO)
	@build/linux/bin/norvalt sample-lab $(DEMO) >/dev/null
	@for id in 9 15; do \
	  echo; echo "=== norvalt calc --db $(DEMO)/lab.db --all --select $$id --water 0.08"; \
	  build/linux/bin/norvalt calc --db $(DEMO)/lab.db --all --select $$id --water 0.08 \
	    --profile $(DEMO)/profile || exit 1; \
	done
	@mkdir -p $(DEMO)/templates/norvalt && cp templates/norvalt/Report.xsl $(DEMO)/templates/norvalt/
	@echo; echo "=== norvalt report --db $(DEMO)/lab.db --all --select 9 --templates $(DEMO)/templates -o $(DEMO)/report.html"
	@build/linux/bin/norvalt report --db $(DEMO)/lab.db --all --select 9 --profile $(DEMO)/profile \
	  --templates $(DEMO)/templates -o $(DEMO)/report.html >/dev/null
	@echo "report: $(abspath $(DEMO)/report.html)"
	@$(MAKE) --no-print-directory demo-windows

# The plug-in itself in the stand-in host under Wine, on the same sample
# laboratory: column 1's calibrations and analyses added, the last analysis
# selected, water 0.08 % entered in the settings dialog, a picture of the
# dialog and of each page of the main window saved beside the report.
DEMO_WIN := $(abspath $(DEMO))/windows
DEMO_SHOTS := main-components main-graduation main-calculation main-messages settings
demo-windows: configure
	cmake --build build/win64 -j $(JOBS) --target hostsim norvalt_dll norvalt_enu
	@rm -rf $(DEMO_WIN) && mkdir -p $(DEMO_WIN)
	@xvfb-run -a -s "-screen 0 1280x1024x24" scripts/wine-run build/win64/bin/hostsim.exe \
	  --sample-lab "Z:$(DEMO_WIN)/lab" --templates "Z:$(abspath $(DEMO))/templates" --profile "Z:$(DEMO_WIN)/profile" \
	  --log "Z:$(DEMO_WIN)/host.log" --assays 1,2,3,4,5,6,7,8,9 \
	  --actions "menu,command:1003,select:1002:8,command:1012,wait:500,text:1021:0.08,shot:Z:$(DEMO_WIN)/settings.bmp,command:1,wait:500,shot:Z:$(DEMO_WIN)/main-components.bmp,tab:1007:1,wait:500,shot:Z:$(DEMO_WIN)/main-graduation.bmp,tab:1007:2,wait:300,shot:Z:$(DEMO_WIN)/main-calculation.bmp,tab:1007:3,wait:300,shot:Z:$(DEMO_WIN)/main-messages.bmp,close,quit" \
	  >/dev/null 2>&1 || { echo "demo-windows: hostsim failed, see $(DEMO_WIN)/host.log"; exit 1; }
	@for s in $(DEMO_SHOTS); do convert $(DEMO_WIN)/$$s.bmp $(DEMO_WIN)/$$s.png && rm $(DEMO_WIN)/$$s.bmp && echo "window: $(DEMO_WIN)/$$s.png"; done

clean:
	rm -rf build
