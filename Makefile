# The two entry points of the README: `make test` and `make run`.
# Both install what they need first (tools/bootstrap.sh), so a fresh Debian 12 machine needs nothing else.
.PHONY: test run run-cli screenshots bootstrap native windows test-native test-windows test-fuzz fuzz clean

JOBS ?= 2
LOG ?= samples/sample.log
KEYWORDS ?= samples/keyword_default.xml

test: bootstrap native windows test-native test-windows test-fuzz

# The viewer under Wine on the sample log (`make run LOG=path` for another, LANGUAGE=ja for
# Japanese). With a display the window stays open; without one it runs under Xvfb, writes a
# screenshot and prints its path.
LANGUAGE ?= en
run: bootstrap
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target quillon -j $(JOBS)
	bash tools/run-viewer.sh $(LOG) $(LANGUAGE)

# quillon-cli on the log: its summary and its error lines.
# "errors" exits with 1 when the log has no error lines; that is not a failure here.
run-cli: bootstrap
	cmake --preset release >/dev/null
	cmake --build --preset release --target quillon-cli -j $(JOBS)
	build/release/src/cli/quillon-cli --keywords $(KEYWORDS) info $(LOG)
	build/release/src/cli/quillon-cli --keywords $(KEYWORDS) errors $(LOG) || [ $$? -eq 1 ]

# The README's screenshots (docs/screenshots/view-en.png, view-ja.png, and both at 192 DPI)
# from the current build.
screenshots: bootstrap windows
	bash tools/make-screenshots.sh

bootstrap:
	bash tools/bootstrap.sh

native:
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

windows:
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)

test-native:
	ctest --preset native -j $(JOBS)

test-windows:
	bash tools/test-windows.sh

# Every fuzz target for 30 s on a copy of its seed corpus; `make fuzz` is the long run.
test-fuzz:
	bash tools/run-fuzzers.sh 30

fuzz:
	bash tools/run-fuzzers.sh 600

clean:
	rm -rf build

# The Windows release: build/release/quillon-1.0.0.0-win64.zip (tools/make-release.sh).
.PHONY: release
release: bootstrap
	bash tools/make-release.sh
