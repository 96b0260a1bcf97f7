#!/usr/bin/env python3
"""Builds a reproducible folder tree for the benchmarks, outside the repository.

Nested folders (some empty), names with spaces and non-ASCII letters, files of varied sizes
(sparse, so the tree is cheap to make). The same arguments always give the same tree.
"""
import argparse
import os
import random
import shutil

WORDS = ["Music", "Video", "Photos", "My Documents", "Projects", "Übung", "Café", "naïve",
         "Ænima", "Señor", "Dvořák", "Tschüss", "résumé", "backup 2009", "node_modules", "src"]
EXTS = [".txt", ".mp3", ".avi", ".jpg", ".doc", ".exe", ".zip", ".dat", ".png", ".wma", ""]


def build(root, files, seed, fanout):
    rng = random.Random(seed)
    if os.path.exists(root):
        shutil.rmtree(root)
    os.makedirs(root)
    folders = [root]
    made = 0
    while made < files:
        parent = folders[rng.randrange(len(folders))]
        depth = parent.count(os.sep) - root.count(os.sep)
        if depth < 12 and rng.random() < 0.5:
            name = f"{rng.choice(WORDS)} {len(folders)}"
            path = os.path.join(parent, name)
            os.mkdir(path)
            folders.append(path)
            if rng.random() < 0.05:
                continue  # stays empty
        count = min(files - made, rng.randint(1, fanout))
        for _ in range(count):
            name = f"{rng.choice(WORDS)} file {made}{rng.choice(EXTS)}"
            path = os.path.join(parent, name)
            with open(path, "wb") as out:
                size = rng.choice([0, 1, 100, 4096, 70000, 3_500_000])
                if size:
                    out.truncate(size)
            made += 1
    return made, len(folders)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("root")
    parser.add_argument("--files", type=int, default=200_000)
    parser.add_argument("--seed", type=int, default=2009)
    parser.add_argument("--fanout", type=int, default=40)
    args = parser.parse_args()
    made, folders = build(os.path.abspath(args.root), args.files, args.seed, args.fanout)
    print(f"tree {args.root}: {made} files in {folders} folders")


if __name__ == "__main__":
    main()
