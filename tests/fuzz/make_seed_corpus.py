#!/usr/bin/env python3
"""Writes the fuzzer's seed corpus: a few host sessions in the input format
that EffectFuzzer.cpp describes. Run from anywhere; rewrites corpus/."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus")

NAN = float("nan")
INF = float("inf")


def dispatch(opcode, index=0, value=0, opt=0.0, null=False):
    return (bytes([0, opcode + 5]) + struct.pack("<iqf", index, value, opt) +
            bytes([1 if null else 0]))


def set_parameter(index, position):
    return bytes([1, index + 3]) + struct.pack("<f", position)


def get_parameter(index):
    return bytes([2, index + 3])


def music(amount=0.0):
    return bytes([3]) + struct.pack("<f", amount)


def sine(amplitude):
    return bytes([1]) + struct.pack("<f", amplitude)


def awkward(pick):
    return bytes([2]) + struct.pack("<f", 0.0) + bytes([pick])


def raw(samples):
    return bytes([0]) + struct.pack("<f", 0.0) + struct.pack("<%df" % len(samples), *samples)


def process(frames, left, right, replace=True, in_place=False):
    return (bytes([3 if replace else 4]) + struct.pack("<H", frames + 1) + left + right +
            bytes([1 if in_place else 0]))


def lv2_control(port, value, unconnected=False):
    return bytes([0xF0, port - 4]) + struct.pack("<f", value) + bytes([1 if unconnected else 0])


def lv2_run(frames, left, right, in_place=False):
    return bytes([0xF1]) + struct.pack("<H", frames) + left + right + bytes([1 if in_place else 0])


def lv2_rate(rate):
    return struct.pack("<d", rate)


EFF_SET_SAMPLE_RATE = 10
EFF_SET_BLOCK_SIZE_AND_RATE = 43

seeds = {
    "music-blocks": b"".join(
        process(n, music(), music(), replace=n % 3 != 0, in_place=n % 2 == 0)
        for n in (512, 1, 64, 4096, 0, -1, 333, 128)),
    "every-parameter": b"".join(
        set_parameter(i, p) + get_parameter(i)
        for i in range(20) for p in (0.0, 0.37, 1.0)) + process(1024, music(), sine(0.7)),
    "dispatcher-sweep": b"".join(
        dispatch(op, 0, 0, 44100.0, null) for op in range(-5, 81) for null in (False, True)),
    "bad-samples": b"".join(
        process(256, awkward(pick), music()) + process(256, music(), music())
        for pick in (4, 5, 6, 7, 8, 9, 11, 15)),
    "sample-rates": b"".join(
        dispatch(EFF_SET_SAMPLE_RATE, opt=rate) + set_parameter(9, 0.9) +
        process(512, music(), music())
        for rate in (0.0, -1.0, NAN, 1e-30, INF, 1.0, 192000.0, 44100.0)) +
    dispatch(EFF_SET_BLOCK_SIZE_AND_RATE, value=64, opt=8000.0) + set_parameter(12, 0.2) +
    process(64, music(), music()),
    "raw-samples": process(16, raw([0.5, -0.5, NAN, 1e-42, 3e38, -INF, 0.25, 1.0]),
                           raw([1e12, -1e12, 0.0, 0.1]), replace=False),
    "bank-sweep": b"".join(
        set_parameter(8, k / 11.0) + set_parameter(1, 1.0) + process(256, sine(2.0), music())
        for k in range(12)),
    "lv2-session": bytes([0xF2]) + lv2_rate(48000.0) + b"".join(
        lv2_control(port, value) + lv2_run(frames, music(), sine(1.5), in_place=frames % 2 == 1)
        for port, value, frames in ((5, 60.0, 512), (12, 3.0, 1), (5, NAN, 0), (11, INF, 4097),
                                    (7, -1e30, 333), (10, 0.4, 64), (9, 1e38, 128))) +
    lv2_control(6, 0.0, unconnected=True) + bytes([0xF2]) + lv2_run(8192, awkward(4), music()),
    "lv2-bad-rate": bytes([0xF2]) + lv2_rate(-1.0) + lv2_run(64, music(), music()),
}

os.makedirs(OUT, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
