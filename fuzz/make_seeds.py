#!/usr/bin/env python3
"""Writes the seed corpora of the answer, address and receive targets (the configuration
files of fuzz/corpus/config_file were saved by vfda-host). Run from the repository root."""
import os
import struct

ROOT = os.path.join(os.path.dirname(__file__), "corpus")


def write(target, name, data):
    with open(os.path.join(ROOT, target, name), "wb") as f:
        f.write(data)


def answer(letter, station, parameter, value=b""):
    return letter + b"\x03\x06" + b"%02d%02d" % (station, parameter) + value


def answer_seed(selector, word, value, station, outcome, reply):
    reply = reply.ljust(11, b"\0")
    return struct.pack("<BHHHB", selector, word, value, station + 1000, outcome) + reply


# answer_check: letter R Q P C (selector 0..3), parameter word, value, station, how many
# bytes the answer falls short of 11 (0 the whole answer), then the answer.
write("answer_check", "read_p5", answer_seed(0, 5, 0, 1, 0, answer(b"R", 1, 5, b"0123")))
write("answer_check", "query_group0", answer_seed(1, 0, 0, 1, 0, answer(b"Q", 1, 0, b"0456")))
write("answer_check", "query_status", answer_seed(1, 3, 0, 1, 0,
                                                  answer(b"Q", 1, 3, b"\x85\x9a\x30\x01")))
write("answer_check", "write_p3", answer_seed(2, 3, 600, 12, 0, answer(b"P", 12, 3, b"0600")))
write("answer_check", "command", answer_seed(3, 1, 300, 1, 0, answer(b"C", 1, 1, b"0300")))
write("answer_check", "refused", answer_seed(0, 5, 0, 1, 0, b"R\x03\x15" + b"01050000"))
write("answer_check", "bad_digits", answer_seed(0, 7, 0, 1, 0, answer(b"R", 1, 7, b"01X3")))
write("answer_check", "timeout", answer_seed(1, 1, 0, 1, 3, b""))
write("answer_check", "big_station", answer_seed(0, 80, 0, 150, 0, answer(b"R", 150, 80, b"9")))

# tag_address: kind (<128 digital, <192 analog, else a type word), sub-attribute, then
# device, address and a further station name, each ended by a zero byte.
def tag_seed(kind, device, address, station=b""):
    return struct.pack("<BH", kind, 0) + device + b"\0" + address + b"\0" + station


write("tag_address", "analog_p12", tag_seed(150, b"LINE.PUMP1", b"p12", b"X"))
write("tag_address", "digital_d3_4", tag_seed(0, b"PUMP1", b"D3.4"))
write("tag_address", "digital_bare_dot", tag_seed(0, b"PUMP1", b"D3."))
write("tag_address", "dotted_station", tag_seed(150, b"A.B.PUMP1", b"C2"))
write("tag_address", "long_address", tag_seed(150, b"PUMP1", b"P" + b"0" * 48 + b"77"))
write("tag_address", "percent_names", tag_seed(150, b"X.%s%n%d", b"D%s", b"%s%n%d"))
write("tag_address", "own_station", tag_seed(0, b"K.\xb1\xde\xbc\xf6", b"d6.15", b"\xb1\xde\xbc\xf6"))

# receive_stream: the answers to the queue the target builds: status groups 0-3 of
# stations 1 and 2, parameters 0-80 of station 1, a write of P5 and a run command.
def stream(noise=b""):
    out = b""
    for station in (1, 2):
        for group in range(3):
            out += noise + answer(b"Q", station, group, b"%04d" % (100 * group + station))
        out += noise + answer(b"Q", station, 3, b"\x85\x9a\x30\x01")
    for parameter in range(81):
        out += noise + answer(b"R", 1, parameter, b"%04d" % (parameter * 7))
    out += answer(b"P", 1, 5, b"0600") + answer(b"C", 1, 1, b"0300")
    return out


write("receive_stream", "all_good", stream())
write("receive_stream", "noise_before", stream(b"\xff\x00\x55\xaa\x7e\x13\x81\x30"))
write("receive_stream", "silences", b"\xfe\x00" * 6 + answer(b"Q", 1, 1, b"0001") +
      b"\xfe\x01\xfe\x02" + answer(b"Q", 1, 2)[:6] + b"\xfe\x00" + stream())

# backup_reader: backups as vfda-host saves them (one parameter per line), as Python's
# json.dump saves them again (escapes, a tab in the name, spaces), one with parameters the
# drive did not return, and one whose value is not its raw word.
SCALED = set(range(3, 15)) | set(range(16, 24)) | {29, 30, 31, 33, 34, 36, 37, 47, 48, 49,
                                                   55, 62, 65, 67, 68, 69, 70}


def backup(station, raws, dump=False):
    import json
    entries = []
    for p, raw in enumerate(raws):
        value = None if raw is None else (raw / 10 if p in SCALED else raw)
        entries.append({"parameter": p, "raw": raw, "value": value})
    head = {"format": "vfda-parameters/1", "station": station, "number": 1, "model": 0,
            "baud": 4800, "read_at": "2026-12-08T15:00:00Z", "parameters": entries}
    if dump:
        return json.dumps(head).encode()
    text = json.dumps({k: v for k, v in head.items() if k != "parameters"},
                      separators=(",", ":"), ensure_ascii=False)[:-1]
    lines = [json.dumps(e, separators=(",", ":")) for e in entries]
    return (text + ',"parameters":[\n' + ",\n".join(lines) + "\n]}\n").encode()


RAWS = [0, 0, 0, 600, 600, 2200, 15, 100, 15, 100, 75, 250] + [10] * 69
os.makedirs(os.path.join(ROOT, "backup_reader"), exist_ok=True)
write("backup_reader", "saved", backup("PUMP1", RAWS))
write("backup_reader", "json_dump", backup("\ud38c\ud5041\t\U0001F600", RAWS, dump=True))
write("backup_reader", "missing", backup("PUMP2", RAWS[:40] + [None] * 41))
write("backup_reader", "not_its_raw",
      backup("PUMP3", RAWS).replace(b'"raw":75,"value":7.5', b'"raw":51,"value":5.06'))
