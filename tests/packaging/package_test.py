#!/usr/bin/env python3
"""Packs the build tree it is given with CPack, as scripts/package.sh does, and checks
what an operator's apt would see: the file name, the control fields, the file list with
owners and modes, no maintainer scripts, and the desktop files as their validators read
them.

  package_test.py BUILD_DIR VERSION [--ui] [--sanitized]

VERSION is the package version ("2.5.0~beta"). The tree's binaries are packed as they
are, so a sanitizer build also depends on the sanitizers' runtimes; nothing else differs
from the release package. Exits 77 (skipped) when a Debian packaging tool is missing.
"""
import argparse
import re
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

TOOLS = ["cpack", "dpkg-deb", "dpkg-shlibdeps", "file", "desktop-file-validate", "appstreamcli"]
APP_ID = "org.mivmodem.miv"
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
# The packages of the libraries the binaries link; shlibdeps must find each, and nothing
# for building (a -dev package) or for debugging.
CLI_LIBRARIES = ["libc6", "libstdc++6", "libgcc-s1", "libsndfile1", "libsamplerate0", "libcurl4"]
UI_LIBRARIES = ["libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6serialport6", "libpulse0"]
SANITIZER_RUNTIMES = {"libasan8", "libubsan1"}


def run(*command, **kwargs):
    result = subprocess.run(command, capture_output=True, text=True, timeout=600, **kwargs)
    if result.returncode != 0:
        sys.exit(f"{' '.join(command)} failed ({result.returncode}):\n{result.stdout}{result.stderr}")
    return result.stdout


def expected_files(with_ui):
    files = {
        "usr/bin/miv-cli": 0o755,
        "usr/share/man/man1/miv-cli.1.gz": 0o644,
        "usr/share/doc/miv/copyright": 0o644,
        "usr/share/doc/miv/changelog.gz": 0o644,
    }
    if with_ui:
        files.update({
            "usr/bin/miv": 0o755,
            "usr/share/man/man1/miv.1.gz": 0o644,
            f"usr/share/applications/{APP_ID}.desktop": 0o644,
            f"usr/share/metainfo/{APP_ID}.metainfo.xml": 0o644,
            f"usr/share/icons/hicolor/scalable/apps/{APP_ID}.svg": 0o644,
        })
        for size in ICON_SIZES:
            files[f"usr/share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png"] = 0o644
    return files


def control_fields(deb):
    fields, name = {}, None
    for line in run("dpkg-deb", "--field", str(deb)).splitlines():
        if line[:1] in (" ", "\t") and name:
            fields[name] += "\n" + line
        else:
            name, _, value = line.partition(":")
            fields[name] = value.strip()
    return fields


def depended_packages(depends):
    """Package names of a Depends field; alternatives ("a | b") count each."""
    return [re.match(r"\s*([a-z0-9][a-z0-9+.-]*)", alt).group(1)
            for clause in depends.split(",") for alt in clause.split("|")]


def check_control(fields, version, with_ui, sanitized):
    problems = []
    want = {"Package": "miv", "Version": version, "Architecture": run("dpkg", "--print-architecture").strip(),
            "Section": "hamradio", "Priority": "optional"}
    for name, value in want.items():
        if fields.get(name) != value:
            problems.append(f"control: {name} is {fields.get(name)!r}, not {value!r}")
    for name in ("Maintainer", "Homepage", "Installed-Size"):
        if not fields.get(name):
            problems.append(f"control: no {name}")
    summary, _, long_description = fields.get("Description", "").partition("\n")
    if not summary or len(summary) > 80 or not long_description.strip():
        problems.append("control: Description needs a summary line of at most 80 characters and a long text")
    problems += [f"control: Description line longer than 80 characters: {line.strip()}"
                 for line in long_description.splitlines() if len(line) > 80]

    packages = depended_packages(fields.get("Depends", ""))
    needed = CLI_LIBRARIES + (UI_LIBRARIES if with_ui else [])
    problems += [f"control: Depends lacks {p}" for p in needed if p not in packages]
    problems += [f"control: Depends names {p} twice" for p in set(packages) if packages.count(p) > 1]
    for p in packages:
        if p.endswith(("-dev", "-dbg")) or (p in SANITIZER_RUNTIMES and not sanitized):
            problems.append(f"control: Depends names {p}, which the program does not run on")
    return problems


def check_contents(deb, with_ui):
    problems = []
    listed = {}
    for line in run("dpkg-deb", "--contents", str(deb)).splitlines():
        mode, owner, _size, _date, _time, path = line.split(None, 5)
        listed[path.removeprefix("./").rstrip("/")] = (mode, owner)
    for path, (mode, owner) in listed.items():
        if owner != "root/root":
            problems.append(f"{path}: owned by {owner}")
        if mode.startswith("d") and mode != "drwxr-xr-x":
            problems.append(f"{path}: directory mode {mode}")
        if path and not path.startswith("usr"):
            problems.append(f"{path}: outside /usr")
    files = {p: m for p, (m, _) in listed.items() if m.startswith("-")}
    want = expected_files(with_ui)
    problems += [f"missing from the package: /{p}" for p in sorted(want.keys() - files.keys())]
    problems += [f"not expected in the package: /{p}" for p in sorted(files.keys() - want.keys())]
    for path in want.keys() & files.keys():
        wanted = stat.filemode(stat.S_IFREG | want[path])
        if files[path] != wanted:
            problems.append(f"/{path}: mode {files[path]}, not {wanted}")

    # No maintainer scripts and no conffiles: installing touches nothing but its own
    # files, and removing it cannot reach an operator's settings in their home.
    with tempfile.TemporaryDirectory() as control_dir:
        subprocess.run(["dpkg-deb", "--control", str(deb), control_dir], check=True, timeout=60)
        control_members = {p.name for p in Path(control_dir).iterdir()}
    problems += [f"control archive holds {m}" for m in sorted(control_members - {"control", "md5sums"})]
    return problems


def png_size(path):
    header = path.read_bytes()[:24]
    if header[:8] != b"\x89PNG\r\n\x1a\n" or header[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", header[16:24])


def check_installed_files(root, with_ui):
    problems = []
    for program in ["miv-cli"] + (["miv"] if with_ui else []):
        description = run("file", "--brief", str(root / "usr/bin" / program))
        if "ELF" not in description or "not stripped" in description:
            problems.append(f"/usr/bin/{program} is not a stripped program: {description.strip()}")
    if not with_ui:
        return problems
    desktop = root / f"usr/share/applications/{APP_ID}.desktop"
    validation = subprocess.run(["desktop-file-validate", str(desktop)], capture_output=True, text=True, timeout=60)
    if validation.returncode != 0 or validation.stdout.strip():
        problems.append(f"desktop-file-validate: {validation.stdout}{validation.stderr}")
    if not re.search(r"^Categories=.*\bHamRadio;", desktop.read_text(encoding="utf-8"), re.M):
        problems.append("desktop entry: not in the HamRadio category")
    metainfo = root / f"usr/share/metainfo/{APP_ID}.metainfo.xml"
    validation = subprocess.run(["appstreamcli", "validate", "--no-net", "--pedantic", "--no-color", str(metainfo)],
                                capture_output=True, text=True, timeout=60)
    if validation.returncode != 0:
        problems.append(f"appstreamcli validate: {validation.stdout}{validation.stderr}")
    for size in ICON_SIZES:
        png = root / f"usr/share/icons/hicolor/{size}x{size}/apps/{APP_ID}.png"
        if png.exists() and png_size(png) != (size, size):
            problems.append(f"{png.name} in {size}x{size} is {png_size(png)}")
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build_dir", type=Path)
    parser.add_argument("version")
    parser.add_argument("--ui", action="store_true")
    parser.add_argument("--sanitized", action="store_true")
    args = parser.parse_args()
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        print(f"skipped: {', '.join(missing)} not installed (bash scripts/setup.sh installs them)")
        return 77

    with tempfile.TemporaryDirectory(prefix="miv-package-") as work:
        work = Path(work)
        # gzip instead of the package's xz: three times faster on a sanitizer build's
        # binaries, and nothing checked here depends on it.
        run("cpack", "--config", str(args.build_dir / "CPackConfig.cmake"), "-B", str(work),
            "-D", "CPACK_DEBIAN_COMPRESSION_TYPE=gzip")
        debs = list(work.glob("*.deb"))
        if len(debs) != 1:
            sys.exit(f"CPack made {[d.name for d in debs]}, not one package")
        deb = debs[0]
        arch = run("dpkg", "--print-architecture").strip()
        problems = []
        if deb.name != f"miv_{args.version}_{arch}.deb":
            problems.append(f"package file {deb.name}, not miv_{args.version}_{arch}.deb")
        problems += check_control(control_fields(deb), args.version, args.ui, args.sanitized)
        problems += check_contents(deb, args.ui)
        run("dpkg-deb", "--extract", str(deb), str(work / "root"))
        problems += check_installed_files(work / "root", args.ui)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
