"""Reads what Explorer shows of a Windows executable: its link time, its
resources, the strings of its version resource and its manifest.

    python3 tools/exe_resources.py build/windows/inkwarden.exe

Plain Python over the PE format, so it needs no Windows tools and does not
trust the resource compiler that wrote the file.
"""

import struct
import sys

RT_VERSION = 16
RT_MANIFEST = 24


class Executable:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an executable: no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE executable")
        sections, self.timestamp, _, self.symbols = struct.unpack_from("<HIII", data, pe + 6)
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (112 if magic == 0x20B else 96)
        self.resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        self.sections = []
        for i in range(sections):
            at = optional + optional_size + 40 * i
            size, rva, raw_size, raw = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((rva, max(size, raw_size), raw))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"address {rva:#x} lies in no section")

    def _name(self, base, entry_name):
        if not entry_name & 0x80000000:
            return entry_name
        at = base + (entry_name & 0x7FFFFFFF)
        length = struct.unpack_from("<H", self.data, at)[0]
        return self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")

    def resources(self):
        """{(type, name): bytes} of the first language of every resource."""
        found = {}
        if not self.resource_rva:
            return found
        base = self.offset(self.resource_rva)

        def entries(at):
            named, ids = struct.unpack_from("<HH", self.data, at + 12)
            for i in range(named + ids):
                yield struct.unpack_from("<II", self.data, at + 16 + 8 * i)

        for type_name, type_at in entries(base):
            for name, name_at in entries(base + (type_at & 0x7FFFFFFF)):
                _, leaf = next(entries(base + (name_at & 0x7FFFFFFF)))
                rva, size = struct.unpack_from("<II", self.data, base + leaf)
                key = (self._name(base, type_name), self._name(base, name))
                found[key] = self.data[self.offset(rva):self.offset(rva) + size]
        return found


def _version_node(blob, at):
    """(key, value bytes, children) of the version-resource node at offset at."""
    length, value_length, kind = struct.unpack_from("<HHH", blob, at)
    end = at + length
    key_end = at + 6
    while blob[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = blob[at + 6:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    # A text value's length counts characters, a binary one's bytes.
    value_end = min(value_at + value_length * (2 if kind == 1 else 1), end)
    children = []
    child = (value_end + 3) & ~3
    while child < end:
        node = _version_node(blob, child)
        children.append(node)
        child = (child + struct.unpack_from("<H", blob, child)[0] + 3) & ~3
    return key, blob[value_at:value_end], children


def version_info(blob):
    """The file and product versions as tuples, and the version strings."""
    key, fixed, children = _version_node(blob, 0)
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if key != "VS_VERSION_INFO" or signature != 0xFEEF04BD:
        raise ValueError("not a version resource")
    strings = {}
    for block, _, tables in children:
        if block == "StringFileInfo":
            for _, _, values in tables:
                for name, value, _ in values:
                    strings[name] = value.decode("utf-16-le").rstrip("\0")
    split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    return split(file_ms, file_ls), split(product_ms, product_ls), strings


def read(path):
    """(link time, version info as version_info gives it, manifest text)."""
    with open(path, "rb") as f:
        exe = Executable(f.read())
    resources = exe.resources()
    version = resources.get((RT_VERSION, 1))
    manifest = resources.get((RT_MANIFEST, 1))
    return (exe.timestamp, version_info(version) if version else None,
            manifest.decode("utf-8") if manifest else None)


def main():
    timestamp, version, manifest = read(sys.argv[1])
    print(f"link time: {timestamp}")
    if version:
        file_version, product_version, strings = version
        print("file version: " + ".".join(map(str, file_version)))
        print("product version: " + ".".join(map(str, product_version)))
        for name, value in strings.items():
            print(f"{name}: {value}")
    if manifest:
        print(manifest)


if __name__ == "__main__":
    main()
