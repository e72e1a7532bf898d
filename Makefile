# Two commands for a newcomer on a fresh Debian 12 machine:
#   make run   installs what is missing, builds, creates the demo shop beside
#              the program if there is none, and starts the program
#   make test  installs what is missing, builds, and runs every test (the
#              logic tests also on a throwaway PostgreSQL server)
BUILD ?= build
JOBS ?= 2

.PHONY: run test build deps demo package clean

deps:
	scripts/install-deps

# A new build folder uses Ninja, which keeps both cores busy across library
# boundaries; a folder made earlier keeps the generator it was made with.
GENERATOR = $(if $(wildcard $(BUILD)/CMakeCache.txt),,-G Ninja)

build: deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

demo: build
	@if [ ! -f $(BUILD)/bin/HMWcfg.dat ]; then $(BUILD)/bin/himawari-demo $(BUILD)/bin; fi

run: demo
	$(BUILD)/bin/himawari

# The logic tests run twice, on database files and on a throwaway
# PostgreSQL server started for the run (skipped, with a line, without one).
test: build
	scripts/with-test-server sh -c 'cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)'

# The Debian package (build/himawari_<version>_<arch>.deb).
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
