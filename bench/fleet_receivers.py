#!/usr/bin/env python3
"""Receivers for a fleet benchmark: one TCP client on each of COUNT consecutive ports from BASE,
reading for SECONDS. Prints one JSON object: frames received, rigs heard, and the gaps between each
rig's frames (the first frame of each rig starts its count)."""
import json
import selectors
import socket
import sys
import time


def main():
    base, count, seconds = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3])
    selector = selectors.DefaultSelector()
    pending = list(range(count))
    deadline = time.monotonic() + 60
    while pending and time.monotonic() < deadline:
        waiting = []
        for rig in pending:
            sock = socket.socket()
            try:
                sock.connect(("127.0.0.1", base + rig))
            except OSError:
                sock.close()
                waiting.append(rig)
                continue
            sock.setblocking(False)
            selector.register(sock, selectors.EVENT_READ, {"rig": rig, "text": b"", "times": []})
        pending = waiting
        if pending:
            time.sleep(0.1)
    # Frames that waited while the others connected come in bursts: gaps count from 3 s on.
    counted_from = time.monotonic() + 3
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        for key, _ in selector.select(timeout=0.5):
            data = key.data
            chunk = key.fileobj.recv(65536)
            if not chunk:
                selector.unregister(key.fileobj)
                continue
            now = time.monotonic()
            data["text"] += chunk
            while True:
                stop = data["text"].find(b"!!\r\n")
                if stop < 0:
                    break
                if now >= counted_from:
                    data["times"].append(now)
                data["text"] = data["text"][stop + 4:]
    gaps = []
    heard = 0
    frames = 0
    for key in list(selector.get_map().values()):
        times = key.data["times"]
        frames += len(times)
        heard += 1 if times else 0
        gaps += [b - a for a, b in zip(times, times[1:])]
    outside = [g for g in gaps if g < 1.999 or g > 2.101]  # a millisecond for the clocks' resolution
    print(json.dumps({
        "connected": count - len(pending), "rigs_heard": heard, "frames": frames, "gaps": len(gaps),
        "min_gap": min(gaps) if gaps else None, "max_gap": max(gaps) if gaps else None,
        "gaps_outside_2.0_2.1": len(outside),
        "worst_outside": sorted(outside, key=lambda g: abs(g - 2.05))[-5:],
    }))


if __name__ == "__main__":
    main()
