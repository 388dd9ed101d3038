"""Run every benchmark in bench/ and print their figures as one table, after the machine's."""

import importlib
import os
import pathlib
import platform
import sys

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from harness import gather  # noqa: E402


def cpu_model() -> str:
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return platform.processor() or "unknown CPU"


def main() -> None:
    print(f"Machine: {len(os.sched_getaffinity(0))} cores (nproc), {cpu_model()}, Python {platform.python_version()}\n")
    gather({file.stem.removeprefix("bench_"): importlib.import_module(file.stem).main
            for file in sorted(HERE.glob("bench_*.py"))})


if __name__ == "__main__":
    main()
