#!/usr/bin/env python3
"""The gaps between the frames each rig of a fleet sent, from the time stamps of the OUT entries of
the WITS logs under ROOT/Fleet/Rig*/WitsLogFiles (the moments the simulator wrote each frame).
Prints one JSON object."""
import datetime
import glob
import json
import sys


def main():
    gaps = []
    rigs = 0
    for path in glob.glob(sys.argv[1] + "/Fleet/Rig*/WitsLogFiles/*.txt"):
        times = []
        with open(path, "rb") as log:
            for line in log:
                if line.startswith(b"OUT "):
                    stamp = line[4:28].decode()  # a refused frame's entry goes on with the reason
                    times.append(datetime.datetime.strptime(stamp, "%Y-%b-%d %H:%M:%S.%f").timestamp())
        rigs += 1 if times else 0
        gaps += [b - a for a, b in zip(times, times[1:])]
    outside = [g for g in gaps if g < 1.999 or g > 2.101]  # the stamps have whole milliseconds
    print(json.dumps({"rigs": rigs, "gaps": len(gaps), "min_gap": min(gaps) if gaps else None,
                      "max_gap": max(gaps) if gaps else None, "outside": len(outside)}))


if __name__ == "__main__":
    main()
