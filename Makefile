# Quorindo: the two commands a developer needs, plus their parts.
#   make run   installs what is missing, builds, makes the demo dictionaries, starts the program
#   make test  installs what is missing, builds, runs every test under Wine
#   make soak  the long session of the running program at its full counts (hours)
#              (QUORINDO_SOAK=short bash scripts/test.sh -L soak: its short session)
BUILD_DIR ?= $(CURDIR)/build
DEPS_DIR  ?= $(BUILD_DIR)/deps
export BUILD_DIR DEPS_DIR

.PHONY: run test soak build setup clean

run:
	@bash scripts/run.sh

test:
	@bash scripts/test.sh

soak:
	@QUORINDO_SOAK=full bash scripts/test.sh -L soak

build:
	@bash scripts/build.sh

setup:
	@bash scripts/setup.sh

clean:
	rm -rf $(BUILD_DIR)
