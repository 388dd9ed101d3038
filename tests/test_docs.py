"""Every ```python block of the README runs, each in a fresh interpreter in an empty folder:
a block of doctest examples must print what it shows, any other block must run cleanly."""

import re

import pytest

from conftest import ROOT

README = ROOT / "README.md"
BLOCK = re.compile(r"^```python\n(.*?)^```$", re.DOTALL | re.MULTILINE)

DOCTEST = """
import doctest, sys
text, name, line = sys.argv[1], sys.argv[2], int(sys.argv[3])
test = doctest.DocTestParser().get_doctest(text, {}, name, name, line)
runner = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS)
runner.run(test)
sys.exit(runner.failures)
"""


def blocks():
    text = README.read_text()
    starts = [(match, text.count("\n", 0, match.start(1))) for match in BLOCK.finditer(text)]
    return [pytest.param(match.group(1), line, id=f"README.md:{line + 1}") for match, line in starts]


@pytest.mark.parametrize(("block", "line"), blocks())
def test_readme_block(python, tmp_path, block, line):
    env = {"TMPDIR": str(tmp_path)}  # what the examples make in the temporary folder goes with it
    if ">>> " in block:
        result = python(DOCTEST, block, README.name, str(line), cwd=tmp_path, check=False, env=env)
    else:
        result = python(block, cwd=tmp_path, check=False, env=env)
    assert result.returncode == 0, result.stdout + result.stderr
