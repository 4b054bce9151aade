#!/usr/bin/env python3
"""Writes a board firmware image in Intel HEX for the tests: SIZE bytes of
made-up code from address 0 and the firmware version, 4 bytes little-endian
at 0x6FFC (the last four bytes of the application area), in 16-byte data
records and an end record. Switches break it on purpose: --bad-checksum
(the first record's check byte is off by one), --boot-address (one more
record at 0x7000, in the boot section), --no-end (no end record)."""

import argparse
import sys

APPLICATION_SIZE = 0x7000
VERSION_AT = APPLICATION_SIZE - 4
RECORD_BYTES = 16


def record(address, kind, data=b""):
    body = bytes([len(data), address >> 8, address & 0xFF, kind]) + data
    return body, (-sum(body)) & 0xFF


def code(size):
    """Bytes that look nothing like erased flash, different at every address."""
    return bytes((a * 7 + (a >> 8) * 13 + 0x21) & 0xFF for a in range(size))


def image_records(size, version, boot_address):
    memory = {a: b for a, b in enumerate(code(size))}
    for i, b in enumerate(version.to_bytes(4, "little")):
        memory[VERSION_AT + i] = b
    if boot_address:
        for i in range(RECORD_BYTES):
            memory[APPLICATION_SIZE + i] = 0x5A
    records = []
    addresses = sorted(memory)
    start = 0
    while start < len(addresses):
        # 16 bytes in a row at most, never across a gap
        end = start + 1
        while end < len(addresses) and end - start < RECORD_BYTES and addresses[end] == addresses[end - 1] + 1:
            end += 1
        at = addresses[start]
        records.append(record(at, 0, bytes(memory[a] for a in addresses[start:end])))
        start = end
    return records


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--version", type=lambda t: int(t, 0), required=True)
    parser.add_argument("--size", type=lambda t: int(t, 0), required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--bad-checksum", action="store_true")
    parser.add_argument("--boot-address", action="store_true")
    parser.add_argument("--no-end", action="store_true")
    args = parser.parse_args()
    if not 0 <= args.size <= APPLICATION_SIZE or not 0 <= args.version <= 0xFFFFFFFF:
        parser.error("the size is 0..0x7000 bytes and the version 32 bits")
    records = image_records(args.size, args.version, args.boot_address)
    if args.bad_checksum:
        body, check = records[0]
        records[0] = body, (check + 1) & 0xFF
    if not args.no_end:
        records.append(record(0, 1))
    with open(args.out, "w", newline="\r\n") as out:
        for body, check in records:
            out.write(":" + body.hex().upper() + f"{check:02X}\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
