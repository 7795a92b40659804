#!/usr/bin/env python3
"""Writes the seed corpora: the cases the unit tests use, in each target's input format."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def u16(v):
    return struct.pack("<H", v & 0xFFFF)


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def utf16(text):  # a length byte, then the units
    return bytes([len(text)]) + b"".join(u16(ord(c)) for c in text)


# Settings: records of (name index, type, length, bytes).
NAMES = ["ActiveProfile", "CurveSource", "LinkFans", "StartMinimized", "ResetOnExit",
         "ManualRPM0", "ManualRPM1", "CurvePoints", "Unrelated"]


def record(name, kind, data):
    return bytes([NAMES.index(name), kind, len(data)]) + data


curve = b"".join(struct.pack("<dd", t, l) for t, l in [(45, 0), (60, 30), (72, 60), (85, 100)])
saved = (record("ActiveProfile", 4, u32(1)) + record("CurveSource", 4, u32(2)) +
         record("LinkFans", 4, u32(0)) + record("StartMinimized", 4, u32(1)) +
         record("ResetOnExit", 4, u32(1)) + record("ManualRPM0", 4, u32(2500)) +
         record("ManualRPM1", 4, u32(3100)) + record("CurvePoints", 3, curve))
write("settings", "as_saved", saved)
write("settings", "nan_in_curve", record("CurvePoints", 3, curve[:8] + struct.pack("<d", float("nan")) + curve[16:]))
write("settings", "short_curve", record("CurvePoints", 3, curve[:63]))
write("settings", "odd_sizes", record("ManualRPM0", 3, b"\x10\x27\x00\x00\x00\x00\x00\x00") +
      record("CurveSource", 1, b"\x07") + record("LinkFans", 4, b""))
write("settings", "out_of_range", record("ManualRPM0", 4, u32(499)) + record("ManualRPM1", 4, u32(8001)) +
      record("CurveSource", 4, u32(3)))

# Regulation: backend kind, fans, then steps (operation byte and its arguments).
def fans(*ranges):
    out = bytes([len(ranges)])
    for lo, span in ranges:
        out += u16(lo) + u16(span)
    return out


tick = b"\x00" + b"\x03" + struct.pack("<h", 60 * 16)[0:0] + b"\x04" + struct.pack("<h", 900) + b"\x04" + struct.pack("<h", 700)
write("regulation", "curve_ticks", b"\x00" + fans((800, 3700), (800, 3400)) + b"\x01\x01" + tick * 4)
write("regulation", "profiles", b"\x00" + fans((1200, 4200), (1100, 4000)) + b"\x01\x02\x01\x03\x01\x04\x01\x05\x01\x00")
write("regulation", "nan_reading", b"\x00" + fans((900, 3900)) + b"\x01\x01" + b"\x00\x00\x00\x00\x00" + tick)
write("regulation", "pointer_extremes", b"\x00" + fans((800, 3700), (800, 3400)) +
      b"\x04\x01" + b"\x05\x01\x00\x01\x04" + b"\x06\x01\x00\x01\x04" + b"\x07\x01")
write("regulation", "smc", b"\x01\x01" + b"\x01" * 8 + b"\x00" + b"\x01\x01" + b"\x00" * 40)

# Sensors: the thermal-settings structure, then rows, then NVAPI's answers and the maker.
settings = bytearray(68)
settings[0:4] = u32(0x10044)
settings[4:8] = u32(1)
settings[20:24] = u32(65)
def zone(kind_flag, kind, bits, named, name):
    return bytes([1, kind_flag]) + kind + u32(bits) + bytes([named]) + utf16(name)
rows = bytes([3]) + zone(0, b"\x01", 3232, 0, "") + zone(0, b"\x00", 3332, 1, "CPU Zone") + \
       zone(1, u16(8), 3000, 1, "text")
nvapi = b"\x01" + b"\x01" + b"\x01" + b"\x01" + u32(1) + u32(65) + b"\x01" + u32(1450) + b"\x02"
write("sensors", "zones_and_gpu", bytes(settings) + rows + b"\x01" + nvapi)
write("sensors", "no_sensors", bytes(68) + b"\x00" + b"\x00")

# Firmware: for each of the five values a presence flag, the text, an odd-size flag, the type.
def value(text, odd=0, sz=1):
    return b"\x01" + utf16(text) + bytes([odd, sz])
write("firmware", "dell", value("Dell Inc.") + value("XPS 15 9560") + value("Dell Inc.") +
      value("05FFDN") + value("1.2.3") + bytes([48]) + b"Intel(R) Core(TM) i7-7700HQ CPU @ 2.80GHz      " + b"\x80")
write("firmware", "apple_padded", value("  Apple Inc.\t") + value("MacBookPro15,1 ") + b"\x00" * 3 +
      bytes([10]) + b"   Apple  \x00" + b"\x01")
write("firmware", "odd_and_binary", value("ASUSTeK", 1) + b"\x01" + utf16("x" * 200) + b"\x00\x03")

# Driver: a selector byte (odd: a resource list follows, even: requests), then for requests the
# machine, the key table, the SMC's step time, when it goes quiet, and requests of (kind, input
# size, output size, input bytes), the first input byte choosing a known key below 200.
def resource_list(*partials):
    out = u32(1) + u32(15) + u32(0) + u16(1) + u16(1) + u32(len(partials))
    for kind, start, length in partials:
        out += bytes([kind, 1]) + u16(0) + struct.pack("<Q", start) + u32(length) + u32(0)
    return out
write("driver", "t2_resources", b"\x01" + resource_list((1, 0x300, 0x20), (3, 0xFE0B0000, 0x10000)))
write("driver", "older_resources", b"\x01" + resource_list((1, 0x300, 0x20)))
KEY = {"F0Ac": 0, "F0Md": 1, "F0Tg": 2, "FS! ": 5, "TC0P": 6, "BCLM": 11}
def read(key, size):
    return bytes([0, 5, size, KEY[key]]) + b"xxx" + bytes([size])
def write_key(key, data):
    return bytes([1, 5 + len(data), 0, KEY[key]]) + b"xxx" + bytes([len(data)]) + data
tick = read("F0Ac", 4) + read("TC0P", 4) + read("TC0P", 2) + bytes([2, 0, 1])
write("driver", "ports_tick", b"\x00\x00\x00\x01\x00" + tick + write_key("F0Md", b"\x01") +
      write_key("F0Tg", b"\x00\x40\x1c\x45"))
write("driver", "t2_tick", b"\x00\x01\x00\x01\x00" + tick + write_key("FS! ", b"\x00") +
      write_key("BCLM", b"\x32"))
write("driver", "older_quiet", b"\x00\x00\x01\x05\x40" + tick + write_key("FS! ", b"\x00\x03") + tick)
