#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the demo station: five short melodies by composers who died long
ago, as Standard MIDI files, and a .pyl playlist of them.

The notes are typed in below; nothing is downloaded. Only the standard library
is used. The build runs it:
    python3 scripts/make-demo-station.py OUT_DIR
writes OUT_DIR/<song>.mid and OUT_DIR/demo-station.pyl (whose entries name
OUT_DIR, or --playlist-dir DIR when the songs will live elsewhere), and
    python3 scripts/make-demo-station.py --list
prints the file names it writes, one per line, playlist order.

Notation, one string per part, read left to right:
    F#5/4.   a note: name, optional # or b, octave (C4 is middle C), then the
             length as a fraction of a whole note (1, 2, 4, 8, 16), "." dotted
    A3+C#4+E4/2   a chord
    r/4      a rest
    |        a bar line: every bar but the first and the last must fill the
             metre, so a typing slip stops the script instead of the music
    T120     tempo from here on, quarter notes per minute
    V90      loudness (MIDI velocity) of the following notes
    P45      General MIDI instrument (0-127) from here on
    S+12     shift the following notes by semitones (S0 undoes it)
"""
import argparse
import re
import struct
import sys
from pathlib import Path

TICKS_PER_QUARTER = 480
PLAYLIST_NAME = "demo-station.pyl"
# Each song must last this long (seconds), the end of its last note included.
MIN_SECONDS, MAX_SECONDS = 30.0, 60.0

NOTE_BASE = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
NOTE_RE = re.compile(r"^([A-G])(#|b)?(-?\d)$")


def bars(text):
    return [bar.split() for bar in text.split("|") if bar.strip()]


class Part:
    """One instrument on one MIDI channel."""

    def __init__(self, name, program, text, channel, velocity=90, gate=0.92, pan=64, volume=100):
        self.name = name
        self.program = program
        self.text = text
        self.channel = channel
        self.velocity = velocity
        self.gate = gate  # how much of its length a note sounds
        self.pan = pan
        self.volume = volume  # channel volume: sets the parts' balance and the song's loudness


class Tune:
    def __init__(self, file, title, composer, year, metre, tempo, parts):
        self.file = file
        self.title = title
        self.composer = composer
        self.year = year
        self.metre = metre  # quarter notes per bar
        self.tempo = tempo
        self.parts = parts


def pitch(name, shift):
    match = NOTE_RE.match(name)
    if not match:
        raise ValueError(f"not a note: {name}")
    letter, accidental, octave = match.groups()
    number = 12 * (int(octave) + 1) + NOTE_BASE[letter] + shift
    number += {"#": 1, "b": -1, None: 0}[accidental]
    if not 0 <= number <= 127:
        raise ValueError(f"note out of range: {name}")
    return number


def length_ticks(spec):
    dotted = spec.endswith(".")
    denominator = int(spec.rstrip("."))
    if denominator not in (1, 2, 4, 8, 16):
        raise ValueError(f"not a note length: /{spec}")
    ticks = TICKS_PER_QUARTER * 4 // denominator
    return ticks * 3 // 2 if dotted else ticks


def read_part(tune, part):
    """The part's events as (tick, order, bytes); order puts note-offs first."""
    events = []
    tempos = []
    tick = 0
    velocity = part.velocity
    shift = 0
    ch = part.channel
    bar_ticks = tune.metre * TICKS_PER_QUARTER
    all_bars = bars(part.text)
    for number, bar in enumerate(all_bars, start=1):
        start = tick
        for token in bar:
            if token[0] == "T":
                tempos.append((tick, int(token[1:])))
            elif token[0] == "V":
                velocity = int(token[1:])
            elif token[0] == "P":
                events.append((tick, 1, bytes([0xC0 | ch, int(token[1:])])))
            elif token[0] == "S":
                shift = int(token[1:])
            else:
                notes, _, spec = token.partition("/")
                ticks = length_ticks(spec)
                if notes != "r":
                    sounding = max(1, int(ticks * part.gate))
                    for name in notes.split("+"):
                        key = pitch(name, shift)
                        events.append((tick, 2, bytes([0x90 | ch, key, velocity])))
                        events.append((tick + sounding, 0, bytes([0x80 | ch, key, 0])))
                tick += ticks
        inner = 1 < number < len(all_bars)
        if inner and tick - start != bar_ticks:
            beats = (tick - start) / TICKS_PER_QUARTER
            raise ValueError(f"{tune.title}, {part.name}: bar {number} holds {beats} beats")
    return events, tempos, tick


def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def meta(kind, data):
    return b"\xff" + bytes([kind]) + variable_length(len(data)) + data


def track_chunk(events, end_tick):
    body = bytearray()
    now = 0
    for tick, _, data in sorted(events, key=lambda e: (e[0], e[1])):
        body += variable_length(tick - now) + data
        now = tick
    body += variable_length(end_tick - now) + meta(0x2F, b"")
    return b"MTrk" + struct.pack(">I", len(body)) + bytes(body)


def seconds_at(tick, tempos):
    """Playing time of the first `tick` ticks under a sorted tempo map."""
    seconds = 0.0
    for i, (start, bpm) in enumerate(tempos):
        stop = tempos[i + 1][0] if i + 1 < len(tempos) else tick
        if start >= tick:
            break
        seconds += (min(stop, tick) - start) * 60.0 / (bpm * TICKS_PER_QUARTER)
    return seconds


def latin1_field(text, width):
    data = text.encode("latin-1")
    if len(data) > width:
        raise ValueError(f"too long for the tag: {text}")
    return data.ljust(width, b"\0")


def id3v1(tune):
    """A tag after the last track, so the announcer can name the song."""
    return (b"TAG" + latin1_field(tune.title, 30) + latin1_field(tune.composer, 30) +
            latin1_field("Tolvar Demo Station", 30) + str(tune.year).encode("ascii") +
            latin1_field("Public domain", 30) + bytes([32]))  # genre 32: Classical


def midi_file(tune):
    parts = []
    tempos = {0: tune.tempo}
    end = 0
    for part in tune.parts:
        events, part_tempos, part_end = read_part(tune, part)
        setup = [
            meta(0x03, part.name.encode("latin-1")),
            bytes([0xC0 | part.channel, part.program]),
            bytes([0xB0 | part.channel, 7, part.volume]),
            bytes([0xB0 | part.channel, 10, part.pan]),
            bytes([0xB0 | part.channel, 91, 40]),  # reverb
        ]
        events = [(0, -1, data) for data in setup] + events
        parts.append(events)
        tempos.update(part_tempos)
        end = max(end, part_end)
    tempos = sorted(tempos.items())
    # A moment of silence after the last note, for the reverb to fade.
    end += TICKS_PER_QUARTER
    seconds = seconds_at(end, tempos)
    if not MIN_SECONDS <= seconds <= MAX_SECONDS:
        raise ValueError(f"{tune.title} lasts {seconds:.1f} s")

    conductor = [
        (0, 0, meta(0x03, tune.title.encode("latin-1"))),
        (0, 0, meta(0x02, f"{tune.composer}, {tune.year}; public domain".encode("latin-1"))),
        (0, 0, meta(0x58, bytes([tune.metre, 2, 24, 8]))),
    ]
    for tick, bpm in tempos:
        conductor.append((tick, 1, meta(0x51, struct.pack(">I", 60_000_000 // bpm)[1:])))

    header = b"MThd" + struct.pack(">IHHH", 6, 1, 1 + len(parts), TICKS_PER_QUARTER)
    data = header + track_chunk(conductor, end)
    for events in parts:
        data += track_chunk(events, end)
    return data + id3v1(tune), seconds


# ---------------------------------------------------------------- the tunes

def ode_to_joy():
    # Ludwig van Beethoven, the finale of the Ninth Symphony (1824), in D.
    a = "F#5/4 F#5/4 G5/4 A5/4 | A5/4 G5/4 F#5/4 E5/4 | D5/4 D5/4 E5/4 F#5/4 |"
    melody = (
        a + " F#5/4. E5/8 E5/2 |" + a + " E5/4. D5/8 D5/2 |"
        " E5/4 E5/4 F#5/4 D5/4 | E5/4 F#5/8 G5/8 F#5/4 D5/4 |"
        " E5/4 F#5/8 G5/8 F#5/4 E5/4 | D5/4 E5/4 A4/2 |" + a + " E5/4. D5/8 D5/2 |"
        " D5+F#5/1 |")
    d, t = "A3+D4+F#4", "A3+C#4+E4"
    home = f"{d}/2 {d}/2 | {t}/2 {t}/2 | {d}/2 {d}/2 |"
    chords = (
        home + f" {d}/2 {t}/2 |" + home + f" {t}/2 {d}/2 |"
        f" {t}/2 {d}/2 | {t}/2 {d}/2 | {t}/2 {t}/2 | {d}/2 {t}/2 |" + home + f" {t}/2 {d}/2 |"
        f" {d}/1 |")
    low = "D3/2 D3/2 | A2/2 A2/2 | D3/2 D3/2 |"
    bass = (
        low + " D3/2 A2/2 |" + low + " A2/2 D3/2 |"
        " A2/2 D3/2 | A2/2 D3/2 | A2/2 A2/2 | D3/2 A2/2 |" + low + " A2/2 D3/2 |"
        " D2/1 |")
    return Tune("1-ode-to-joy.mid", "Ode to Joy", "Ludwig van Beethoven", 1824, 4, 100, [
        Part("Strings", 48, melody, 0, velocity=100, pan=54, volume=84),
        Part("Choir", 52, chords, 1, velocity=52, gate=0.98, pan=80, volume=76),
        Part("Cello", 42, bass, 2, velocity=80, pan=40, volume=84),
    ])


def greensleeves():
    # English, sixteenth century; the composer's name is long lost.
    verse = (
        " C5/2 D5/4 | E5/4. F5/8 E5/4 | D5/2 B4/4 | G4/4. A4/8 B4/4 |")
    refrain = " G5/2. | G5/4. F#5/8 E5/4 | D5/2 B4/4 | G4/4. A4/8 B4/4 |"
    melody = (
        "A4/4 |" + verse + " C5/2 A4/4 | A4/4. G#4/8 A4/4 | B4/2 G#4/4 | E4/2 A4/4 |"
        + verse + " C5/4. B4/8 A4/4 | G#4/4. F#4/8 G#4/4 | A4/2. | A4/2. |"
        + refrain + " C5/2 A4/4 | A4/4. G#4/8 A4/4 | B4/2 G#4/4 | E4/2. |"
        + refrain + " C5/4. B4/8 A4/4 | G#4/4. F#4/8 G#4/4 | A4/2. | A4/2. |")
    arpeggio = {
        "Am": "A2/4 E3/4 C4/4", "C": "C3/4 G3/4 E4/4", "G": "G2/4 D3/4 B3/4",
        "Em": "E2/4 B2/4 G3/4", "E": "E2/4 B2/4 G#3/4",
    }
    harmony = ("Am C G Em Am E E E  Am C G Em Am E Am Am  "
               "C C G Em Am E E E  C C G Em Am E Am Am")
    guitar = "r/4 | " + " | ".join(arpeggio[c] for c in harmony.split()) + " |"
    return Tune("2-greensleeves.mid", "Greensleeves", "Traditional, England", 1580, 3, 108, [
        Part("Flute", 73, melody, 0, velocity=112, pan=70, volume=127),
        Part("Guitar", 24, guitar, 1, velocity=90, gate=1.0, pan=50, volume=127),
    ])


def minuet_in_g():
    # Christian Petzold (1677-1733), from the Notebook for Anna Magdalena Bach.
    opening = (
        " D5/4 G4/8 A4/8 B4/8 C5/8 | D5/4 G4/4 G4/4 | E5/4 C5/8 D5/8 E5/8 F#5/8 |"
        " G5/4 G4/4 G4/4 | C5/4 D5/8 C5/8 B4/8 A4/8 | B4/4 C5/8 B4/8 A4/8 G4/8 |")
    right = (
        opening + " F#4/4 G4/8 A4/8 B4/8 G4/8 | A4/2. |"
        + opening + " A4/4 B4/8 A4/8 G4/8 F#4/8 | G4/2. |"
        " B5/4 G5/8 A5/8 B5/8 G5/8 | A5/4 D5/8 E5/8 F#5/8 D5/8 | G5/4 E5/8 F#5/8 G5/8 D5/8 |"
        " C#5/4 B4/8 C#5/8 A4/4 | A4/8 B4/8 C#5/8 D5/8 E5/8 F#5/8 | G5/4 F#5/4 E5/4 |"
        " F#5/4 A4/4 C#5/4 | D5/2. |"
        " D5/4 G4/8 F#4/8 G4/4 | E5/4 G4/8 F#4/8 G4/4 | D5/4 C5/4 B4/4 |"
        " A4/8 G4/8 F#4/8 G4/8 A4/4 | D4/8 E4/8 F#4/8 G4/8 A4/8 B4/8 | C5/4 B4/4 A4/4 |"
        " B4/8 D5/8 G4/4 F#4/4 | G4/2. |")
    left_opening = " G3+B3/2 A3/4 | B3/2. | C4/2. | B3/2. | A3/2. | G3/2. |"
    left = (
        left_opening + " D4/4 B3/4 G3/4 | D4/4 D3/8 C4/8 B3/8 A3/8 |"
        + left_opening + " C4/4 D4/4 D3/4 | G3/2 G2/4 |"
        " G3/2. | F#3/2. | E3/4 G3/4 E3/4 | A3/2 A2/4 | A3/2. | B3/4 D4/4 C#4/4 |"
        " D4/4 F#3/4 A3/4 | D4/4 D3/4 C4/4 |"
        " B3/2. | C4/2. | B3/4 A3/4 G3/4 | D4/2. | D3/2. | C4/2. | G3/2 D3/4 | G2/2. |")
    return Tune("3-minuet-in-g.mid", "Minuet in G", "Christian Petzold", 1725, 3, 120, [
        Part("Right hand", 6, right, 0, velocity=127, gate=0.85, pan=70, volume=127),
        Part("Left hand", 6, left, 1, velocity=115, gate=0.85, pan=50, volume=127),
    ])


def lullaby():
    # Johannes Brahms, Wiegenlied, Op. 49 No. 4 (1868), in C.
    rest = " C6/2 A5/8 F5/8 | G5/2 E5/8 C5/8 |"
    melody = (
        "E5/8 E5/8 | G5/4. E5/8 E5/4 | G5/2 E5/8 G5/8 | C6/4 B5/4. A5/8 |"
        " A5/4 G5/4 D5/8 E5/8 | F5/4 D5/4 D5/8 E5/8 | F5/2 D5/8 F5/8 |"
        " B5/8 A5/8 G5/4 B5/4 | C6/2 C5/8 C5/8 |"
        + rest + " F5/4 G5/4 A5/4 | G5/2 C5/8 C5/8 |" + rest + " F5/4 E5/4 D5/4 | C5/2. |")
    arpeggio = {"C": "C3/4 G3/4 E4/4", "G7": "G2/4 F3/4 B3/4", "F": "F2/4 C3/4 A3/4"}
    harmony = "C C G7 G7 G7 G7 G7 C F C F C F C G7 C"
    harp = "r/4 | " + " | ".join(arpeggio[c] for c in harmony.split()) + " |"
    return Tune("4-lullaby.mid", "Lullaby", "Johannes Brahms", 1868, 3, 66, [
        Part("Music box", 10, melody, 0, velocity=120, pan=72, volume=127),
        Part("Harp", 46, harp, 1, velocity=92, gate=1.0, pan=48, volume=127),
    ])


def mountain_king():
    # Edvard Grieg, In the Hall of the Mountain King, from Peer Gynt (1875):
    # the same four bars, faster, higher and louder each time.
    theme = (
        " B3/8 C#4/8 D4/8 E4/8 F#4/8 D4/8 F#4/4 | E#4/8 C#4/8 E#4/4 E4/8 C4/8 E4/4 |"
        " B3/8 C#4/8 D4/8 E4/8 F#4/8 D4/8 F#4/8 B4/8 | A4/8 F#4/8 D4/8 F#4/8 A4/2 |")
    steps = [  # tempo, loudness, instrument, shift
        (104, 56, 70, 0), (116, 66, 70, 0), (128, 76, 48, 12), (144, 86, 48, 12),
        (160, 96, 61, 12), (180, 104, 61, 24), (200, 112, 48, 24),
    ]
    melody = "".join(f" T{t} V{v} P{p} S+{s}{theme}" for t, v, p, s in steps)
    melody += " S0 B4+F#5+B5/4 r/4 r/2 |"
    low = " B2/4 F#2/4 B2/4 F#2/4 | C#3/4 C#3/4 C3/4 C3/4 | B2/4 F#2/4 B2/4 F#2/4 |" \
          " D3/4 A2/4 F#2/2 |"
    bass = "".join(f" V{v}{low}" for _, v, _, _ in steps) + " B1+B2/4 r/4 r/2 |"
    return Tune("5-mountain-king.mid", "Hall of the Mountain King", "Edvard Grieg",
                1875, 4, 104, [
                    Part("Lead", 70, melody, 0, gate=0.7, pan=70, volume=90),
                    Part("Pizzicato", 45, bass, 1, velocity=70, gate=0.5, pan=45, volume=90),
                ])


TUNES = [ode_to_joy, greensleeves, minuet_in_g, lullaby, mountain_king]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("out_dir", nargs="?", type=Path)
    parser.add_argument("--playlist-dir", help="the folder the playlist names")
    parser.add_argument("--list", action="store_true", help="print the file names")
    args = parser.parse_args()
    tunes = [make() for make in TUNES]
    if args.list:
        print("\n".join([t.file for t in tunes] + [PLAYLIST_NAME]))
        return 0
    if args.out_dir is None:
        parser.error("the output folder is missing")
    args.out_dir.mkdir(parents=True, exist_ok=True)
    folder = args.playlist_dir or str(args.out_dir.resolve())
    for tune in tunes:
        data, seconds = midi_file(tune)
        (args.out_dir / tune.file).write_bytes(data)
        print(f"{tune.file}: {tune.title}, {seconds:.1f} s")
    # The .pyl format: one absolute path per line, CR LF after each.
    playlist = "".join(f"{folder}/{t.file}\r\n" for t in tunes)
    (args.out_dir / PLAYLIST_NAME).write_bytes(playlist.encode())
    return 0


if __name__ == "__main__":
    sys.exit(main())
