#!/usr/bin/env python3
"""Rebuilds the fuzzers' seed corpus in fuzz/corpus/ from our shipped files.

Run after a build (the word lists come from build/wordlists/):
    scripts/make-fuzz-corpus.py [build-folder]
"""
import pathlib
import sys

root = pathlib.Path(__file__).resolve().parent.parent
build = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "build"
base = root / "fuzz" / "corpus"
for name in ("fuzz_profile", "fuzz_convert", "fuzz_records", "fuzz_judge"):
    (base / name).mkdir(parents=True, exist_ok=True)

# Configuration file: first line "section<TAB>key<TAB>value" to write, then the file.
ini = (root / "assets" / "ymconfig.ini").read_bytes()
(base / "fuzz_profile" / "default-ini").write_bytes(b"GameConfig\tNUMBER\t10\n" + ini)
(base / "fuzz_profile" / "new-section").write_bytes(b'FileInfo\tNAME\t"Nomal.dat"\n' + ini)
(base / "fuzz_profile" / "kanji-name").write_bytes("GameConfig\tNAME\t表示\n".encode("cp932") + ini)

# Word lists: the first three words of each level, and record lines.
for name in ("Nomal.dat", "Tabemono.dat"):
    lines = (build / "wordlists" / name).read_bytes().split(b"\r\n")
    records = [r for r in lines[1:] if r]
    small, counts = [], []
    for level in b"12345":
        chosen = [r for r in records if r.endswith(b"," + bytes([level]))][:3]
        small += chosen
        counts.append(str(len(chosen)).encode())
    (base / "fuzz_convert" / name).write_bytes(b",".join(counts) + b"\r\n" + b"\r\n".join(small) + b"\r\n")
    for i, record in enumerate(records[:4]):
        reading, rest = record.split(b",", 1)
        (base / "fuzz_records" / f"{name}-{i}-type1").write_bytes(rest)
        (base / "fuzz_records" / f"{name}-{i}-type2").write_bytes(reading)
(base / "fuzz_convert" / "empty-list").write_bytes(b"0,0,0,0,0\r\n")
(base / "fuzz_records" / "kana").write_bytes("しゃしん きょう ふぁん がっこう ー".encode())
(base / "fuzz_records" / "sign-extended").write_bytes(b"FFFF82A0,41,3")

# Judge: a length byte, the target as alphabet indexes, then keys as 16-bit pairs.
alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ-"


def judge(target, keys):
    data = bytes([len(target)]) + bytes(alphabet.index(c) for c in target)
    return data + b"".join(bytes([ord(k), 0]) for k in keys)


for name, target, keys in (("shashin", "SYASINN", "SHASHINN"), ("zyanken", "ZYANKENN", "JYANKENN"),
                           ("fairu", "FAIRU", "FUXAIRU"), ("tsuki", "TUKI", "TSUKI")):
    (base / "fuzz_judge" / name).write_bytes(judge(target, keys))
