#!/usr/bin/env python3
"""Who may include what in Veltrane's sources (every .cpp and .h outside build/).

- The program is built in layers, each including only those below it:
      platform < {memory, sound, settings, autostart} < {monitor, tray} < ui < app
  A folder includes its own headers, the platform's portable headers
  (platform/*.h), the folders of lower layers and the standard library;
  never a folder of its own layer or of a higher one, and never a backend.
  app/ holds only the program's main (app/main.cpp), which may include ui/
  and a backend; nothing includes app/.
- platform/ includes neither the areas nor ui/: it reports, it never calls in.
- platform/win32/... and platform/fake/... are included only from inside that
  same backend, by app/main.cpp, and by the mains of tests/ and bench/.
- Windows SDK headers only under platform/win32/, tests/win32/, tests/e2e/ and
  bench/.

Each violation is printed as file:line: what; the exit status is 1 if any.
--self-test checks the checker on a scratch tree.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile

LAYERS = {"memory": 1, "sound": 1, "settings": 1, "autostart": 1, "monitor": 2, "tray": 2, "ui": 3, "app": 4}
BACKENDS = ("platform/win32/", "platform/fake/")
MAIN = "app/main.cpp"
WINDOWS_ALLOWED = ("platform/win32/", "tests/win32/", "tests/e2e/", "bench/")
TEST_MAINS = ("tests/", "bench/")

# The SDK headers the code base has any use for; matched without regard to case.
WINDOWS_HEADERS = {
    "windows.h", "windowsx.h", "winbase.h", "windef.h", "winuser.h", "wingdi.h", "winreg.h", "winnt.h",
    "winerror.h", "winnls.h", "winver.h", "winsock2.h", "commctrl.h", "commdlg.h", "uxtheme.h", "vssym32.h",
    "shellapi.h", "shlobj.h", "shlwapi.h", "shobjidl.h", "mmsystem.h", "mmreg.h", "psapi.h", "tlhelp32.h",
    "objbase.h", "ole2.h", "oleauto.h", "combaseapi.h", "dwmapi.h", "richedit.h", "processthreadsapi.h",
    "synchapi.h", "sysinfoapi.h", "memoryapi.h", "libloaderapi.h", "wtsapi32.h", "dbghelp.h", "imagehlp.h",
    "versionhelpers.h", "sdkddkver.h", "wincrypt.h", "winioctl.h", "setupapi.h", "powrprof.h", "knownfolders.h",
    "propkey.h", "propvarutil.h", "strsafe.h", "tchar.h", "malloc.h", "io.h", "process.h", "direct.h",
}

STANDARD_HEADERS = {
    "algorithm", "any", "array", "atomic", "barrier", "bit", "bitset", "cassert", "cctype", "cerrno", "cfenv",
    "cfloat", "charconv", "chrono", "cinttypes", "climits", "clocale", "cmath", "codecvt", "compare", "complex",
    "concepts", "condition_variable", "coroutine", "csetjmp", "csignal", "cstdarg", "cstddef", "cstdint",
    "cstdio", "cstdlib", "cstring", "ctime", "cuchar", "cwchar", "cwctype", "deque", "exception", "execution",
    "filesystem", "format", "forward_list", "fstream", "functional", "future", "initializer_list", "iomanip",
    "ios", "iosfwd", "iostream", "istream", "iterator", "latch", "limits", "list", "locale", "map", "memory",
    "memory_resource", "mutex", "new", "numbers", "numeric", "optional", "ostream", "queue", "random", "ranges",
    "ratio", "regex", "scoped_allocator", "semaphore", "set", "shared_mutex", "source_location", "span",
    "sstream", "stack", "stdexcept", "stop_token", "streambuf", "string", "string_view", "syncstream",
    "system_error", "thread", "tuple", "type_traits", "typeindex", "typeinfo", "unordered_map",
    "unordered_set", "utility", "valarray", "variant", "vector", "version",
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
SKIPPED_DIRS = {".git"}


def folder_of(path):
    """The layered folder a file lies in (an area, ui or app), or None."""
    top = path.split("/", 1)[0]
    return top if top in LAYERS and "/" in path else None


def resolve(root, including, name):
    """A quoted name is looked up beside the including file first, as the compiler does."""
    beside = os.path.normpath(os.path.join(os.path.dirname(including), name)).replace(os.sep, "/")
    if os.path.isfile(os.path.join(root, beside)):
        return beside
    return os.path.normpath(name).replace(os.sep, "/")


def check_file(root, path):
    """Returns the violations, each 'file:line: what'."""
    violations = []
    folder = folder_of(path)
    is_main = path == MAIN
    is_test_main = path.startswith(TEST_MAINS)
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
        lines = source.readlines()
    for number, line in enumerate(lines, 1):
        match = INCLUDE.match(line)
        if not match:
            continue
        bracket, name = match.groups()
        where = f"{path}:{number}: "
        base = name.rsplit("/", 1)[-1].lower()
        if bracket == "<" and ("/" not in name and base in WINDOWS_HEADERS):
            if not path.startswith(WINDOWS_ALLOWED):
                violations.append(where + f"<{name}> is a Windows header, kept to platform/win32/, "
                                  "tests/win32/, tests/e2e/ and bench/")
            continue
        target = resolve(root, path, name) if bracket == '"' else name
        if bracket == '"':
            backend = next((b for b in BACKENDS if target.startswith(b)), None)
            if backend and not (path.startswith(backend) or is_main or is_test_main):
                violations.append(where + f'"{name}" belongs to the backend {backend} and is included only '
                                  "from inside it, by app/main.cpp and by test and benchmark mains")
                continue
            if folder_of(target) == "app":
                violations.append(where + f'"{name}": nothing includes app/, the program\'s main')
                continue
            if path.startswith("platform/") and folder_of(target):
                violations.append(where + f'"{name}": the platform includes nothing of the program')
                continue
        if folder and not is_main:
            if bracket == "<":
                if name not in STANDARD_HEADERS:
                    violations.append(where + f"<{name}>: {folder}/ includes only the standard library")
                continue
            other = folder_of(target)
            if target.startswith("platform/") and target.count("/") == 1 or other == folder:
                continue
            if other is None:
                violations.append(where + f'"{name}": {folder}/ includes only platform/*.h, its own headers, '
                                  "lower layers and the standard library")
            elif LAYERS[other] >= LAYERS[folder]:
                violations.append(where + f'"{name}": {folder}/ includes only layers below its own '
                                  "(platform < memory, sound, settings, autostart < monitor, tray < ui < app)")
    return violations


def sources(root):
    for directory, subdirs, files in os.walk(root):
        subdirs[:] = sorted(d for d in subdirs if d not in SKIPPED_DIRS and not d.startswith("build"))
        for name in sorted(files):
            if name.endswith((".cpp", ".h")):
                yield os.path.relpath(os.path.join(directory, name), root).replace(os.sep, "/")


def check(root):
    violations = []
    for path in sources(root):
        violations += check_file(root, path)
    return violations


SCRATCH = {
    # Allowed: each of these is someone the rules let through.
    "app/main.cpp": '#include "platform/win32/win32_platform.h"\n#include "ui/form1.h"\n',
    "settings/settings.cpp": '#include "settings/settings.h"\n#include "platform/platform.h"\n#include <string>\n',
    "settings/settings.h": "#pragma once\n",
    "memory/system.cpp": '#include "system.h"\n#include "platform/convert.h"\n#include "memory/status.h"\n',
    "memory/status.h": "#pragma once\n",
    "memory/system.h": "#pragma once\n#include <cstdint>\n",
    "monitor/warning.h": '#pragma once\n#include "memory/system.h"\n#include "sound/sound.h"\n',
    "sound/sound.h": "#pragma once\n",
    "tray/tray_icon.h": '#pragma once\n#include "memory/system.h"\n#include "settings/settings.h"\n',
    "ui/form1.h": '#pragma once\n#include "memory/system.h"\n#include "tray/tray_icon.h"\n#include "monitor/warning.h"\n',
    "ui/control_ids.h": "#pragma once\n",
    "platform/win32/win32_form.cpp": '#include <windows.h>\n#include "platform/win32/handle.h"\n',
    "platform/fake/fake_platform.cpp": '#include "platform/fake/fake_tray.h"\n',
    "tests/unit/fake_test.cpp": '#include "platform/fake/fake_platform.h"\n#include "ui/control_ids.h"\n',
    "tests/e2e/driver.cpp": "#include <CommCtrl.h>\n",
    "bench/probe.cpp": '#include <windows.h>\n#include "platform/win32/win32_platform.h"\n',
    "build/x64/generated.cpp": '#include <windows.h>\n#include "ui/form1.h"\n',
    # One violation of each kind, at a known line.
    "tray/tray_function.cpp": '#include <string>\n#include "ui/form1.h"\n',
    "monitor/check_period.cpp": '#include "monitor/warning.h"\n#include "tray/tray_icon.h"\n',
    "memory/display.cpp": '#include "monitor/warning.h"\n',
    "sound/mod_snd.h": "#pragma once\n#include <windows.h>\n",
    "monitor/refusal.cpp": '#include "platform/fake/fake_platform.h"\n',
    "autostart/autostart.cpp": "#include <gtest/gtest.h>\n",
    "platform/fake/fake_services.cpp": '#include "platform/win32/handle.h"\n',
    "platform/platform.h": '#pragma once\n#include "tray/tray_function.h"\n',
    "ui/theme_tab.cpp": "#  include <shellapi.h>\n",
    "tests/unit/main_test.cpp": '#include "app/main.cpp"\n',
}
EXPECTED = [
    "autostart/autostart.cpp:1: <gtest/gtest.h>: autostart/ includes only the standard library",
    'memory/display.cpp:1: "monitor/warning.h": memory/ includes only layers below its own',
    'monitor/check_period.cpp:2: "tray/tray_icon.h": monitor/ includes only layers below its own',
    'monitor/refusal.cpp:1: "platform/fake/fake_platform.h" belongs to the backend',
    'platform/fake/fake_services.cpp:1: "platform/win32/handle.h" belongs to the backend',
    'platform/platform.h:2: "tray/tray_function.h": the platform includes nothing of the program',
    "sound/mod_snd.h:2: <windows.h> is a Windows header",
    'tests/unit/main_test.cpp:1: "app/main.cpp": nothing includes app/',
    'tray/tray_function.cpp:2: "ui/form1.h": tray/ includes only layers below its own',
    "ui/theme_tab.cpp:1: <shellapi.h> is a Windows header",
]


def self_test():
    failures = []
    with tempfile.TemporaryDirectory() as root:
        for path, text in SCRATCH.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as out:
                out.write(text)
        run = subprocess.run([sys.executable, os.path.abspath(__file__), "--root", root],
                             capture_output=True, text=True, check=False)
        got = sorted(run.stdout.splitlines())
        want = sorted(EXPECTED)
        if run.returncode != 1:
            failures.append(f"exit status {run.returncode}, not 1")
        if len(got) != len(want) or not all(g.startswith(w) for g, w in zip(got, want)):
            failures.append("reported\n  " + "\n  ".join(got) + "\nwhere it should have reported\n  "
                            + "\n  ".join(want))
        # The rules alone, clean: nothing to report and status 0.
        for path in [p for p in SCRATCH if any(e.startswith(p + ":") for e in EXPECTED)]:
            os.remove(os.path.join(root, path))
        run = subprocess.run([sys.executable, os.path.abspath(__file__), "--root", root],
                             capture_output=True, text=True, check=False)
        if run.returncode != 0 or run.stdout:
            failures.append(f"clean tree: exit status {run.returncode}, reported {run.stdout!r}")
    for failure in failures:
        print("self-test: " + failure, file=sys.stderr)
    print("self-test: " + ("failed" if failures else "passed"))
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    parser.add_argument("--self-test", action="store_true", help="check the checker on a scratch tree")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    violations = check(os.path.abspath(args.root))
    for text in violations:
        print(text)
    return 1 if violations else 0


if __name__ == "__main__":
    sys.exit(main())
