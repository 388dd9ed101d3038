# make demo   build the package and run the tour
# make test   build the package and the test probes, then run the tests
# make bench  build the package and the test probes, then print every benchmark in one table
# make stubs-check  regenerate the type stubs, fail if they differ from the committed ones, run mypy --strict

# Python 3.13: python3.13 on PATH if it runs, else pyenv's build.
PYTHON313 := $(shell for p in python3.13 $$(pyenv root 2>/dev/null)/versions/3.13.*/bin/python3.13; do \
                 "$$p" -c 'import sys; assert sys.version_info[:2] == (3, 13)' 2>/dev/null && { echo "$$p"; break; }; \
             done)
VENV := .venv
PY := $(VENV)/bin/python
REQUIREMENTS := "scikit-build-core>=0.10" "pybind11>=3.1" "pytz>=2024.1" "pytest>=8" "hypothesis>=6.100"
# For the stubs, the type check and the wheel; installed on first use.
DEV_REQUIREMENTS := "pybind11-stubgen>=2.5" "mypy>=1.10" "build>=1.2" "auditwheel>=6"

.PHONY: demo test build probes bench
.PHONY: stubs stubs-check

demo: build
	$(PY) examples/tour.py

test: build probes
	$(PY) -m pytest -q

# The test probes are built beside the package, never into it.
probes: $(VENV)/.ready
	cmake -S . -B build/probes -DVANTREL_PROBES=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DPython_EXECUTABLE=$(abspath $(PY)) -Dpybind11_DIR=$$($(PY) -m pybind11 --cmakedir) >/dev/null
	MAKEFLAGS= cmake --build build/probes -j2 --target _probe _probe_nodebug _foreign fake_version static_thrower vanishing_file fake_clock

bench: build probes
	$(PY) bench/run.py

# The committed stubs are the generator's output with the fixes listed in .ci/stubs.py.
stubs: build $(VENV)/.dev
	$(PY) .ci/stubs.py write

stubs-check: build $(VENV)/.dev
	$(PY) .ci/stubs.py check
	$(PY) -m mypy --strict examples tests/typing
	$(PY) -m mypy --strict -p vantrel

build: $(VENV)/.ready
	$(PY) -m pip install -q --no-deps --no-build-isolation .

$(VENV)/.ready:
	@test -n "$(PYTHON313)" || { echo "Python 3.13 not found (python3.13 or pyenv)"; exit 1; }
	$(PYTHON313) -m venv $(VENV)
	$(PY) -m pip install -q $(REQUIREMENTS)
	touch $@

$(VENV)/.dev: $(VENV)/.ready
	$(PY) -m pip install -q $(DEV_REQUIREMENTS)
	touch $@
