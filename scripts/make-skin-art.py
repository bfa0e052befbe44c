#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes Orvane's skin lists ("u_skins.lst", "ut_skins.lst", "ut_voices.lst") and their
32 x 32 picture strips ("u_skins.bmp", "ut_skins.bmp") into orv/app/data. The names,
meshes and packages are those of the games' standard player models; the pictures are
drawn here: a bust in the model's armour colours on a background of the team colour.
Run from the repository root:
    python3 scripts/make-skin-art.py
"""
import hashlib
import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "orv/app/data")
SIZE = 32
SAMPLES = 4  # supersampling per axis, for smooth edges

# Team backgrounds (inner, outer) by the team word the players list compares with.
TEAMS = {
    "none": ((40, 48, 40), (6, 8, 6)),
    "red": ((190, 40, 36), (60, 8, 8)),
    "blue": ((44, 84, 210), (8, 16, 70)),
    "green": ((40, 170, 60), (6, 50, 10)),
    "gold": ((230, 180, 40), (80, 56, 6)),
}
LIME = (50, 255, 50)

# Unreal: name, class, skin, armour colour.
UNREAL = [
    ("female one", "UnrealI.FemaleOne", "Female1Skins.Gina", (150, 60, 160)),
    ("female two", "UnrealI.FemaleTwo", "Female2Skins.Sonya", (200, 120, 40)),
    ("male one", "UnrealI.MaleOne", "Male1Skins.Kurgan", (120, 120, 130)),
    ("male two", "UnrealI.MaleTwo", "Male2Skins.Ash", (60, 110, 70)),
    ("male three", "UnrealI.MaleThree", "Male3Skins.Dante", (70, 90, 150)),
    ("skaarj hybrid", "UnrealI.SkaarjPlayer", "SkTrooperSkins.sktrooper", (110, 80, 50)),
    ("spectator", "UnrealShare.UnrealSpectator", "", (90, 90, 90)),
]

# Unreal Tournament: model, class, voice, skin sets (skin, armour colour, faces).
UT = [
    ("Male Commando", "Botpack.TMale1", "BotPack.VoiceMaleOne", [
        ("CommandoSkins.cmdo", (60, 90, 60), ["Blake", "Gorn"]),
        ("CommandoSkins.daco", (120, 100, 70), ["Boris", "Graves", "Luthor", "Ramirez"]),
        ("CommandoSkins.goth", (70, 40, 90), ["Grail", "Kregore"]),
    ]),
    ("Female Commando", "Botpack.TFemale1", "BotPack.VoiceFemaleOne", [
        ("FCommandoSkins.cmdo", (60, 90, 60), ["Anna", "Mariana"]),
        ("FCommandoSkins.daco", (120, 100, 70), ["Jayce", "Tanya"]),
        ("FCommandoSkins.goth", (70, 40, 90), ["Cryss", "Malise"]),
    ]),
    ("Male Soldier", "Botpack.TMale2", "BotPack.VoiceMaleTwo", [
        ("SoldierSkins.sldr", (90, 100, 60), ["Rankin", "Brock"]),
        ("SoldierSkins.Blkt", (40, 40, 48), ["Malcom", "Othello"]),
        ("SoldierSkins.hkil", (150, 50, 30), ["tensor", "matrix"]),
        ("SoldierSkins.Gard", (60, 80, 120), ["Radkin"]),
        ("SoldierSkins.RawS", (130, 130, 140), ["Arkon"]),
    ]),
    ("Female Soldier", "Botpack.TFemale2", "BotPack.VoiceFemaleTwo", [
        ("SGirlSkins.Army", (90, 100, 60), ["Sara", "Lauren"]),
        ("SGirlSkins.fwar", (140, 30, 60), ["Fury"]),
        ("SGirlSkins.fbth", (40, 110, 120), ["Annaka"]),
        ("SGirlSkins.Garf", (150, 120, 40), ["Isis"]),
    ]),
    ("Boss", "Botpack.TBoss", "BotPack.VoiceBoss", [
        ("BossSkins.boss", (160, 160, 175), ["T_1"]),
    ]),
]
VOICES = ["BotPack.VoiceMaleOne", "BotPack.VoiceMaleTwo", "BotPack.VoiceFemaleOne",
          "BotPack.VoiceFemaleTwo", "BotPack.VoiceBoss"]


def tone(name, lo, hi):
    """A colour between lo and hi picked from the name, so each face looks its own."""
    h = hashlib.sha1(name.encode()).digest()
    return mix(lo, hi, h[0] / 255.0)


def mix(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


def picture(team, armour, skin_colour, hair, female, emblem, robot=False):
    inner, outer = TEAMS[team]
    pixels = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            acc = [0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    px = x + (sx + 0.5) / SAMPLES
                    py = y + (sy + 0.5) / SAMPLES
                    d = ((px - 16) ** 2 + (py - 14) ** 2) ** 0.5 / 22.0
                    c = mix(inner, outer, min(d, 1.0))
                    # shoulders: a wide ellipse at the bottom
                    if ((px - 16) / 13.0) ** 2 + ((py - 33) / 10.0) ** 2 <= 1.0:
                        c = armour
                        if abs(px - 16) < 1.2 and py > 26:
                            c = emblem
                    # neck
                    if abs(px - 16) <= 2.5 and 18 <= py <= 24:
                        c = mix(skin_colour, (0, 0, 0), 0.25)
                    # head
                    hd = ((px - 16) / 6.0) ** 2 + ((py - 13) / 7.0) ** 2
                    if hd <= 1.0:
                        c = skin_colour
                        if robot and 11 <= py <= 13.5:
                            c = (255, 60, 40)  # visor
                        elif not robot and 12 <= py <= 13.2 and (13 <= px <= 14.6 or 17.4 <= px <= 19):
                            c = (20, 20, 20)  # eyes
                    # hair: a cap over the head, longer at the sides for the female models
                    if not robot:
                        cap = ((px - 16) / 6.6) ** 2 + ((py - 11.2) / 5.2) ** 2 <= 1.0 and py <= 10.5
                        side = female and abs(px - 16) >= 4.6 and abs(px - 16) <= 7.2 and 9 <= py <= 19
                        if cap or side:
                            c = hair
                    for i in range(3):
                        acc[i] += c[i]
            n = SAMPLES * SAMPLES
            row.append(tuple(v // n for v in acc))
        pixels.append(row)
    # a thin frame in the program's lime, darker for "none"
    frame = LIME if team == "none" else mix(TEAMS[team][0], (255, 255, 255), 0.35)
    for i in range(SIZE):
        for (x, y) in ((i, 0), (i, SIZE - 1), (0, i), (SIZE - 1, i)):
            pixels[y][x] = mix(pixels[y][x], frame, 0.6)
    return pixels


def write_bmp(path, pictures):
    width = SIZE * len(pictures)
    height = SIZE
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for p in pictures:
            for (r, g, b) in p[y]:
                line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_lines(path, lines):
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


def make_unreal():
    lines = ["; Unreal player models and skins: the skin menu of the game options and the",
             "; pictures of Unreal players in the players list.", f"SkinsCount={len(UNREAL)}"]
    pictures = []
    for i, (name, cls, skin, armour) in enumerate(UNREAL):
        female = name.startswith("female")
        skaarj = name.startswith("skaarj")
        skin_colour = (120, 100, 70) if skaarj else tone(name, (170, 120, 90), (240, 200, 170))
        hair = tone(name + "hair", (30, 20, 10), (200, 160, 60))
        if name == "spectator":
            pictures.append(picture("none", (70, 70, 70), (110, 110, 110), (70, 70, 70), False, (70, 70, 70),
                                    robot=True))
        else:
            pictures.append(picture("none", armour, skin_colour, hair, female, LIME, robot=skaarj))
        lines += [f"name[{i}]={name}", f"skin[{i}]={skin}", f"mesh[{i}]={cls}", f"view[{i}]=true",
                  f"pict[{i}]={i}"]
    write_lines(os.path.join(DATA, "u_skins.lst"), lines)
    write_bmp(os.path.join(DATA, "u_skins.bmp"), pictures)


def make_ut():
    entries = []
    for model, cls, voice, sets in UT:
        female = model.startswith("Female")
        boss = model == "Boss"
        for skin, armour, faces in sets:
            package = skin.split(".")[0]
            for face in faces:
                for team in TEAMS:
                    entries.append((model, cls, voice, skin, armour, f"{package}.{face}", face, team, female, boss))
    lines = ["; Unreal Tournament player models, skins, faces and teams: the face menu of the",
             "; game options (one item per face) and the pictures of players in the players list",
             "; (one entry per face and team colour).", f"SkinsCount={len(entries) + 1}"]
    pictures = []
    for i, (model, cls, voice, skin, armour, face, face_name, team, female, boss) in enumerate(entries):
        skin_colour = (150, 150, 160) if boss else tone(face, (150, 100, 70), (240, 205, 175))
        hair = tone(face + "hair", (20, 15, 10), (220, 180, 90))
        emblem = TEAMS[team][0] if team != "none" else LIME
        pictures.append(picture(team, armour, skin_colour, hair, female, emblem, robot=boss))
        title = f"{model} {face_name}" if team == "none" else f"{model} {face_name} ({team})"
        lines += [f"name[{i}]={title}", f"skin[{i}]={skin}", f"mesh[{i}]={cls}", f"face[{i}]={face}",
                  f"talk[{i}]={voice}", f"team[{i}]={team}", f"view[{i}]={'true' if team == 'none' else 'false'}",
                  f"pict[{i}]={i}"]
    # The spectator: no skin and no face, matched by its mesh name.
    i = len(entries)
    pictures.append(picture("none", (70, 70, 70), (110, 110, 110), (70, 70, 70), False, (70, 70, 70), robot=True))
    lines += [f"name[{i}]=Spectator", f"skin[{i}]=", f"mesh[{i}]=Botpack.CHSpectator", f"face[{i}]=Spectator",
              f"talk[{i}]=", f"team[{i}]=none", f"view[{i}]=true", f"pict[{i}]={i}"]
    write_lines(os.path.join(DATA, "ut_skins.lst"), lines)
    write_bmp(os.path.join(DATA, "ut_skins.bmp"), pictures)
    write_lines(os.path.join(DATA, "ut_voices.lst"), ["; Unreal Tournament voices"] + VOICES)


if __name__ == "__main__":
    os.makedirs(DATA, exist_ok=True)
    make_unreal()
    make_ut()
