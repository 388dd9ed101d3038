import os
import pathlib
import subprocess
import sys

import pytest

ROOT = pathlib.Path(__file__).resolve().parent.parent
# The sanitizer run builds its own, instrumented probes elsewhere.
PROBES = pathlib.Path(os.environ.get("VANTREL_PROBES") or ROOT / "build" / "probes")
sys.path.insert(0, str(PROBES))
# Set by the sanitizer run, for the few checks that cannot hold under it.
SANITIZED = bool(os.environ.get("VANTREL_SANITIZED"))


def preload(library):
    """LD_PRELOAD with `library` after whatever is preloaded already (the sanitizer's
    runtime must stay first)."""
    return ":".join(filter(None, [os.environ.get("LD_PRELOAD"), str(library)]))


def run_python(code, *args, cwd=None, check=True, env=None):
    """Run `code` in a fresh interpreter of this venv and return the finished process;
    `env` adds to (or overrides) this process's environment."""
    result = subprocess.run([sys.executable, "-c", code, *args], cwd=cwd, capture_output=True, text=True,
                            env={**os.environ, **env} if env else None)
    if check and result.returncode != 0:
        raise AssertionError(f"subprocess failed ({result.returncode}):\n{result.stderr}")
    return result


@pytest.fixture
def python():
    return run_python
