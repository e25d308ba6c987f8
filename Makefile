# The project's commands. See README.md.
.PHONY: run test test-big check build dist bench fuzz deps format clean

# Each target installs what it needs with one deps.sh, so apt-get runs once at most.
run:
	@scripts/run.sh

test:
	@scripts/deps.sh browser
	@scripts/test.sh

test-big: deps
	@scripts/test-big.sh

check: deps
	@scripts/check.sh

build: deps
	@scripts/build.sh win --target editor

dist: deps
	@scripts/dist.sh

bench: deps
	@scripts/bench.sh

fuzz:
	@scripts/deps.sh fuzz
	@scripts/fuzz.sh

deps:
	@scripts/deps.sh

format:
	@scripts/deps.sh format
	@git ls-files '*.cpp' '*.h' | xargs clang-format-16 -i

clean:
	rm -rf build dist compile_commands.json
