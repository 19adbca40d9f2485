# Quorindo: the two commands a developer needs, plus their parts.
#   make run   installs what is missing, builds, makes the demo dictionaries, starts the program
#   make test  installs what is missing, builds, runs every test under Wine
#   make fuzz  builds, feeds every reader 100,000 mutated inputs
#   make bench installs what is missing, builds, prints the speed beside its anchors
#   make soak  the long session of the running program at its full counts (hours)
#              (its short session, SoakRoad, runs in make test)
BUILD_DIR ?= $(CURDIR)/build
DEPS_DIR  ?= $(BUILD_DIR)/deps
export BUILD_DIR DEPS_DIR

.PHONY: run test fuzz bench soak build setup clean

run:
	@bash scripts/run.sh

test:
	@bash scripts/test.sh

fuzz:
	@bash scripts/fuzz.sh

bench:
	@bash scripts/bench.sh

soak:
	@QUORINDO_SOAK=full bash scripts/test.sh -L soak

build:
	@bash scripts/build.sh

setup:
	@bash scripts/setup.sh

clean:
	rm -rf $(BUILD_DIR)
