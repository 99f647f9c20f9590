#!/usr/bin/env python3
"""Writes the example data files and the example plot. Run from anywhere; the files land beside
this script. The plot is saved by the program itself: give its path as the argument (by default
build/src/app/plotvane of this source tree); without it only the data files are written.

Header lines hold no bare numbers, since any number on a line makes it a data line.
"""
import math
import os
import random
import shutil
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))


def write(name, header, rows):
    with open(os.path.join(here, name), "w", newline="\n") as f:
        for line in header:
            f.write(line + "\n")
        for row in rows:
            f.write(" ".join("%.6g" % v for v in row) + "\n")


# A damped oscillation: y = exp(-t/tau) cos(omega t), tau 3.5 s, frequency 0.8 Hz.
write("damped-oscillation.dat",
      ["Damped oscillation: y = exp(-t/tau) cos(omega t)", "t(s) y"],
      [(t, math.exp(-t / 3.5) * math.cos(2 * math.pi * 0.8 * t))
       for t in (i * 0.05 for i in range(241))])

# Counts of a decaying source with Poisson errors: counts, then the one-sigma error.
rng = random.Random(7)
rows = []
for i in range(30):
    t = i * 0.5
    expected = 1000.0 * math.exp(-t / 2.5) + 20.0
    counts = max(1.0, round(rng.gauss(expected, math.sqrt(expected))))
    rows.append((t, counts, round(math.sqrt(counts), 2)))
write("decay-with-errors.dat",
      ["Radioactive decay with counting errors", "t(s) counts error"], rows)

# A power law y = a x^n over three decades, with a little scatter; plot it on log axes.
rng = random.Random(11)
write("power-law.dat",
      ["Power law y = a x^n (use logarithmic axes)", "x y"],
      [(x, 2.5 * x ** -1.5 * (1.0 + rng.gauss(0.0, 0.03)))
       for x in (10 ** (i / 12.0) for i in range(37))])



def save_plot(program, data, plot):
    """Saves the plot of a data file from a copy of both in a temporary directory that is
    removed afterwards. A document stores the absolute path of its data files; this one names a
    directory that is gone, so wherever the plot is opened it finds its data file beside itself,
    and never a file of the machine that made it. The program runs with its own default
    settings, not the profile of whoever runs this script."""
    with tempfile.TemporaryDirectory(prefix="plotvane-example-") as tmp:
        shutil.copy(os.path.join(here, data), tmp)
        env = dict(os.environ, PLOTVANE_PROFILE=os.path.join(tmp, "plotvane.ini"))
        subprocess.run([program, "--export", os.path.join(tmp, plot), os.path.join(tmp, data)],
                       check=True, env=env)
        shutil.copy(os.path.join(tmp, plot), os.path.join(here, plot))


program = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "build", "src", "app",
                                                             "plotvane")
if os.access(program, os.X_OK):
    # The plot the run script opens.
    save_plot(program, "damped-oscillation.dat", "damped-oscillation.pvn")
else:
    print("%s not found: the plot is left as it is" % program, file=sys.stderr)
