#!/usr/bin/env python3
"""Writes the hand-made seeds of fuzz/corpus/: call sequences spelled as the targets decode them.

The targets read every choice from the end of the input, one byte per choice of fewer than 256
values (the byte is the value), four bytes for a full int; so a seed is its choices reversed."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def seed(target, name, choices):
    data = bytearray()
    for choice in choices:
        data[:0] = struct.pack("<i", choice[1]) if isinstance(choice, tuple) else bytes([choice])
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "seed-" + name), "wb") as out:
        out.write(bytes(data))


# grouped_model: builder allowed, then steps of (a, b, operation[, builder operation]).
seed("grouped_model", "stray-rows-of-discarded-items", [
    1,
    4, 0, 5,      # a flat model of four rows
    0, 2, 0,      # create_group(0, 2)
    0, 0, 2,      # update_hierarchy
    0, 1, 3,      # expand row 0: the cursor stays on it
    0, 3, 9, 0,   # AddItem(100, leaf, GropLastItem): under the header, the cursor goes up
    1, 0, 9, 0,   # AddItem(101, leaf, GropItem): a top row between the header and its children
    0, 2, 3,      # collapse row 0
    1, 0, 9, 4,   # UpdateRowHierarchy(0): discards the header's children
    2, 1, 3,      # expand row 2
    0, 0, 6,      # copy and assign
    0, 5, 9, 0,   # AddItem(100, group, GropOpenExpanded)
])
seed("grouped_model", "groups-by-the-rules", [
    0,
    12, 0, 5, 2, 5, 0, 3, 1, 0, 9, 9, 0, 0, 0, 2,
    2, 1, 3, 5, 1, 4, 3, 2, 3, 0, 0, 6, 4, 7, 7, 6, 2, 8,
])
# signals: signal part, then (operation, operands...).
seed("signals", "assignment-over-a-forwarding-signal", [
    0,
    1, 1, 0,        # signal 1 forwards to signal 0
    0, 1, 2, 0,     # signal 1 calls listener 2
    3, 1, 0,        # signal 0 = signal 1
    7, 0, (0, 5),   # emit signal 0
])
seed("signals", "handler-destroys-while-emitting", [
    0,
    0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 2, 0,  # listeners 0, 1, 2 on signal 0
    5, 0, 0, 1,                          # listener 0 destroys listener 1 when called
    7, 0, (0, 3),
    5, 2, 1, 0,                          # listener 2 destroys signal 0 when called
    7, 0, (0, 4),
])
seed("signals", "pointers", [1, 0, 0, 1, 1, 0, 1, 5, 0, 1, 3, 0, 0, 7, 0, 0, 6, 2, 1, 7, 2, 2])
