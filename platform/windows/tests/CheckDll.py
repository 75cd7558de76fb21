#!/usr/bin/env python3
"""Checks a plug-in DLL as Windows and its hosts read it: machine and
form, export directory, exports with their ordinals, version resource,
manifest and imports. Arguments: the DLL, the company name, the plug-in name,
the version string and the entry points, each with the ordinal of its place."""

import os
import sys

import pefile

SYSTEM_DLLS = {
    "advapi32.dll", "comdlg32.dll", "dxgi.dll", "gdi32.dll", "imm32.dll", "kernel32.dll",
    "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
    "version.dll", "windowscodecs.dll", "wininet.dll", "winmm.dll", "ws2_32.dll", "wsock32.dll",
}

def check(condition, message, problems):
    if not condition:
        problems.append(message)


def main():
    path, company, name, version = sys.argv[1:5]
    expected_exports = list(enumerate(sys.argv[5:], start=1))
    major, minor, patch = (int(part) for part in version.split("."))
    pe = pefile.PE(path)
    problems = []

    check(pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"], "not x64", problems)
    check(pe.is_dll(), "not a DLL", problems)

    exports = pe.DIRECTORY_ENTRY_EXPORT
    module = pe.get_string_at_rva(exports.struct.Name).decode()
    check(module == os.path.basename(path), f"export directory names {module}", problems)
    found = sorted((symbol.ordinal, (symbol.name or b"").decode()) for symbol in exports.symbols)
    check(found == expected_exports, f"exports {found}", problems)

    fixed = pe.VS_FIXEDFILEINFO[0]
    check((fixed.FileVersionMS, fixed.FileVersionLS) == ((major << 16) | minor, patch << 16), "file version", problems)
    check((fixed.ProductVersionMS, fixed.ProductVersionLS) == (0, 0), "product version", problems)
    check((fixed.FileFlags, fixed.FileOS, fixed.FileType) == (0, 0, 0), "file flags, OS or type", problems)

    strings, translations = {}, []
    for info in pe.FileInfo[0]:
        for table in getattr(info, "StringTable", []):
            strings[table.LangID.decode()] = {key.decode(): value.decode() for key, value in table.entries.items()}
        for var in getattr(info, "Var", []):
            translations.append(var.entry.get(b"Translation"))
    expected = {"CompanyName": company, "FileDescription": name, "FileVersion": version,
                "ProductName": name, "ProductVersion": version}
    check(strings == {"040904E4": expected}, f"string tables {strings}", problems)
    check(translations == ["0x0409 0x04e4"], f"translations {translations}", problems)

    manifest_type = pefile.RESOURCE_TYPE["RT_MANIFEST"]
    manifests = [entry for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries if entry.id == manifest_type]
    manifest = b""
    if manifests:
        data = manifests[0].directory.entries[0].directory.entries[0].data.struct
        manifest = pe.get_data(data.OffsetToData, data.Size)
    check(b'level="asInvoker"' in manifest and b'uiAccess="false"' in manifest, "manifest", problems)

    imports = {entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT}
    check(imports <= SYSTEM_DLLS, f"imports beyond Windows' own DLLs: {sorted(imports - SYSTEM_DLLS)}", problems)

    if problems:
        print("\n".join(problems))
        return 1

    print("DLL identity OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
