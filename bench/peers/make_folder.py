#!/usr/bin/env python3
"""Makes the peer bench's music folder: SONGS tagged MP3s in ARTIST/ALBUM/ folders.

Every file is the same 128 kbit/s MP3 (BASE, without tags) behind its own ID3v2.3 tag
(title, artist, album, track, in UTF-16 so Chinese names read everywhere), ten songs to an
album and ten albums to an artist. Names mix Chinese and Latin syllables, as a real library's do.
A folder that already holds the count is left as it is.

Usage: make_folder.py BASE FOLDER SONGS
"""
import os
import random
import struct
import sys

SYLLABLES = ["周", "杰", "伦", "林", "俊", "晴", "天", "江", "南", "Blue", "Sky", "Night",
             "Road", "海", "阔", "空", "风", "雨", "Moon", "Light"]


def name(rng, parts):
    return "".join(rng.choice(SYLLABLES) for _ in range(parts))


def text_frame(frame_id, text):
    data = b"\x01" + "\ufeff".encode("utf-16-le") + text.encode("utf-16-le") + b"\x00\x00"
    return frame_id.encode("ascii") + struct.pack(">I", len(data)) + b"\x00\x00" + data


def id3v23(title, artist, album, track):
    frames = (text_frame("TIT2", title) + text_frame("TPE1", artist) +
              text_frame("TALB", album) + text_frame("TRCK", str(track)))
    size = len(frames)
    syncsafe = bytes([(size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F, size & 0x7F])
    return b"ID3\x03\x00\x00" + syncsafe + frames


def main():
    base_path, folder, songs = sys.argv[1], sys.argv[2], int(sys.argv[3])
    marker = os.path.join(folder, ".songs")
    if os.path.exists(marker) and open(marker).read().strip() == str(songs):
        return
    with open(base_path, "rb") as f:
        audio = f.read()
    rng = random.Random(7)
    artists = {}
    for i in range(songs):
        artist_index, album_index = i // 100, i // 10
        if artist_index not in artists:
            artists[artist_index] = "%s %03d" % (name(rng, 2), artist_index)
        artist = artists[artist_index]
        album = "%s %04d" % (name(rng, 2), album_index)
        title = "%s %05d" % (name(rng, 3), i)
        track = i % 10 + 1
        directory = os.path.join(folder, artist, album)
        os.makedirs(directory, exist_ok=True)
        with open(os.path.join(directory, "%02d %s.mp3" % (track, title)), "wb") as f:
            f.write(id3v23(title, artist, album, track))
            f.write(audio)
    with open(marker, "w") as f:
        f.write(str(songs))


if __name__ == "__main__":
    main()
