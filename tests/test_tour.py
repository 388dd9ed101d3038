"""The tour runs and ends with a translated native error; the README shows that same error."""

import re
import subprocess
import sys

from conftest import ROOT
from helpers import HEADER, native_trace

TOUR = ROOT / "examples" / "tour.py"


def test_tour_ends_with_a_native_trace_that_the_readme_shows():
    out = subprocess.run([sys.executable, str(TOUR)], capture_output=True, text=True, check=True).stdout
    error = out[out.rindex("Exception: " + HEADER) + len("Exception: "):]
    assert any("src/pc/normal_path.cpp" in frame for frame in native_trace(error)), error
    readme = (ROOT / "README.md").read_text()
    shown = re.search(r"^```text\n(Exception: \n--- C\+\+ Native Stack Trace ---.*?\n)\n", readme, re.M | re.S)
    assert shown and shown.group(1) in out
