#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes starting inputs for the fuzz targets into <folder>/<target>/.

    make_seeds.py <folder> [song.mp3]

The mp3 (for example build/tests/audio/media/tone.mp3) gives the decoder
target real MPEG frames; without it the decoder starts from WAV and MIDI.
"""
import os
import struct
import sys


def vlq(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def midi(events, division=96, fmt=0):
    track = b"".join(vlq(delta) + data for delta, data in events)
    track += b"\x00\xff\x2f\x00"
    return (b"MThd" + struct.pack(">IHHH", 6, fmt, 1, division) +
            b"MTrk" + struct.pack(">I", len(track)) + track)


def wav(rate, channels, frames):
    data = bytes((i * 37) % 251 for i in range(frames * channels * 2))
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * channels * 2, channels * 2, 16)
    body = b"WAVEfmt " + struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    folder = sys.argv[1]
    mp3 = open(sys.argv[2], "rb").read()[:6000] if len(sys.argv) > 2 else None
    note = [(0, b"\x90\x3c\x64"), (96, b"\x80\x3c\x00")]
    tempo = [(0, b"\xff\x51\x03\x07\xa1\x20")]
    seeds = {
        "midi_file": {
            "note": midi(note),
            "tempo": midi(tempo + note + [(0x0FFFFFFF, b"\x90\x3e\x64")], division=1),
            "smpte": midi(note, division=0xE728),
            "running": midi([(0, b"\x90\x3c\x64"), (48, b"\x40\x64"), (0, b"\xf0\x02\x7e\xf7")]),
        },
        "pyl_reader": {
            "plain": b"/music/a.mp3\r\n/music/b c.mp3\r\n",
            "mixed": b"  /x.mp3 \r\r\n\n/y\rz.wav\n\r\n",
            "latin": "/musik/Mot\u00f6rhead.mp3\r\n".encode("utf-8") + b"/bad/\xff\xfe.mp3\r\n",
        },
        "feed_parser": {
            "backslash": b"<?xml version=\"1.0\"?><backslash><story><title>Hello world</title>"
                         b"<url>http://x/1</url><time>2024</time><author>me</author></story>"
                         b"<story><title>Second &amp; last</title></story></backslash>",
            "entities": b"<!DOCTYPE a [<!ENTITY e \"x\">]><a><story><title>&e;</title></story></a>",
            "nested": b"<a>" + b"<story>" * 20 + b"</story>" * 20 + b"</a>",
            "rss": b"<rss version=\"2.0\"><channel><item><title>A &lt;b&gt;bold&lt;/b&gt; move"
                   b"</title><link>http://x/</link><pubDate>Mon</pubDate></item></channel></rss>",
            "atom": b"<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry><title type=\"html\">"
                    b"One &amp;amp; two</title><link href=\"http://y/\"/><author><name>n</name>"
                    b"</author></entry></feed>",
            "rdf": b"<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
                   b"xmlns=\"http://purl.org/rss/1.0/\"><item><title>T</title></item></rdf:RDF>",
        },
        "decoder": {
            "wav": b"\x01" + wav(22050, 1, 300),
            "wav8": b"\x01" + wav(8000, 2, 100),
            "midi": b"\x02" + midi(tempo + note),
            "named-wrong": b"\x00" + wav(48000, 2, 100),
        },
    }
    if mp3:
        seeds["decoder"]["mp3"] = b"\x00" + mp3
        seeds["decoder"]["id3"] = b"\x03" + b"ID3\x03\x00\x00\x7f\x7f\x7f\x7f" + b"\x00" * 40 + mp3
    for target, files in seeds.items():
        os.makedirs(os.path.join(folder, target), exist_ok=True)
        for name, data in files.items():
            with open(os.path.join(folder, target, name), "wb") as out:
                out.write(data)


if __name__ == "__main__":
    main()
