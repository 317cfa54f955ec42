# The two entry points of the README: `make test` and `make run`.
# Both install what they need first (tools/bootstrap.sh), so a fresh Debian 12 machine needs nothing else.
.PHONY: test bootstrap native windows test-native test-windows clean

JOBS ?= 2

test: bootstrap native windows test-native test-windows

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

clean:
	rm -rf build
