"""A fixed pseudo-random sequence, so that generated tables and data look
varied yet come out the same on every run and every machine."""


class Sequence:
    """A 32-bit linear congruential sequence (the Numerical Recipes constants)."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self, limit):
        """The next value, from 0 to limit - 1."""
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return (self.state >> 8) % limit

    def bytes(self, count):
        return bytes(self.next(256) for _ in range(count))
