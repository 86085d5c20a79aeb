#!/usr/bin/env python3
"""Lays out the benchmarks' small files: COUNT files of 1 to 64 KiB of random bytes in 200
folders below ROOT, the same for the same COUNT. Used where the benchmark's own generator
(zeb_bench) cannot run: under Wine and in the window's benchmark."""
import os
import random
import sys

root, count = sys.argv[1], int(sys.argv[2])
random.seed(2000)
for i in range(count):
    folder = os.path.join(root, "f%03d" % (i % 200))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "m%05d.dat" % i), "wb") as f:
        f.write(random.randbytes(random.randint(1, 64) * 1024))
