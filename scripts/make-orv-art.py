#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generates Orvane's pictures (SVG) and sounds (WAV) from code, so they can be
regenerated and changed in one place. Run from the repository root:
    python3 scripts/make-orv-art.py
"""
import math
import os
import random
import struct
import wave

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ICONS = os.path.join(ROOT, "orv/resources/icons")
SOUNDS = os.path.join(ROOT, "orv/resources/sounds")
DATA_SOUNDS = os.path.join(ROOT, "orv/app/data")

LIME = "#32ff32"
BLACK = "#000000"


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def svg(w, h, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}">\n{body}\n</svg>\n')


# --- Row state icons: signal bars in the colour of the ping class -----------------
STATES = {
    "good": ("#3cff3c", 4),
    "normal": ("#ffe23c", 3),
    "bad": ("#ff8a1e", 2),
    "noping": ("#8c8c8c", 1),
}


def bars(colour, lit):
    parts = ['<rect x="0.5" y="0.5" width="31" height="31" rx="6" fill="#101410" stroke="#2a3a2a"/>']
    for i in range(4):
        h = 6 + i * 5
        x = 5 + i * 6
        fill = colour if i < lit else "#2c2c2c"
        parts.append(f'<rect x="{x}" y="{27 - h}" width="4.5" height="{h}" rx="1" fill="{fill}"/>')
    return "\n".join(parts)


for name, (colour, lit) in STATES.items():
    write(os.path.join(ICONS, f"row-{name}.svg"), svg(32, 32, bars(colour, lit)))

write(os.path.join(ICONS, "row-dead.svg"), svg(32, 32, "\n".join([
    '<rect x="0.5" y="0.5" width="31" height="31" rx="6" fill="#1a0c0c" stroke="#4a2020"/>',
    '<path d="M9 9 L23 23 M23 9 L9 23" stroke="#ff3c3c" stroke-width="4" stroke-linecap="round"/>',
])))


def star(cx, cy, r_out, r_in):
    pts = []
    for k in range(10):
        r = r_out if k % 2 == 0 else r_in
        a = -math.pi / 2 + k * math.pi / 5
        pts.append(f"{cx + r * math.cos(a):.2f},{cy + r * math.sin(a):.2f}")
    return " ".join(pts)


# The favorite mark drawn over a state icon's top right corner.
write(os.path.join(ICONS, "favorite-mark.svg"), svg(32, 32,
      f'<polygon points="{star(24, 8.5, 8.5, 3.8)}" fill="#ffd21e" stroke="#5a4000" stroke-width="1"/>'))

# --- Column header sort markers -----------------------------------------------------
write(os.path.join(ICONS, "sort-desc.svg"), svg(16, 16, f'<path d="M3 5 L13 5 L8 11 Z" fill="{LIME}"/>'))
write(os.path.join(ICONS, "sort-asc.svg"), svg(16, 16, f'<path d="M3 11 L13 11 L8 5 Z" fill="{LIME}"/>'))


# --- Program icon and tray animation: a radar with a turning sweep ------------------
def radar(angle_deg, sweep_colour, ring="#1e8c1e", blips=True):
    a = math.radians(angle_deg)
    x2 = 16 + 13 * math.cos(a)
    y2 = 16 + 13 * math.sin(a)
    a0 = a - math.radians(50)
    xs = 16 + 13 * math.cos(a0)
    ys = 16 + 13 * math.sin(a0)
    parts = [
        '<circle cx="16" cy="16" r="15" fill="#050805" stroke="#3a3a3a" stroke-width="1.5"/>',
        f'<circle cx="16" cy="16" r="9" fill="none" stroke="{ring}" stroke-width="1"/>',
        f'<circle cx="16" cy="16" r="13" fill="none" stroke="{ring}" stroke-width="1"/>',
        f'<path d="M16 16 L{xs:.2f} {ys:.2f} A13 13 0 0 1 {x2:.2f} {y2:.2f} Z" fill="{sweep_colour}" fill-opacity="0.45"/>',
        f'<line x1="16" y1="16" x2="{x2:.2f}" y2="{y2:.2f}" stroke="{sweep_colour}" stroke-width="2" stroke-linecap="round"/>',
    ]
    if blips:
        parts.append(f'<circle cx="21" cy="10" r="1.8" fill="{sweep_colour}"/>')
        parts.append(f'<circle cx="10" cy="20" r="1.5" fill="{sweep_colour}"/>')
    return svg(32, 32, "\n".join(parts))


write(os.path.join(ICONS, "orvane.svg"), radar(-40, LIME))
for i in range(8):
    write(os.path.join(ICONS, f"tray-idle-{i}.svg"), radar(i * 45 - 90, LIME))
    write(os.path.join(ICONS, f"tray-busy-{i}.svg"), radar(i * 45 - 90, "#ffb41e", ring="#8c5a0a"))

# --- Tiled background of the top bar and the left column ---------------------------
write(os.path.join(ICONS, "panel-tile.svg"), svg(24, 24, "\n".join([
    '<rect width="24" height="24" fill="#121212"/>',
    '<path d="M0 24 L24 0" stroke="#1b1b1b" stroke-width="3"/>',
    '<path d="M-12 12 L12 -12 M12 36 L36 12" stroke="#1b1b1b" stroke-width="3"/>',
])))


# --- Splash (320 x 240) and about picture (400 x 300) -------------------------------
def grid_lines(w, h, step, colour):
    out = []
    for x in range(0, w + 1, step):
        out.append(f'<line x1="{x}" y1="0" x2="{x}" y2="{h}" stroke="{colour}" stroke-width="0.6"/>')
    for y in range(0, h + 1, step):
        out.append(f'<line x1="0" y1="{y}" x2="{w}" y2="{y}" stroke="{colour}" stroke-width="0.6"/>')
    return "\n".join(out)


def title_picture(w, h, subtitle, extra=""):
    cx, cy, r = w * 0.78, h * 0.40, h * 0.30
    rng = random.Random(7)
    blips = "\n".join(
        f'<circle cx="{cx + rng.uniform(-0.8, 0.8) * r:.1f}" cy="{cy + rng.uniform(-0.8, 0.8) * r:.1f}" '
        f'r="{rng.uniform(1.5, 3):.1f}" fill="{LIME}" fill-opacity="{rng.uniform(0.4, 1):.2f}"/>'
        for _ in range(7))
    sweep_x = cx + r * math.cos(math.radians(-35))
    sweep_y = cy + r * math.sin(math.radians(-35))
    start_x = cx + r * math.cos(math.radians(-85))
    start_y = cy + r * math.sin(math.radians(-85))
    return svg(w, h, f"""
<defs>
  <radialGradient id="glow" cx="0.78" cy="0.40" r="0.6">
    <stop offset="0" stop-color="#0f3a0f"/>
    <stop offset="1" stop-color="#000000"/>
  </radialGradient>
  <linearGradient id="bar" x1="0" y1="0" x2="1" y2="0">
    <stop offset="0" stop-color="{LIME}" stop-opacity="0.9"/>
    <stop offset="1" stop-color="{LIME}" stop-opacity="0"/>
  </linearGradient>
</defs>
<rect width="{w}" height="{h}" fill="url(#glow)"/>
{grid_lines(w, h, 20, "#0c200c")}
<circle cx="{cx}" cy="{cy}" r="{r}" fill="none" stroke="#1f7a1f" stroke-width="1.2"/>
<circle cx="{cx}" cy="{cy}" r="{r * 0.66:.1f}" fill="none" stroke="#1f7a1f" stroke-width="1"/>
<circle cx="{cx}" cy="{cy}" r="{r * 0.33:.1f}" fill="none" stroke="#1f7a1f" stroke-width="1"/>
<path d="M{cx} {cy} L{start_x:.1f} {start_y:.1f} A{r} {r} 0 0 1 {sweep_x:.1f} {sweep_y:.1f} Z" fill="{LIME}" fill-opacity="0.18"/>
<line x1="{cx}" y1="{cy}" x2="{sweep_x:.1f}" y2="{sweep_y:.1f}" stroke="{LIME}" stroke-width="2"/>
{blips}
<text x="{w * 0.07:.0f}" y="{h * 0.56:.0f}" font-family="DejaVu Sans, Arial, sans-serif" font-weight="bold"
      font-size="{h * 0.19:.0f}" letter-spacing="3" fill="{LIME}">ORVANE</text>
<rect x="{w * 0.07:.0f}" y="{h * 0.60:.0f}" width="{w * 0.55:.0f}" height="2" fill="url(#bar)"/>
<text x="{w * 0.07:.0f}" y="{h * 0.70:.0f}" font-family="DejaVu Sans, Arial, sans-serif"
      font-size="{h * 0.05:.0f}" fill="#c8c8c8">{subtitle}</text>
{extra}
""")


write(os.path.join(ICONS, "splash.svg"),
      title_picture(320, 240, "Unreal &amp; Unreal Tournament server browser"))
write(os.path.join(ICONS, "about.svg"), title_picture(400, 300, "Server browser for Unreal &amp; Unreal Tournament",
      '<text x="28" y="262" font-family="DejaVu Sans, Arial, sans-serif" font-size="11" fill="#7a7a7a">'
      'Free software under the GNU GPL, version 3 or later.</text>'))
write(os.path.join(ICONS, "credits-top.svg"), svg(200, 48, f"""
<text x="100" y="32" text-anchor="middle" font-family="DejaVu Sans, Arial, sans-serif" font-weight="bold"
      font-size="26" letter-spacing="2" fill="{LIME}">ORVANE</text>"""))


# --- Sounds ------------------------------------------------------------------------
RATE = 22050


def write_wav(path, samples):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", max(-32767, min(32767, int(s * 32767)))) for s in samples))


def tone(freqs, dur, vol=0.4, attack=0.005, release=0.05, kind="sine", slide=1.0):
    n = int(RATE * dur)
    out = []
    phase = [0.0] * len(freqs)
    for i in range(n):
        t = i / RATE
        env = min(1.0, t / attack) if attack > 0 else 1.0
        if t > dur - release:
            env *= max(0.0, (dur - t) / release)
        s = 0.0
        for k, f in enumerate(freqs):
            f_now = f * (slide ** (t / dur))
            phase[k] += 2 * math.pi * f_now / RATE
            if kind == "square":
                s += 1.0 if math.sin(phase[k]) >= 0 else -1.0
            else:
                s += math.sin(phase[k])
        out.append(vol * env * s / len(freqs))
    return out


def noise(dur, vol=0.4, decay=20.0, seed=1):
    rng = random.Random(seed)
    n = int(RATE * dur)
    prev = 0.0
    out = []
    for i in range(n):
        t = i / RATE
        prev = 0.6 * prev + 0.4 * rng.uniform(-1, 1)
        out.append(vol * prev * math.exp(-decay * t))
    return out


def concat(*parts):
    out = []
    for p in parts:
        out.extend(p)
    return out


def silence(dur):
    return [0.0] * int(RATE * dur)


sounds = {
    "beep.wav": tone([1320], 0.07, 0.35),
    "select.wav": concat(tone([880], 0.04, 0.3), tone([1175], 0.05, 0.3)),
    "dropdown.wav": tone([700], 0.09, 0.35, slide=0.6),
    "confirm.wav": concat(tone([660], 0.05, 0.3), silence(0.02), tone([990], 0.08, 0.3)),
    "respawn.wav": tone([330, 495], 0.35, 0.35, release=0.2, slide=2.2),
    "shot.wav": noise(0.25, 0.6, 18.0, seed=3),
    "amp.wav": tone([220, 330, 440], 0.45, 0.35, release=0.3, slide=1.5),
    "prepare.wav": concat(tone([523], 0.12, 0.3), tone([659], 0.12, 0.3), tone([784], 0.25, 0.3, release=0.15)),
    "exit.wav": concat(tone([784], 0.12, 0.3), tone([659], 0.12, 0.3), tone([523], 0.3, 0.3, release=0.2)),
    "whawhaw.wav": concat(tone([440], 0.25, 0.35, slide=0.5), tone([392], 0.35, 0.35, slide=0.5, release=0.2)),
    # The checker's default alarm: two soft bell-like tones, high then low, played twice.
    "warning.wav": concat(
        *[concat(tone([988, 1976], 0.17, 0.38, attack=0.01, release=0.09), silence(0.03),
                 tone([784, 1568], 0.22, 0.38, attack=0.01, release=0.14), silence(0.12))
          for _ in range(2)]),
}
for name, samples in sounds.items():
    write_wav(os.path.join(DATA_SOUNDS, name), samples)

# The about box's own looping tune, carried inside the program.
melody = [523, 659, 784, 1046, 784, 659, 587, 698, 880, 698, 587, 494]
loop = concat(*[tone([f, f / 2], 0.16, 0.22, release=0.06, kind="square") for f in melody])
write_wav(os.path.join(SOUNDS, "WAVE_1.wav"), loop)
print("art written")
