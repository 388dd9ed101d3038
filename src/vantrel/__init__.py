"""vantrel: normalised paths, stopwatches and unconsuming streams.

Every error raised by the native code arrives as ``Exception`` carrying the C++ stack
captured at the throw.
"""

__version__ = "0.1.0"
