#!/usr/bin/env python3
"""Prints the figures of one tools/bench.sh run as one Markdown table, each beside its peer.

Reads from the folder given:
- *.json: Google Benchmark output with repetitions; <program>.noop.json is a run on Mesa's
  no-op driver. A benchmark BM_<Figure> beside a
  BM_<Figure>_Peer in the same program is a figure: the ratio of their real times, repetition
  by repetition, as minimum / median. BM_PresentIntervals and BM_LongSession report counters
  instead and get rows of their own.
- start.jsonl, start-picture.jsonl, idle.jsonl: the lines of bench/startup_probe (the second
  beside `plain_window picture`).
"""
import json
import pathlib
import statistics
import sys


def repetitions(entries):
    """Iteration entries by benchmark name, in repetition order. A fixed iteration count and the
    kind of time are not part of the name ("BM_X/iterations:1/manual_time" is "BM_X"); arguments
    are ("BM_X/64")."""
    runs = {}
    for entry in entries:
        if entry.get("run_type", "iteration") != "iteration" or entry.get("error_occurred"):
            continue
        name = "/".join(part for part in entry["run_name"].split("/")
                        if not part.startswith("iterations:") and part not in ("manual_time", "real_time"))
        runs.setdefault(name, []).append(entry)
    return runs


def peer_name(name):
    """BM_X/64 has the peer BM_X_Peer/64."""
    base, _, arguments = name.partition("/")
    return base + "_Peer" + ("/" + arguments if arguments else "")


def program_label(path):
    """sprite_bench.noop.json holds a run on Mesa's no-op driver (GALLIUM_NOOP=1)."""
    program, _, variant = path.stem.partition(".")
    return program + (", no-op driver" if variant == "noop" else "")


def min_median(values):
    return f"{min(values):.2f} / {statistics.median(values):.2f}"


def pair_rows(folder):
    rows = []
    for path in sorted(folder.glob("*.json")):
        runs = repetitions(json.loads(path.read_text()).get("benchmarks", []))
        for name, own in runs.items():
            peer = runs.get(peer_name(name))
            if "_Peer" in name or not peer or name.startswith("BM_PresentIntervals"):
                continue
            ratios = [a["real_time"] / b["real_time"] for a, b in zip(own, peer) if b["real_time"] > 0]
            if ratios:
                rows.append((f"`{name[3:]}` ({program_label(path)})", f"`{peer_name(name)[3:]}`",
                             min_median(ratios), ""))
    return rows


def counter_rows(folder):
    rows = []
    for path in sorted(folder.glob("*.json")):
        runs = repetitions(json.loads(path.read_text()).get("benchmarks", []))
        own, peer = runs.get("BM_PresentIntervals"), runs.get("BM_PresentIntervals_Peer")
        if own and peer:
            def spread(key, runs):
                return statistics.median(r[key] for r in runs)
            rows.append(("Present intervals at 50 Hz, 500 frames: median, p99 (ms)",
                         "sleeping to absolute 20 ms deadlines with `clock_nanosleep`",
                         f"{spread('median_ms', own):.2f}, {spread('p99_ms', own):.2f} against "
                         f"{spread('median_ms', peer):.2f}, {spread('p99_ms', peer):.2f}",
                         "median 20.00 ± 0.05, p99 within 0.2 of the peer's"))
        startup = runs.get("BM_StartupWork")
        if startup:
            median = statistics.median
            work = [r["resources_ms"] + r["first_board_ms"] for r in startup]
            rows.append(("Start-up in-process, cold: processor time of the loading screen with the "
                         "resources, and of the first board (ms)",
                         "opening the window in the same process "
                         f"({median(r['window_ms'] for r in startup):.0f} ms)",
                         f"{min(work):.0f} / {median(work):.0f} "
                         f"({median(r['resources_ms'] for r in startup):.0f} + "
                         f"{median(r['first_board_ms'] for r in startup):.0f})", "≤ 40"))
        session = runs.get("BM_LongSession")
        if session:
            s = session[0]
            rows.append((f"Memory over a long session: after missions 10, 110 and 210 (MiB; "
                         f"{s['missions']:.0f} missions, {s['cross_fades']:.0f} with a cross-fade)",
                         "the same game after its first 10 missions",
                         f"RSS {s['rss_after_10_MiB']:.1f} → {s['rss_after_110_MiB']:.1f} → "
                         f"{s['rss_after_210_MiB']:.1f} ({s['rss_growth_MiB']:+.1f}); heap in use "
                         f"{s['heap_after_10_MiB']:.1f} → {s['heap_after_110_MiB']:.1f} → "
                         f"{s['heap_after_210_MiB']:.1f} ({s['heap_growth_MiB']:+.1f})",
                         "≤ 2 MiB growth"))
    return rows


def probe_lines(path):
    if not path.exists():
        return []
    return [json.loads(line) for line in path.read_text().splitlines() if line.startswith("{")]


def probe_rows(folder):
    rows = []
    start = [line for line in probe_lines(folder / "start.jsonl") if "error" not in line]
    own = [line for line in start if line["who"] == "program"]
    peer = [line for line in start if line["who"] == "peer"]
    pairs = list(zip(own, peer))
    if pairs:
        walls = [a["wall_ms"] / b["wall_ms"] for a, b in pairs]
        work = [a["cpu_ms"] - b["cpu_ms"] for a, b in pairs]
        memory = [a["hwm_mib"] - b["hwm_mib"] for a, b in pairs]
        median = statistics.median
        rows.append(("Start-up: process start to the first presented board frame, introduction off",
                     "a plain SDL2 + OpenGL program: 512 x 512 window, one cleared frame",
                     f"{min_median(walls)} ({median(a['wall_ms'] for a in own):.0f} ms against "
                     f"{median(b['wall_ms'] for b in peer):.0f} ms)", ""))
        rows.append(("Start-up: the program's own work, processor time to the board frame over "
                     "the peer's to its frame (ms)", "the same plain program",
                     f"{min(work):.0f} / {median(work):.0f}", "≤ 40"))
        rows.append(("Peak memory (VmHWM) at the board, the program's share over the peer's (MiB)",
                     "the same plain program",
                     f"{min(memory):.1f} / {median(memory):.1f} ({median(a['hwm_mib'] for a in own):.1f} "
                     f"against {median(b['hwm_mib'] for b in peer):.1f})", "≤ 20"))
    rows += picture_peer_rows(folder)
    idle = {line["who"]: line for line in probe_lines(folder / "idle.jsonl") if "error" not in line}
    if "program" in idle and "peer" in idle:
        rows.append(("Idle processor time on the board over 10 s (% of a core)",
                     "an SDL program that waits in `SDL_WaitEventTimeout` and redraws a 512 x 512 "
                     "picture every 500 ms",
                     f"{100 * idle['program']['cpu_share']:.2f} against {100 * idle['peer']['cpu_share']:.2f}",
                     "≤ 1"))
        if "hwm_mib" in idle["program"] and "hwm_mib" in idle["peer"]:
            own_hwm, peer_hwm = idle["program"]["hwm_mib"], idle["peer"]["hwm_mib"]
            rows.append(("Peak memory (VmHWM) after the idle time, the program's share over the "
                         "peer's (MiB)", "the same SDL program, which has drawn its picture",
                         f"{own_hwm - peer_hwm:.1f} ({own_hwm:.1f} against {peer_hwm:.1f})", ""))
    return rows


def picture_peer_rows(folder):
    """The start-up beside a plain program whose first frame also draws a textured picture: the
    part of the own work and memory that any drawing costs under software OpenGL drops out."""
    start = [line for line in probe_lines(folder / "start-picture.jsonl") if "error" not in line]
    pairs = list(zip([l for l in start if l["who"] == "program"], [l for l in start if l["who"] == "peer"]))
    if not pairs:
        return []
    work = [a["cpu_ms"] - b["cpu_ms"] for a, b in pairs]
    memory = [a["hwm_mib"] - b["hwm_mib"] for a, b in pairs]
    median = statistics.median
    peer = "the same plain program, its first frame drawing a 384 x 384 textured picture"
    return [("Start-up: the program's own work over a peer that draws (ms)", peer,
             f"{min(work):.0f} / {median(work):.0f}", ""),
            ("Peak memory (VmHWM) at the board, the program's share over a peer that draws (MiB)", peer,
             f"{min(memory):.1f} / {median(memory):.1f} ({median(a['hwm_mib'] for a, _ in pairs):.1f} "
             f"against {median(b['hwm_mib'] for _, b in pairs):.1f})", "")]


def main():
    folder = pathlib.Path(sys.argv[1])
    rows = pair_rows(folder) + counter_rows(folder) + probe_rows(folder)
    print("| Figure | Peer, same run | Measured (ratio: min / median) | Goal |")
    print("|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")


if __name__ == "__main__":
    main()
