# The project's commands. See README.md.
.PHONY: run test build bench fuzz deps format clean

run: deps
	@scripts/run.sh

test: deps
	@scripts/test.sh

build: deps
	@scripts/build.sh win

bench: deps
	@scripts/deps.sh bench
	@scripts/bench.sh

fuzz:
	@scripts/deps.sh fuzz
	@scripts/fuzz.sh

deps:
	@scripts/deps.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build compile_commands.json
