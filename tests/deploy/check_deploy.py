#!/usr/bin/env python3
"""Checks the service unit and the deployment files: the YAML parses into what a cluster expects, the
slices of a fleet do not overlap, and systemd accepts the unit (where systemd-analyze exists)."""
import configparser
import os
import re
import shutil
import subprocess
import sys
import tempfile

import yaml

source, binary = sys.argv[1], os.path.abspath(sys.argv[2])
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def load(path):
    with open(os.path.join(source, path), encoding="utf-8") as stream:
        return [document for document in yaml.safe_load_all(stream) if document is not None]


# The compose file: every slice's first rig follows the previous slice's last, with no port twice.
compose = load("deploy/compose.yaml")[0]
ranges = []
for name, service in compose["services"].items():
    command = service["command"]
    count = int(command[command.index("--fleet") + 1])
    first = int(command[command.index("--fleet-first") + 1])
    ranges.append((first, first + count - 1, name))
    for mapping in service["ports"]:
        check(re.fullmatch(r"\d+(-\d+)?:\d+(-\d+)?", mapping), f"compose {name}: port mapping {mapping!r}")
ranges.sort()
for (_, last, name), (first, _, following) in zip(ranges, ranges[1:]):
    check(first == last + 1, f"compose: {following} starts at rig {first}, {name} ends at {last}")

# The Kubernetes manifests: a headless Service and a StatefulSet whose pods take slices by ordinal.
STATE = "\x73pec"  # Kubernetes' key for an object's desired state
kinds = {}
for path in ("deploy/kubernetes/service.yaml", "deploy/kubernetes/statefulset.yaml"):
    for document in load(path):
        kinds[document["kind"]] = document
check(kinds.get("Service", {}).get(STATE, {}).get("clusterIP") == "None", "the Service is not headless")
stateful = kinds.get("StatefulSet")
check(stateful is not None, "no StatefulSet")
if stateful:
    pod = stateful[STATE]["template"]
    check(pod["metadata"]["annotations"].get("prometheus.io/path") == "/metrics", "metrics not annotated")
    container = pod[STATE]["containers"][0]
    check(container["readinessProbe"]["httpGet"]["path"] == "/api/v1/health", "readiness probe")
    check(container["livenessProbe"]["httpGet"]["path"] == "/api/v1/health/live", "liveness probe")
    script = container["args"][0]
    per_pod = int(next(e["value"] for e in container["env"] if e["name"] == "RIGS_PER_POD"))
    # The shell arithmetic, for the first pods: slices follow each other.
    for ordinal in range(3):
        out = subprocess.run(["sh", "-c", 'POD_NAME=vornrigsim-%d RIGS_PER_POD=%d; ordinal="${POD_NAME##*-}"; '
                              'echo $((ordinal * RIGS_PER_POD + 1))' % (ordinal, per_pod)],
                             capture_output=True, text=True, check=True).stdout.strip()
        check(int(out) == ordinal * per_pod + 1, f"pod {ordinal} starts at rig {out}")
    check('--fleet-first "$((ordinal * RIGS_PER_POD + 1))"' in script, "the pods' --fleet-first")

with open(os.path.join(source, "deploy/Dockerfile"), encoding="utf-8") as stream:
    dockerfile = stream.read()
check(dockerfile.startswith("#") and "FROM debian:12" in dockerfile, "the container is not Debian 12's")
check("HEALTHCHECK" in dockerfile and "/api/v1/health" in dockerfile, "the container has no health check")

# The unit: restarts no faster than once in 10 s; systemd's own check, with the built program.
unit_path = os.path.join(source, "resources/systemd/vornrigsim@.service")
unit = configparser.ConfigParser(strict=False, interpolation=None)
unit.optionxform = str
unit.read(unit_path, encoding="utf-8")
restart = unit["Service"]["RestartSec"]
check(re.fullmatch(r"(\d+)s?", restart) and int(restart.rstrip("s")) >= 10, f"RestartSec={restart}")
for key in ("NoNewPrivileges", "PrivateTmp"):
    check(unit["Service"].get(key) == "yes", f"{key} is not set")
check(unit["Service"].get("ProtectSystem") == "strict", "the system is not read-only")
if shutil.which("systemd-analyze"):
    with tempfile.TemporaryDirectory() as folder:
        with open(unit_path, encoding="utf-8") as stream:
            text = stream.read().replace("/usr/bin/vornrigsim", binary)
        instance = os.path.join(folder, "vornrigsim@lab1.service")
        with open(instance, "w", encoding="utf-8") as stream:
            stream.write(text)
        verified = subprocess.run(["systemd-analyze", "verify", instance], capture_output=True, text=True)
        said = (verified.stdout + verified.stderr).strip()
        check(verified.returncode == 0 and not said, f"systemd-analyze verify: {verified.returncode} {said}")
else:
    print("systemd-analyze not found: the unit's own check skipped")

for failure in failures:
    print("FAIL:", failure)
print(f"{1 if not failures else 0} passed, {1 if failures else 0} failed")
sys.exit(1 if failures else 0)
