"""UnconsumingIO: prefix reads that ignore the buffer's size, full reads against
io.StringIO.getvalue(), and buffer growth that stays linear."""

import io
import statistics

from harness import compare, per_call, record, report
from vantrel.text import UnconsumingIO

MB = 1 << 20


class Chunks:
    """A stream that yields `chunk` `count` times, then nothing."""

    def __init__(self, chunk: str, count: int):
        self.chunk = chunk
        self.left = count

    def read(self) -> str:
        if self.left == 0:
            return ""
        self.left -= 1
        return self.chunk


def drained(text: str) -> UnconsumingIO:
    stream = UnconsumingIO(text)
    stream.read(0)
    return stream


def throughput(label: str, text: str, rounds: int = 7) -> None:
    """read() of a buffer holding `text`, against getvalue() of an io.StringIO holding it: MB/s."""
    ours, baseline = drained(text), io.StringIO(text)
    assert ours.read() == baseline.getvalue() == text
    mine, theirs = [], []
    for _ in range(rounds):
        mine.append(per_call(ours.read, 3))
        theirs.append(per_call(baseline.getvalue, 3))
    megabytes = len(text.encode()) / MB
    ratio = statistics.median(a / b for a, b in zip(mine, theirs))
    record(label, f"{megabytes / statistics.median(mine):,.0f} MB/s",
           f"{megabytes / statistics.median(theirs):,.0f} MB/s", f"{ratio:.2f}", "≤ 2")


def drain(chunk: str, count: int) -> None:
    """Take `count` chunks into the buffer, one per read, without returning any of it."""
    stream = UnconsumingIO(Chunks(chunk, count))
    for _ in range(count):
        stream.read(0)


def grow_bytearray(chunk: str, count: int) -> None:
    buffer = bytearray()
    for _ in range(count):
        buffer += chunk.encode()


def main() -> None:
    big, small = drained("x" * (100 * MB)), drained("x" * 16)
    compare("read(16): 100 MB buffer vs 16-byte buffer", lambda: big.read(16), lambda: small.read(16), "≈ 1",
            number=20_000)
    del big, small
    throughput("read() of 100 MB, ASCII", "x" * (100 * MB))
    throughput("read() of 100 MB, 2-byte UTF-8", "é" * (50 * MB))
    # Linear growth: a thousand chunks cost ten times what a hundred do.  Each run takes fresh
    # memory from the system, so the page faults of a new buffer are in both sides alike.
    chunk = "x" * MB
    compare("drain 1,000 × 1 MB vs 10 × (100 × 1 MB)", lambda: drain(chunk, 1000),
            lambda: [drain(chunk, 100) for _ in range(10)], "≈ 1", number=1, rounds=3)
    compare("drain 1,000 × 1 MB vs bytearray += chunk.encode()", lambda: drain(chunk, 1000),
            lambda: grow_bytearray(chunk, 1000), "for scale", number=1, rounds=3)
    report("UnconsumingIO")


if __name__ == "__main__":
    main()
