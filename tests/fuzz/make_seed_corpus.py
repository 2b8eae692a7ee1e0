#!/usr/bin/env python3
"""Writes the fuzzers' seed corpora: a few host sessions in the input format
that EffectFuzzer.cpp describes (corpus/), CLAP sessions as ClapFuzzer.cpp
describes them (clap-corpus/), and program and audio files as
HostFilesFuzzer.cpp reads them (file-corpus/). Run from anywhere."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus")
FILE_OUT = os.path.join(HERE, "file-corpus")
CLAP_OUT = os.path.join(HERE, "clap-corpus")

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


def vst3_point(offset, value):
    if 0.0 <= value <= 1.0 and round(value * 127) == value * 127:
        return struct.pack("<h", offset) + bytes([round(value * 127)])
    return struct.pack("<h", offset) + bytes([0x80]) + struct.pack("<d", value)


def vst3_process(frames, left, right, queues=(), no_buffers=False, offline=False):
    body = b"".join(bytes([pid, len(points)]) + b"".join(vst3_point(o, v) for o, v in points)
                    for pid, points in queues)
    return (bytes([0xE0]) + struct.pack("<H", frames) + left + right +
            bytes([(1 if no_buffers else 0) | (2 if offline else 0), len(queues)]) + body)


def vst3_state(kind, data=b"", at=0, value=0):
    if kind == 1:
        return bytes([0xE1]) + struct.pack("<H", 0) + bytes([1, at, value])
    return bytes([0xE1]) + struct.pack("<H", len(data)) + bytes([kind]) + data


def vst3_control(pid, value, text=""):
    return (bytes([0xE2, pid]) + struct.pack("<d", value) + bytes([len(text)]) +
            text.encode("utf-16-le"))


def vst3_setup(rate, block=4096, size=0, arrangement=3):
    return bytes([0xE3]) + struct.pack("<diBQ", rate, block, size, arrangement)


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
    "vst3-session": b"".join((
        vst3_process(512, music(), music(), ((1, ((0, 1.0), (100, 0.5))), (8, ((37, 0.5),)),
                                             (20, ((200, 1.0), (-3, 0.0))))),
        vst3_process(8192, sine(0.9), music(), ((20, ((300, 0.0),)), (0, ((5000, NAN),))),
                     offline=True),
        vst3_process(0, music(), music(), ((3, ((0, INF),)),), no_buffers=True),
        vst3_state(1, at=12, value=0x7F), vst3_state(0, b"TCv3" + bytes(88)),
        vst3_state(2, struct.pack(">i", 4) + b"FxBk"),
        vst3_control(4, 0.25, "-3 dB"), vst3_control(6, 0.0, "B"), vst3_control(22, NAN, "x"),
        vst3_setup(96000.0), vst3_process(64, awkward(4), music()),
        vst3_setup(-1.0, 0, 1, 1), vst3_process(256, music(), music()),
    )),
}



# Host files: a leading 0 selects the program reader, 1 the audio reader.
def program(count=20, declared=None, form=b"FxCk", version=1, value=0.5):
    body = (form + struct.pack(">iiii", version, 0x54636D70, 1, count) +
            b"Seed".ljust(28, b"\0") + struct.pack(">%df" % count, *([value] * count)))
    size = len(body) if declared is None else declared
    return bytes([0]) + b"CcnK" + struct.pack(">i", size) + body


def wav(channels=2, rate=48000, frames=64, bits=32, declared=None):
    float_format = bits == 32
    width = bits // 8
    if float_format:
        data = b"".join(struct.pack("<f", 0.5 * math.sin(0.1 * i)) for i in range(frames * channels))
    else:
        data = b"".join(struct.pack("<h", int(16000 * math.sin(0.1 * i)))
                        for i in range(frames * channels))
    fmt = struct.pack("<HHIIHH", 3 if float_format else 1, channels, rate,
                      rate * channels * width, channels * width, bits)
    length = len(data) if declared is None else declared
    chunks = b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", length) + data
    return bytes([1]) + b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks


def au(channels=1, rate=8000, frames=32):
    data = b"".join(struct.pack(">h", (i * 977) % 20000 - 10000) for i in range(frames * channels))
    return bytes([1]) + b".snd" + struct.pack(">IIIII", 24, len(data), 3, rate, channels) + data


def vstpreset(state=b"TESTSTATE", class_id=b"0123456789ABCDEF0123456789ABCDEF"):
    header = b"VST3" + struct.pack("<i", 1) + class_id + struct.pack("<q", 48 + len(state))
    chunks = b"List" + struct.pack("<i", 1) + b"Comp" + struct.pack("<qq", 48, len(state))
    return bytes([2]) + header + state + chunks


file_seeds = {
    "program": program(),
    "program-truncated": program()[:40],
    "program-size-mismatch": program(declared=9999),
    "program-bank": program(form=b"FxBk"),
    "program-out-of-range": program(value=2.0),
    "wav-float-stereo": wav(),
    "wav-pcm16-mono": wav(channels=1, rate=44100, frames=100, bits=16),
    "wav-three-channels": wav(channels=3, frames=8),
    "wav-rate-zero": wav(rate=0, frames=8),
    "wav-rate-huge": wav(rate=50000000, frames=8),
    "wav-truncated": wav(frames=64)[:200],
    "wav-data-oversized": wav(frames=16, declared=0x7FFFFFF0),
    "wav-empty": wav(frames=0),
    "au-pcm16": au(),
    "vstpreset": vstpreset(),
}



def clap_event(pid, value, time=0, kind=5, size=0, space=0):
    head = bytes([kind | (0x80 if space else 0), size]) + struct.pack("<H", time)
    ident = bytes([pid]) if pid < 26 else bytes([26]) + struct.pack("<I", pid)
    return head + ident + bytes([0x80]) + struct.pack("<d", value)


def clap_events(*events):
    return bytes([len(events)]) + b"".join(events)


def clap_process(frames, events=(), amplitude=0.5, no_buffers=False, separate=False):
    fill = bytes([1]) + struct.pack("<f", amplitude)
    flags = (1 if no_buffers else 0) | (2 if separate else 0)
    return bytes([0]) + struct.pack("<H", frames) + fill + fill + bytes([flags]) + clap_events(*events)


clap_seeds = {
    "clap-blocks": clap_process(512, [clap_event(1, 24.0, 100), clap_event(20, 1.0, 300)]) +
                   clap_process(512) + clap_process(511, [clap_event(20, 0.0, 0)]),
    "clap-bad-events": clap_process(256, [clap_event(25, 1.0), clap_event(1, NAN),
                                          clap_event(1, INF, 5000), clap_event(1, 3.0, kind=6),
                                          clap_event(2, -3.0, size=2), clap_event(21, -9.0),
                                          clap_event(0xFFFFFFFF, 1.0, space=1)]),
    "clap-flush-state": bytes([1]) + clap_events(clap_event(8, 11.0)) +
                        bytes([2, 1, 20, 0x7F, 3]) + bytes([2, 2, 30, 1]) + bytes([4]) +
                        bytes([3, 2]) + struct.pack("<d", 700.0) + bytes([6, 5]) + b"12 dB",
    "clap-rates": bytes([5]) + struct.pack("<d", 96000.0) + clap_process(64, no_buffers=True) +
                  bytes([5]) + struct.pack("<d", 0.0) + clap_process(300, separate=True),
}

for folder, contents in ((OUT, seeds), (CLAP_OUT, clap_seeds), (FILE_OUT, file_seeds)):
    os.makedirs(folder, exist_ok=True)
    for name, data in contents.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
