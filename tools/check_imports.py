#!/usr/bin/env python3
"""What Veltrane.exe asks the loader for: only KnownDLLs in its import table,
and the address-space randomisation and no-execute flags set.

A library that is no KnownDLL is looked for in the program's own folder
before the system's: a copy of the program started from a Downloads folder
would load a planted winmm.dll or comctl32.dll lying beside it. Such
libraries are loaded at run time from the system folder instead.

    check_imports.py OBJDUMP EXE [EXE ...]    each EXE as OBJDUMP -p reads it
    check_imports.py --self-test

Each fault is printed as EXE: what; the exit status is 1 if any.
"""

import subprocess
import sys

# The libraries Windows 7 to 11 load from the system folder whatever lies
# beside a program (HKLM\\...\\Session Manager\\KnownDLLs), as far as a
# program of this kind could import them.
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll", "difxapi.dll", "gdi32.dll",
    "gdiplus.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll",
    "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll", "setupapi.dll",
    "shcore.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll",
    "ntdll.dll",  # mapped into every process before anything else
}


def faults(dump):
    """The faults of one image, from the text objdump -p prints of it."""
    found = []
    lines = dump.splitlines()
    imports = [line.split("DLL Name:", 1)[1].strip() for line in lines if "DLL Name:" in line]
    if not imports:
        found.append("no import table read")
    for name in imports:
        if name.lower() not in KNOWN_DLLS:
            found.append(f"imports {name}, which is no KnownDLL: load it from the system folder at run time")
    flags = set()
    in_flags = False
    for line in lines:
        if line.startswith("DllCharacteristics"):
            in_flags = True
            continue
        if in_flags:
            word = line.strip()
            if word and word.isupper() and "\t" in line[:2]:
                flags.add(word)
                continue
            in_flags = False
    pe32_plus = any(line.split() == ["Magic", "020b", "(PE32+)"] for line in lines)
    wanted = ["DYNAMIC_BASE", "NX_COMPAT"] + (["HIGH_ENTROPY_VA"] if pe32_plus else [])
    for flag in wanted:
        if flag not in flags:
            found.append(f"{flag} is not set")
    return found


SAMPLE_GOOD = """
Magic\t\t\t020b\t(PE32+)
DllCharacteristics\t00000160
\t\t\t\t\tHIGH_ENTROPY_VA
\t\t\t\t\tDYNAMIC_BASE
\t\t\t\t\tNX_COMPAT
SizeOfStackReserve\t0000000000200000
\tDLL Name: ADVAPI32.dll
\tDLL Name: KERNEL32.dll
\tDLL Name: msvcrt.dll
"""
SAMPLE_BAD = """
Magic\t\t\t020b\t(PE32+)
DllCharacteristics\t00000140
\t\t\t\t\tDYNAMIC_BASE
SizeOfStackReserve\t0000000000200000
\tDLL Name: KERNEL32.dll
\tDLL Name: WINMM.dll
\tDLL Name: COMCTL32.dll
"""


def self_test():
    got = faults(SAMPLE_BAD)
    want = ["imports WINMM.dll", "imports COMCTL32.dll", "NX_COMPAT is not set", "HIGH_ENTROPY_VA is not set"]
    ok = faults(SAMPLE_GOOD) == [] and len(got) == len(want) and all(g.startswith(w) for g, w in zip(got, want))
    pe32 = SAMPLE_GOOD.replace("020b\t(PE32+)", "010b\t(PE32)").replace("\t\t\t\t\tHIGH_ENTROPY_VA\n", "")
    ok = ok and faults(pe32) == []
    print("self-test: " + ("passed" if ok else f"failed: {got}"))
    return 0 if ok else 1


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    objdump, images = sys.argv[1], sys.argv[2:]
    status = 0
    for image in images:
        dump = subprocess.run([objdump, "-p", image], capture_output=True, text=True, check=True).stdout
        for fault in faults(dump):
            print(f"{image}: {fault}")
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
