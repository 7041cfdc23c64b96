# SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
# SPDX-License-Identifier: GPL-3.0-or-later

"""Writes REUSE.toml's annotations as a .reuse/dep5 file, for reuse before 4.

Only what REUSE.toml here uses is translated: paths that are a file name or
"**", each becoming one Files stanza; later stanzas win in dep5 as "override"
does in REUSE.toml, so the order is kept."""
import sys
import tomllib

with open(sys.argv[1], "rb") as f:
    config = tomllib.load(f)
print("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/")
print(f"Upstream-Name: {config['SPDX-PackageName']}")
print(f"Upstream-Contact: {config['SPDX-PackageSupplier']}")
for note in config["annotations"]:
    paths = note["path"] if isinstance(note["path"], list) else [note["path"]]
    if any("*" in p and p != "**" for p in paths):
        sys.exit(f"reuse-toml-to-dep5: cannot translate the pattern in {paths}")
    print()
    print("Files: " + " ".join("*" if p == "**" else p for p in paths))
    print(f"Copyright: {note['SPDX-FileCopyrightText']}")
    print(f"License: {note['SPDX-License-Identifier']}")
