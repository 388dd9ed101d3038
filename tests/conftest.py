import os
import pathlib
import subprocess
import sys

import pytest

ROOT = pathlib.Path(__file__).resolve().parent.parent
PROBES = ROOT / "build" / "probes"
sys.path.insert(0, str(PROBES))


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
