"""Run every benchmark in bench/ and print its table."""

import importlib
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

for file in sorted(HERE.glob("bench_*.py")):
    importlib.import_module(file.stem).main()
