#!/usr/bin/env python3
"""Turns velsor_bench's JSON (and bench-cli.sh's JSON lines) into docs/benchmarks.md,
and puts the headline rows into the README between its bench markers.

  scripts/bench_report.py --bench results.json [--bench more.json]... [--cli cli.jsonl] --out docs/benchmarks.md
                          [--readme README.md] [--note TEXT]...
"""
import argparse
import json
import os
import platform
import re
import statistics
import subprocess
from collections import defaultdict

KIB16, MIB = 16 * 1024, 1024 * 1024
PEERS = ("openssl", "nettle", "gcrypt")
PEER_NAMES = {"openssl": "OpenSSL", "nettle": "Nettle", "gcrypt": "libgcrypt"}
# Rows that no library offers, compared with a labelled reference instead.
REFERENCES = {
    "Ice-64": ("DES-64", "velsor", "Velsor DES"),
    "ThinIce-64": ("DES-64", "velsor", "Velsor DES"),
    "Ice2-128": ("DES-64", "velsor", "Velsor DES"),
    "Tea-128": ("Tea-128", "xtea-loop", "XTEA loop"),
}
README_BEGIN, README_END = "<!-- bench:begin -->", "<!-- bench:end -->"


def load_runs(paths):
    """{(operation, row, implementation, size): [run, ...]} over the repetitions; a benchmark in a later
    file replaces the same benchmark in an earlier one."""
    context, runs = {}, {}
    for path in paths:
        with open(path) as f:
            data = json.load(f)
        context.update(data["context"])
        fresh = defaultdict(list)
        for b in data["benchmarks"]:
            if b.get("run_type") != "iteration" or b.get("error_occurred"):
                continue
            parts = b["name"].split("/")
            fresh[(parts[0], parts[1], parts[2], int(parts[3]))].append(b)
        runs.update(fresh)
    return context, runs


def median_of(runs, key):
    values = [r[key] for r in runs if key in r]
    return statistics.median(values) if values else None


def mbps(runs, op, row, impl, size):
    r = runs.get((op, row, impl, size))
    return median_of(r, "bytes_per_second") / 1e6 if r else None


def fmt(v, digits=0):
    if v is None:
        return "–"
    if digits == 0 and v < 10:
        digits = 1
    return f"{v:,.{digits}f}"


def ratio(a, b):
    return f"{a / b:.2f}" if a is not None and b else "–"


def bad_peers(context):
    """Peers whose output differed from Velsor's without a stated reason: excluded."""
    bad = set()
    for key, verdict in context.items():
        if key.startswith("check ") and verdict.startswith("MISMATCH"):
            _, kind, row, impl = key.split(" ", 3)
            bad.add((row, impl))
    return bad


def best_peer(runs, op, row, size, bad):
    best = None
    for impl in PEERS:
        if (row, impl) in bad:
            continue
        v = mbps(runs, op, row, impl, size)
        if v is not None and (best is None or v > best[0]):
            best = (v, PEER_NAMES[impl])
    if best is None and row in REFERENCES:
        ref_row, ref_impl, label = REFERENCES[row]
        v = mbps(runs, op, ref_row, ref_impl, size)
        if v is not None:
            best = (v, "reference: " + label)
    return best


def rows_of(runs, ops):
    seen = []
    for (op, row, impl, _size) in runs:
        if op in ops and impl == "velsor" and row not in seen:
            seen.append(row)
    return seen


def cipher_table(runs, size, bad):
    out = ["| Cipher | Key bits | Velsor enc / CBC dec (MB/s) | Best peer enc | Best peer CBC dec | Ratio enc / dec |",
           "|---|---|---|---|---|---|"]
    for row in rows_of(runs, ("cbc_enc", "stream")):
        name, bits = row.rsplit("-", 1)
        if ("stream", row, "velsor", size) in runs:
            v = mbps(runs, "stream", row, "velsor", size)
            p = best_peer(runs, "stream", row, size, bad)
            out.append(f"| {name} (stream) | {bits} | {fmt(v)} | {peer_cell(p)} | | {ratio(v, p and p[0])} |")
            continue
        ve, vd = mbps(runs, "cbc_enc", row, "velsor", size), mbps(runs, "cbc_dec", row, "velsor", size)
        pe, pd = best_peer(runs, "cbc_enc", row, size, bad), best_peer(runs, "cbc_dec", row, size, bad)
        out.append(f"| {name} | {bits} | {fmt(ve)} / {fmt(vd)} | {peer_cell(pe)} | {peer_cell(pd)} | "
                   f"{ratio(ve, pe and pe[0])} / {ratio(vd, pd and pd[0])} |")
    return out


def peer_cell(p):
    return f"{fmt(p[0])} ({p[1]})" if p else "no peer"


def hash_table(runs, bad):
    out = ["| Hash | Velsor 16 KiB / 1 MiB (MB/s) | Best peer 16 KiB | Best peer 1 MiB | Ratio 16 KiB / 1 MiB |",
           "|---|---|---|---|---|"]
    for row in rows_of(runs, ("hash",)):
        v16, v1 = mbps(runs, "hash", row, "velsor", KIB16), mbps(runs, "hash", row, "velsor", MIB)
        p16, p1 = best_peer(runs, "hash", row, KIB16, bad), best_peer(runs, "hash", row, MIB, bad)
        out.append(f"| {row} | {fmt(v16)} / {fmt(v1)} | {peer_cell(p16)} | {peer_cell(p1)} | "
                   f"{ratio(v16, p16 and p16[0])} / {ratio(v1, p1 and p1[0])} |")
    return out


def codec_raw(runs, cipher):
    """{(direction, text_size): (codec MB/s, raw MB/s, codec/raw time)} for one cipher."""
    result = {}
    for op, direction in (("codec_enc", "encrypt"), ("codec_dec", "decrypt")):
        for (o, row, impl, size), r in runs.items():
            if o == op and row == cipher:
                result[(direction, size)] = (median_of(r, "bytes_per_second") / 1e6, median_of(r, "raw_MBps"),
                                             median_of(r, "x_raw"))
    return result


def codec_table(runs):
    out = ["| Cipher | Text | Encrypt: codec / raw cipher (MB/s) | Encrypt time ÷ raw | "
           "Decrypt: codec / raw cipher (MB/s) | Decrypt time ÷ raw |", "|---|---|---|---|---|---|"]
    for cipher in rows_of(runs, ("codec_enc",)):
        c = codec_raw(runs, cipher)
        for size in sorted({s for (_, s) in c}):
            e, d = c.get(("encrypt", size)), c.get(("decrypt", size))
            out.append(f"| {cipher} | {size // MIB} MiB | {fmt(e and e[0])} / {fmt(e and e[1])} | "
                       f"{fmt(e and e[2], 2)} | {fmt(d and d[0])} / {fmt(d and d[1])} | {fmt(d and d[2], 2)} |")
    return out


def cli_raw_seconds(runs, r):
    """The raw cipher's time over a CLI run's message bytes, at the speed the codec benchmark measured for the
    same cipher, key size and direction (its largest text)."""
    c = codec_raw(runs, r["cipher"])
    sizes = sorted(s for (d, s) in c if d == r["direction"])
    raw_mbps = c[(r["direction"], sizes[-1])][1] if sizes else None
    return r["message_bytes"] / (raw_mbps * 1e6) if raw_mbps else None


def cli_table(cli, runs):
    out = ["| Cipher | Text | Direction | Wall (s) | CPU user + sys (s) | Raw cipher (s) | CPU ÷ raw | "
           "Peak RSS (MiB) | RSS ÷ text |", "|---|---|---|---|---|---|---|---|---|"]
    for r in cli:
        raw_s = cli_raw_seconds(runs, r)
        cpu = r["user_s"] + r["system_s"]
        rss = r["peak_rss_kib"] / 1024
        out.append(f"| {r['cipher']} | {r['text_mib']} MiB | {r['direction']} | {r['wall_mean_s']:.3f} | {cpu:.3f} | "
                   f"{fmt(raw_s, 3)} | {ratio(cpu, raw_s)} | {rss:.0f} | {rss / r['text_mib']:.1f} |")
    return out


def machine():
    model, cores = "unknown CPU", os.cpu_count()
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    flags = ""
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("flags"):
                have = set(line.split(":", 1)[1].split())
                flags = ", ".join(x for x in ("aes", "vaes", "sha_ni", "avx2", "avx512f", "bmi2") if x in have)
                break
    mem = ""
    with open("/proc/meminfo") as f:
        for line in f:
            if line.startswith("MemTotal"):
                mem = f"{int(line.split()[1]) / 1024 / 1024:.0f} GiB"
    return f"{model}, {cores} cores, {mem} RAM, Linux {platform.release()}; CPU features: {flags}"


def versions():
    found = []
    for module, name in (("openssl", "OpenSSL"), ("nettle", "Nettle"), ("libgcrypt", "libgcrypt"),
                         ("benchmark", "Google Benchmark")):
        try:
            v = subprocess.run(["pkg-config", "--modversion", module], capture_output=True, text=True, check=True)
            found.append(f"{name} {v.stdout.strip()}")
        except (OSError, subprocess.CalledProcessError):
            pass
    try:
        v = subprocess.run(["c++", "--version"], capture_output=True, text=True, check=True)
        found.append(v.stdout.splitlines()[0])
    except (OSError, subprocess.CalledProcessError):
        pass
    return ", ".join(found)


def checks(context):
    lines = []
    for key in sorted(k for k in context if k.startswith("check ")):
        verdict = context[key]
        if verdict != "match":
            lines.append(f"- {key[len('check '):]}: {verdict}")
    matched = sum(1 for k in context if k.startswith("check ") and context[k] == "match")
    return matched, lines


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bench", required=True, action="append", help="repeat: later files replace benchmarks")
    ap.add_argument("--cli")
    ap.add_argument("--out", required=True)
    ap.add_argument("--readme")
    ap.add_argument("--note", action="append", default=[])
    args = ap.parse_args()

    context, runs = load_runs(args.bench)
    bad = bad_peers(context)
    cli = [json.loads(l) for l in open(args.cli)] if args.cli and os.path.exists(args.cli) else []
    reps = max((len(r) for r in runs.values()), default=0)
    date = context.get("date", "")[:10]
    header = [
        "# Benchmarks",
        "",
        f"Measured on {date} on {machine()}. Libraries: {versions()}.",
        "",
        "MB/s are 10^6 bytes per second of the benchmark thread's CPU time (user and kernel), the median of "
        f"{reps} repetitions; ratios are Velsor ÷ best peer (above 1: Velsor is faster). The peers run in the "
        "same process (`velsor_bench`), with the same key sizes, CBC direction, key and IV; each peer's output "
        "is first checked against Velsor's. Regenerate with `scripts/bench.sh`.",
    ] + [""] + [n for n in args.note]
    matched, check_lines = checks(context)
    doc = header + [
        "",
        "## Ciphers at 1 MiB (CBC; RC4 as a stream)",
        "",
        *cipher_table(runs, MIB, bad),
        "",
        "Ice, Thin Ice and Ice2 have no peer: they are set beside Velsor's own DES. No library has this TEA "
        "variant: it is set beside a plain loop of the published XTEA rounds (same 32 cycles) in "
        "`bench/reference_loops.cpp`.",
        "",
        "## Ciphers at 16 KiB",
        "",
        *cipher_table(runs, KIB16, bad),
        "",
        "## Hashes",
        "",
        *hash_table(runs, bad),
        "",
        "Haval and RipeMD-128 have no peer among these libraries.",
        "",
        "## The codec end to end (hash SHA256, in process)",
        "",
        "Text of 1 and 16 Mi characters (lines of 62 letters and CR LF) to hex text and back, beside the raw "
        "cipher over the same UTF-16LE message bytes (two per character) in the same key size, timed in "
        "alternation. MB/s count message bytes.",
        "",
        *codec_table(runs),
    ]
    if cli:
        doc += [
            "",
            "## velsor-cli end to end (hash SHA256)",
            "",
            "UTF-8 texts of 1, 16 and 64 MiB (lines of 63 letters and LF) through `velsor-cli encrypt` and "
            "`decrypt`, output to /dev/null; mean of hyperfine runs, peak RSS from `/usr/bin/time`. Raw cipher "
            "time is the message bytes (2 × (bytes + line breaks)) at the raw cipher speed measured above in the "
            "same direction; the ratio uses CPU time, since the wall time on a shared machine includes waiting "
            "for a core.",
            "",
            *cli_table(cli, runs),
        ]
    doc += ["", "## Output checks", "",
            f"{matched} peer cases give exactly Velsor's output."
            + (" The others:" if check_lines else "")]
    if check_lines:
        doc += [""] + check_lines
    with open(args.out, "w") as f:
        f.write("\n".join(doc) + "\n")

    if args.readme:
        update_readme(args.readme, args.out, date, runs, bad, cli)


def headline(runs, bad, cli):
    rows = ["| Algorithm (1 MiB) | Velsor enc / dec (MB/s) | Best peer enc / dec | Ratio |", "|---|---|---|---|"]
    for row in ("Rijndael-128", "Rijndael-256", "Blowfish-128", "3DES-192"):
        ve, vd = mbps(runs, "cbc_enc", row, "velsor", MIB), mbps(runs, "cbc_dec", row, "velsor", MIB)
        pe, pd = best_peer(runs, "cbc_enc", row, MIB, bad), best_peer(runs, "cbc_dec", row, MIB, bad)
        if ve is None:
            continue
        rows.append(f"| {row} CBC | {fmt(ve)} / {fmt(vd)} | {fmt(pe and pe[0])} / {fmt(pd and pd[0])} | "
                    f"{ratio(ve, pe and pe[0])} / {ratio(vd, pd and pd[0])} |")
    v, p = mbps(runs, "stream", "RC4-128", "velsor", MIB), best_peer(runs, "stream", "RC4-128", MIB, bad)
    if v is not None:
        rows.append(f"| RC4 | {fmt(v)} | {fmt(p and p[0])} | {ratio(v, p and p[0])} |")
    for row in ("SHA1", "SHA256", "SHA512"):
        v, p = mbps(runs, "hash", row, "velsor", MIB), best_peer(runs, "hash", row, MIB, bad)
        if v is not None:
            rows.append(f"| {row} | {fmt(v)} | {fmt(p and p[0])} | {ratio(v, p and p[0])} |")
    lines = rows + ["", "| End to end (SHA256) | Text | Codec in process ÷ raw cipher, enc / dec | "
                        "velsor-cli CPU time ÷ raw cipher, enc / dec | velsor-cli peak RSS (MiB) |",
                    "|---|---|---|---|---|"]
    for cipher in ("RC4", "Blowfish", "Rijndael"):
        c = codec_raw(runs, cipher)
        sizes = sorted({s // MIB for (_, s) in c} | {r["text_mib"] for r in cli if r["cipher"] == cipher})
        for size in sizes:
            codec = [fmt(c[(d, size * MIB)][2], 2) if (d, size * MIB) in c else "–" for d in ("encrypt", "decrypt")]
            cli_cells, rss = [], []
            for d in ("encrypt", "decrypt"):
                r = next((x for x in cli if x["cipher"] == cipher and x["text_mib"] == size and x["direction"] == d),
                         None)
                cli_cells.append(ratio(r["user_s"] + r["system_s"], cli_raw_seconds(runs, r)) if r else "–")
                if r:
                    rss.append(r["peak_rss_kib"] / 1024)
            lines.append(f"| {cipher} | {size} MiB | {codec[0]} / {codec[1]} | {cli_cells[0]} / {cli_cells[1]} | "
                         f"{max(rss):.0f} |" if rss else
                         f"| {cipher} | {size} MiB | {codec[0]} / {codec[1]} | – | – |")
    return lines


def update_readme(readme, out, date, runs, bad, cli):
    with open(readme) as f:
        text = f.read()
    if README_BEGIN not in text or README_END not in text:
        return
    block = [README_BEGIN,
             f"Measured on {date} on {machine().split(';')[0]} (a machine shared with other work: take the "
             f"ratios, not the absolute figures). The whole table, the codec and the CLI are in "
             f"[{os.path.relpath(out, os.path.dirname(os.path.abspath(readme)))}]"
             f"({os.path.relpath(out, os.path.dirname(os.path.abspath(readme)))}).",
             "", *headline(runs, bad, cli), README_END]
    text = re.sub(re.escape(README_BEGIN) + ".*?" + re.escape(README_END), lambda _: "\n".join(block), text,
                  flags=re.S)
    with open(readme, "w") as f:
        f.write(text)


if __name__ == "__main__":
    main()
