"""Short key-click and notice sounds as PCM .wav files.

Each sound is 8-bit mono PCM at 11,025 samples per second: a RIFF header
with its "fmt " and "data" chunks, then the samples.  The tones are
triangle waves with a linear fade-out, computed in integers only.
"""

import struct

SAMPLE_RATE = 11025
BITS = 8
SILENCE = 128  # 8-bit PCM is unsigned, centred on 128

# name: ((frequency in Hz, duration in ms), ...) played one after the other
SOUNDS = {
    "zvkey.wav": ((1200, 25),),
    "zvspace.wav": ((700, 30),),
    "zvback.wav": ((900, 20), (600, 20)),
    "zventer.wav": ((880, 40), (1320, 60)),
    "zvpage.wav": ((500, 35), (750, 35)),
    "zverr.wav": ((220, 120), (180, 160)),
    "zvstart.wav": ((523, 90), (659, 90), (784, 140)),
    "zvexit.wav": ((784, 90), (659, 90), (523, 140)),
    "zvtick.wav": ((2000, 10),),
    "zvbell.wav": ((1047, 250),),
}


def tone(frequency, milliseconds, volume=90):
    """Samples of a triangle wave that fades out linearly."""
    count = SAMPLE_RATE * milliseconds // 1000
    period = SAMPLE_RATE  # the phase runs over SAMPLE_RATE steps per cycle
    samples = bytearray()
    phase = 0
    for index in range(count):
        # Triangle from -volume to +volume over one period.
        position = phase * 4 * volume // period
        if position < volume:
            value = position
        elif position < 3 * volume:
            value = 2 * volume - position
        else:
            value = position - 4 * volume
        fade = count - index
        samples.append(SILENCE + value * fade // count)
        phase = (phase + frequency) % period
    return bytes(samples)


def wav_file(samples):
    """A RIFF/WAVE file holding the 8-bit mono samples."""
    block_align = BITS // 8
    fmt = struct.pack("<HHIIHH", 1, 1, SAMPLE_RATE, SAMPLE_RATE * block_align, block_align, BITS)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"data" + struct.pack("<I", len(samples)) + samples
    if len(samples) % 2:
        body += b"\0"  # chunks are padded to an even length
    return b"RIFF" + struct.pack("<I", len(body)) + body


def sound_files():
    """[(name, bytes)] of every sound."""
    files = []
    for name, notes in SOUNDS.items():
        samples = b"".join(tone(frequency, duration) for frequency, duration in notes)
        files.append((name, wav_file(samples)))
    return files
