#!/usr/bin/env python3
"""Mutation run over the radio's tables: change one entry, rebuild, check a golden test fails.

Each mutation replaces one exact snippet (it must occur once) in a source file, rebuilds the
test binary, runs its golden tests and the rest of its tests, and puts the file back with
`git checkout`. Usage: scripts/table_mutations.py BUILD_DIR  (an existing CMake build tree
with the image and codeplug tests). Prints one line per mutation; exits 1 if any survives.
"""
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# (file, old snippet, new snippet, what it changes)
MUTATIONS = [
    ("image/general_page.cpp", '"0096"', '"0098"', 'DTMF time 150MS 0096 -> 0098'),
    ("image/general_page.cpp", '"05AA"', '"05AB"', 'single tone 1450HZ 05AA -> 05AB'),
    ("image/page_tables.h", '"0271", "03E8"', '"0271", "03E9"', 'step 10K 03E8 -> 03E9'),
    ("image/code_tables.cpp", '"546", "565", "606"', '"546", "566", "606"', 'DCS code 565 -> 566'),
    ("image/code_tables.cpp", '"156.7"', '"156.8"', 'CTCSS 156.7 -> 156.8'),
    ("image/code_tables.cpp", '"233.6", "241.8", "250.3"', '"233.6", "241.8", "250.4"', 'last CTCSS 250.3 -> 250.4'),
    ("image/code_tables.cpp", 'l.push_back("身份码");', 'l.push_back("身份");', 'signalling item 0x11 text'),
    ("image/code_tables.cpp", '"QT/DQT+信令"}', '"QT/DQT+信号"}', 'receive mode 01 text'),
    ("image/band_page.cpp", '{1, 3, 4, 13, Index, 1}', '{1, 1, 2, 13, Index, 1}', 'band page: scrambler digits k2 3-4 -> 1-2'),
    ("image/band_page.cpp", '{0, 27, 28, 5, Index, 17}', '{0, 25, 26, 5, Index, 17}', 'band page: end signalling at 25-26'),
    ("image/band_page.cpp", '{1, 7, 14, 15, Frequency}', '{1, 9, 16, 15, Frequency}', 'band page: offset at k2 9-16'),
    ("image/band_page.cpp", '{0, 25, 26, 8, Index, 17}', '{0, 25, 26, 8, Index, 16}', 'band decoder: start signalling 0x11 not read'),
    ("image/band_page.cpp", '{0, 1, 2, 1, Index, 3, Beyond::First}', '{0, 1, 2, 1, Index, 3, Beyond::Keep}', 'band decoder: work mode above 3 kept'),
    ("image/general_page.cpp", '{0, 23, 24, 11, Index, 20}', '{0, 21, 22, 11, Index, 20}', 'general page: time-out digits 23-24 -> 21-22'),
    ("image/general_page.cpp", '{0, 29, 32, 13, Codes', '{0, 28, 31, 13, Codes', 'general page: DTMF time at 28-31'),
    ("image/general_page.cpp", '{0, 9, 10, 4, Index, 7}', '{0, 9, 10, 4, Index, 3}', 'general decoder: backlight 4-7 kept'),
    ("image/page_tables.cpp", '"1450HZ", "1750HZ"', '"1500HZ", "1750HZ"', 'single tone list text 1450HZ -> 1500HZ'),
    ("image/page_tables.cpp", 'numbers(30, 600, 30)', 'numbers(30, 570, 30)', 'time-out list loses 600'),
    ("image/editor_state.cpp", 'kBandSecond = "000000000F424009C4FFFFFFFFFFFFFF"', 'kBandSecond = "000000000F424009C5FFFFFFFFFFFFFF"', 'hidden default k2/k4 digit 18'),
    ("image/editor_state.cpp", '"000FFFFF010203000102000406D600320300"', '"000FFFFF010203000102000406D600320301"', 'hidden default k5 last digit'),
    ("image/editor_state.cpp", '"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00"', '"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0F"', 'window default of k11'),
    ("image/editor_state.cpp", '"0X029C--0X02A7:"', '"0X029C--0X02A8:"', 'caption of k14'),
    ("image/transfer.cpp", '0x0270, 0x10', '0x0278, 0x10', 'transfer address 0x0270 -> 0x0278'),
    ("image/transfer.cpp", '{14, 57, 80}', '{14, 56, 79}', 'transfer slice k14 57-80 -> 56-79'),
    ("image/transfer.cpp", '{{F(5), Fill(30)}}', '{{F(5), Fill(29)}}', 'general block written with 29 fill bytes'),
    ("image/transfer.cpp", '(upper ? 0x0400 : 0x1000)', '(upper ? 0x0400 : 0x1030)', 'lower channel base 0x1000 -> 0x1030'),
    ("image/transfer.cpp", '0x02D0, 0x21', '0x02D0, 0x20', 'power-on block length 0x21 -> 0x20'),
    ("image/dtmf_page.cpp", '"D1234567890*#ABC"', '"D1234567890#*ABC"', 'DTMF digit codes of * and # swapped'),
    ("image/dtmf_page.cpp", '{Identity, 6, 14, 13, 24}', '{Identity, 6, 14, 12, 23}', 'identity code 6 at 12-23'),
    ("image/dtmf_page.cpp", '{Identity, 2, 12, 17, 32}', '{Identity, 2, 12, 19, 30}', 'identity code 2 as a short code'),
    ("image/limits_page.cpp", '{11, 33, 34, Holds::Switch, 5}', '{11, 31, 32, Holds::Switch, 5}', 'band-limit switch at 31-32'),
    ("image/limits_page.cpp", '{10, 17, 32, Holds::Line, 2}', '{10, 17, 32, Holds::Line, 1}', 'second message line decoded into the first'),
    ("image/channel_codec.cpp", '{kColCompander, 5, OffOnList}', '{kColCompander, 6, OffOnList}', 'channel compander at bit 6'),
    ("image/channel_codec.cpp", '{23, 26, kColTxTone, Cell::Tone, kColTxFreq}', '{23, 26, kColTxTone, Cell::Tone, kColRxFreq}', 'transmit tone read in the light of the receive frequency'),
    ("image/channel_codec.cpp", '{29, 30, kColEndSignal, Cell::Signalling, kColTxFreq}', '{29, 30, kColStartSignal, Cell::Signalling, kColTxFreq}', 'end signalling into the start column'),
    ("codeplug/codeplug.cpp", '{FieldKind::Index, "left14", "right14", 14}', '{FieldKind::Index, "left14", "right14", 13}', '.bc: field 12 of a band record holds control 13'),
    ("codeplug/codeplug.cpp", 'visit(f, s.limits.xp[static_cast<std::size_t>(f - 1)]);', 'visit(f, s.limits.xp[static_cast<std::size_t>(f == 2 ? 2 : f == 3 ? 1 : f - 1)]);', '.bc: xp1 and xp2 fields swapped'),
    ("codeplug/codeplug.cpp", '"kaiji2", "xp1", "xp2"', '"kaiji2", "xp2", "xp1"', '.bc: names of fields 2 and 3 of record 260 swapped'),
]


def run(cmd):
    return subprocess.run(cmd, cwd=ROOT, capture_output=True, text=True)


def failing(binary, gtest_filter):
    out = run([binary, f"--gtest_filter={gtest_filter}"]).stdout
    return sorted({line.split()[-1] for line in out.splitlines()
                   if line.startswith("[  FAILED  ]") and "." in line.split()[-1]})


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else "build/asan").resolve()
    survivors = 0
    for path, old, new, what in MUTATIONS:
        source = ROOT / path
        text = source.read_text()
        if text.count(old) != 1:
            print(f"SKIP  {what}: snippet found {text.count(old)} times")
            survivors += 1
            continue
        target = "codeplug_tests" if path.startswith("codeplug/") else "image_tests"
        binary = str(build / "tests" / target.split("_")[0] / target)
        try:
            source.write_text(text.replace(old, new))
            b = run(["cmake", "--build", str(build), "-j2", "--target", target])
            if b.returncode != 0:
                print(f"BUILD {what}: does not compile")
                continue
            golden = failing(binary, "Golden*")
            others = failing(binary, "-Golden*")
        finally:
            run(["git", "checkout", "--", path])
        survivors += not golden
        print(f"{'KILLED' if golden else 'ALIVE '} {what}\n    golden: {', '.join(golden) or '-'}"
              f"\n    other tests: {', '.join(others) or '-'}", flush=True)
    run(["cmake", "--build", str(build), "-j2", "--target", "image_tests", "codeplug_tests"])
    return 1 if survivors else 0


if __name__ == "__main__":
    sys.exit(main())
