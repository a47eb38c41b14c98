#!/usr/bin/env python3
"""check_snapshots.py OBJDUMP OBJECT: proves msvc_host's register check sound.

In the object code, each checked call sits between two snapshots of EBX,
ESI, EDI, EBP and ESP. A change the check reports is the callee's only if
the compiler itself wrote none of the first four between the snapshots
(pushes are fine: they write memory). This reads the disassembly and fails
when it did, or when snapshots do not come in pairs."""
import re
import subprocess
import sys

KEPT = ("%ebx", "%esi", "%edi", "%ebp")
SNAPSHOT = ["%ebx", "%esi", "%edi", "%ebp", "%esp"]


def instructions(objdump, obj):
    """(function, mnemonic, operands) for each instruction, in order."""
    text = subprocess.run([objdump, "-d", "--no-show-raw-insn", obj], check=True, capture_output=True,
                          text=True).stdout
    function = None
    for line in text.splitlines():
        header = re.match(r"^[0-9a-f]+ <(.*)>:$", line)
        if header:
            function = header.group(1)
            continue
        body = re.match(r"^\s+[0-9a-f]+:\s+(\S+)\s*(.*)$", line)
        if body and function:
            yield function, body.group(1), body.group(2).strip()


def main():
    objdump, obj = sys.argv[1], sys.argv[2]
    listing = list(instructions(objdump, obj))
    failures, pairs = [], 0
    i = 0
    inside = None  # function whose checked call is being read
    while i < len(listing):
        function, mnemonic, operands = listing[i]
        stores = [listing[i + k][2].split(",")[0].strip() if i + k < len(listing) and
                  listing[i + k][1] == "movl" and listing[i + k][0] == function else None for k in range(5)]
        if stores == SNAPSHOT:
            if inside is None:
                inside = function
            elif inside == function:
                inside = None
                pairs += 1
            else:
                failures.append(f"{inside}: a snapshot without its pair")
                inside = function
            i += 5
            continue
        if inside is not None:
            if function != inside:
                failures.append(f"{inside}: a snapshot without its pair")
                inside = None
                continue
            destination = operands.split(",")[-1].strip() if operands else ""
            writes = mnemonic.startswith("pop") and operands in KEPT or (
                not mnemonic.startswith(("push", "call", "cmp", "test", "j")) and destination in KEPT)
            if writes:
                failures.append(f"{function}: '{mnemonic} {operands}' between the snapshots")
        i += 1
    if inside is not None:
        failures.append(f"{inside}: a snapshot without its pair")
    if pairs == 0:
        failures.append("no checked call found")
    for failure in failures:
        print(failure)
    print(f"{pairs} checked calls, {len(failures)} problems")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
