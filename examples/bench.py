#!/usr/bin/env python3
"""A test bench for Vorn Rig Sim through its control API, with Python's standard library only.

Starts a run, trips out, waits for the mode change on the event stream, then prints what the
receiver sent back. Start the simulator first, for example:

    vornrigsim --headless --control 8080

and attach the receiver under test to the simulator's WITS link. Then:

    python3 examples/bench.py --url http://127.0.0.1:8080 [--token TOKEN] [--until-trip-ends]

--until-trip-ends waits for the mode change the engine makes itself, when the trip out reaches the
surface (Trip Out becomes Trip In), instead of the one this script asks for.
"""

import argparse
import json
import os
import sys
import urllib.error
import urllib.request


class Rig:
    def __init__(self, url, token):
        self.base = url.rstrip("/") + "/api/v1/"
        self.headers = {"Authorization": "Bearer " + token} if token else {}

    def call(self, method, path, body=None, timeout=10):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(self.base + path, data=data, method=method, headers=self.headers)
        try:
            with urllib.request.urlopen(request, timeout=timeout) as answer:
                return json.load(answer)
        except urllib.error.HTTPError as error:
            reason = json.load(error).get("error", error.reason)
            sys.exit(f"{method} {path}: {error.code} {reason}")

    def events(self, timeout):
        """Opens the event stream now; gives the events, each a dict, as they come."""
        request = urllib.request.Request(self.base + "events", headers=self.headers)
        stream = urllib.request.urlopen(request, timeout=timeout)

        def read():
            for line in stream:
                if line.startswith(b"data: "):
                    yield json.loads(line[6:])

        return read()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--url", default="http://127.0.0.1:8080")
    parser.add_argument("--token", default=os.environ.get("VORN_RIG_SIM_TOKEN"))
    parser.add_argument("--until-trip-ends", action="store_true")
    parser.add_argument("--timeout", type=float, default=600, help="seconds to wait for the mode change")
    args = parser.parse_args()
    rig = Rig(args.url, args.token)

    status = rig.call("GET", "status")
    print(f"simulator {status['version']}, mode {status['mode']['name']}, running {status['running']}")
    events = rig.events(args.timeout)  # opened before the commands, so no event is missed

    # Asking for the run or the mode the rig already has changes nothing, and no event comes.
    rig.call("POST", "run", {"running": True})
    print("run already running" if status["running"] else "run started")
    already_tripping = status["mode"]["name"] == "Trip Out"
    rig.call("POST", "mode", {"mode": "Trip Out"})
    print("already tripping out" if already_tripping else "tripping out")

    for event in [] if already_tripping and not args.until_trip_ends else events:
        if event["event"] == "mode" and (event["byEngine"] or not args.until_trip_ends):
            who = "the engine" if event["byEngine"] else "the bench"
            print(f"mode changed to {event['name']} by {who}")
            break
        if event["event"] == "link":
            print(f"link: {event['state']} {event['status']}")

    received = rig.call("GET", "received")
    if not received:
        print("the receiver sent nothing yet")
    for item in received:
        print(f"{item['record']:02d}{item['item']:02d} {item['description']}: {item['valueText']} "
              f"({item['ageSeconds']:.1f} s ago)")


if __name__ == "__main__":
    main()
