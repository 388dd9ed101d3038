# make demo   build the package and run the tour
# make test   build the package and the test probes, then run the tests
# make bench  build the package and the test probes, then print every benchmark in one table
# make asan   the same tests against a build instrumented with ASan and UBSan
# make slow   the slow checks: leaks over many runs
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

.PHONY: demo test build probes bench asan slow
.PHONY: stubs stubs-check

demo: build
	$(PY) examples/tour.py

test: build probes
	$(PY) -m pytest -q

# The test probes are built beside the package, never into it.
# $(call build_probes,<build dir>,<extra cmake options>)
build_probes = cmake -S . -B $(1) -DVANTREL_PROBES=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo $(2) \
	    -DPython_EXECUTABLE=$(abspath $(PY)) -Dpybind11_DIR=$$($(PY) -m pybind11 --cmakedir) >/dev/null && \
	MAKEFLAGS= cmake --build $(1) -j2 --target _probe _probe_nodebug _foreign fake_version static_thrower vanishing_file fake_clock

probes: $(VENV)/.ready
	$(call build_probes,build/probes)

# The sanitizer run: package and probes instrumented, in build/asan only (the package goes to
# build/asan/site, ahead of the venv's own on PYTHONPATH), the ASan runtime preloaded into the
# uninstrumented interpreter, and libstdc++ with it: ASan finds the real __cxa_throw only in
# what was loaded when it started.  Leak detection would report the interpreter's own
# allocations; PYTHONMALLOC=malloc lets ASan see the Python objects our code touches.
ASAN := build/asan
SANITIZED_ENV := LD_PRELOAD=$$(gcc -print-file-name=libasan.so):$$(gcc -print-file-name=libstdc++.so.6) PYTHONMALLOC=malloc \
	ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	PYTHONPATH=$(abspath $(ASAN))/site VANTREL_PROBES=$(abspath $(ASAN))/probes VANTREL_SANITIZED=1

asan: $(VENV)/.ready
	$(PY) -m pip install -q --no-deps --no-build-isolation --upgrade --target $(ASAN)/site \
	    -Ccmake.define.VANTREL_SANITIZE=ON -Cbuild-dir=$(ASAN)/{wheel_tag} .
	$(call build_probes,$(ASAN)/probes,-DVANTREL_SANITIZE=ON)
	$(SANITIZED_ENV) $(PY) -c 'import sys, vantrel.pc._pc as m; sys.exit("build/asan" not in m.__file__)'
	$(SANITIZED_ENV) $(PY) -m pytest -q -p no:cacheprovider

slow: build probes
	$(PY) -m pytest -q -m slow

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
