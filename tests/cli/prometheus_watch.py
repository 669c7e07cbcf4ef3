"""Watches Prometheus's HTTP API on loopback until probe_success shows 1 for the accepting target and 0 for
the refusing one, and Wardel's alert for the refusing target has gone from pending to firing with Wardel's
alert text, whose time is the one the alert became active and stays so while it fires (a few evaluations
more are watched). Exits 1 with what it saw when that does not happen in time.
Usage: prometheus_watch.py PROMETHEUS_PORT ACCEPTING_PORT REFUSING_PORT [ACCEPTING_IPV6_PORT]"""
import datetime
import json
import re
import sys
import time
import urllib.parse
import urllib.request

DEADLINE_SECONDS = 45
FIRING_WATCHED_SECONDS = 3  # the firing alert's text is read over this many rule evaluations (one a second)
DESCRIPTION = "accepting, caf\u00e9 \\\\ tab\there"


# Straight to loopback, whatever proxy the environment names.
OPENER = urllib.request.build_opener(urllib.request.ProxyHandler({}))


def get(port, path):
    with OPENER.open(f"http://127.0.0.1:{port}{path}", timeout=2) as reply:
        return json.load(reply)["data"]


def main():
    port, accepting, refusing = sys.argv[1:4]
    accepting6 = sys.argv[4] if len(sys.argv) > 4 and sys.argv[4] not in ("", "0") else None
    want = {f"127.0.0.1:{accepting}": "1", f"127.0.0.1:{refusing}": "0"}
    if accepting6:
        want[f"[::1]:{accepting6}"] = "1"
    refused = f"127.0.0.1:{refusing}"
    summary = re.compile(rf"^Alert for 127\.0\.0\.1 {refusing} Down\((\d\d:\d\d:\d\d)\) refusing$")
    states, probes, seen, firing_since = [], {}, "nothing yet", None
    end = time.monotonic() + DEADLINE_SECONDS
    while time.monotonic() < end:
        time.sleep(0.2)
        try:
            query = urllib.parse.quote("probe_success")
            results = get(port, f"/api/v1/query?query={query}")["result"]
            alerts = get(port, "/api/v1/alerts")["alerts"]
        except (OSError, ValueError, KeyError) as error:
            seen = f"API not ready: {error}"
            continue
        for result in results:
            instance = result["metric"]["instance"]
            probes[instance] = result["value"][1]
            if instance == f"127.0.0.1:{accepting}" and result["metric"].get("description") != DESCRIPTION:
                print(f"description label {result['metric'].get('description')!r}", file=sys.stderr)
                return 1
        for alert in alerts:
            instance = alert["labels"].get("instance")
            if instance in want and instance != refused:
                print(f"alert for a target that answers: {alert}", file=sys.stderr)
                return 1
            if instance != refused:
                continue
            text = summary.match(alert["annotations"].get("summary", ""))
            if not text:
                print(f"alert text {alert['annotations']}", file=sys.stderr)
                return 1
            # Prometheus and this script read the same local time zone.
            active = datetime.datetime.fromisoformat(alert["activeAt"][:19]).replace(tzinfo=datetime.timezone.utc)
            if text.group(1) != active.astimezone().strftime("%H:%M:%S"):
                print(f"alert text {alert['annotations']} for an alert active at {alert['activeAt']}", file=sys.stderr)
                return 1
            if alert["state"] == "firing" and firing_since is None:
                firing_since = time.monotonic()
            if not states or states[-1] != alert["state"]:
                states.append(alert["state"])
        seen = f"probes {probes}, alert states {states}"
        probes_right = all(probes.get(instance) == value for instance, value in want.items())
        if probes_right and states[-2:] == ["pending", "firing"] and (
            time.monotonic() - firing_since >= FIRING_WATCHED_SECONDS
        ):
            print(f"seen: {seen}")
            return 0
    print(f"not in {DEADLINE_SECONDS} s: {seen}", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
