#!/usr/bin/env python3
"""The Linux side of `make bench`: the anchors' data and timings, and the report.

  bench-anchors.py tab INDEX DICT_DZ OUT.tab     dictd data as a StarDict tab file
  bench-anchors.py words TAB COUNT SEED          COUNT random headwords (fixed seed)
  bench-anchors.py plain WORDS COUNT             the first COUNT words of plain letters
  bench-anchors.py sdcv DATA_DIR WORDS RUNS      sdcv per word: sdcv_us
  bench-anchors.py curl URL SIZE RUNS            curl over the whole file: curl_s
  bench-anchors.py report RESULTS                every figure beside its anchor
"""
import gzip
import random
import subprocess
import sys
import time

B64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"


def b64number(text):
    n = 0
    for c in text:
        n = n * 64 + B64.index(c)
    return n


def make_tab(index, dict_dz, out):
    data = gzip.open(dict_dz).read()
    with open(index, encoding="utf-8") as lines, open(out, "w", encoding="utf-8") as tab:
        for line in lines:
            word, offset, length = line.rstrip("\n").split("\t")
            if not word.strip() or word.startswith("00-database"):
                continue
            start = b64number(offset)
            text = data[start:start + b64number(length)].decode("utf-8").strip("\n")
            tab.write(word + "\t" + text.replace("\\", "\\\\").replace("\n", "\\n") + "\n")


def pick_words(tab, count, seed):
    words = set()
    with open(tab, encoding="utf-8") as lines:
        for line in lines:
            word = line.split("\t", 1)[0]
            # sdcv reads a leading '-' as an option, '/' and '|' as other searches,
            # '*' and '?' as patterns.
            if word[:1].isalnum() and not any(c in word for c in "*?/|"):
                words.add(word)
    for word in random.Random(seed).sample(sorted(words), count):
        print(word)


def best_seconds(command, runs):
    best = None
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        seconds = time.perf_counter() - start
        best = seconds if best is None else min(best, seconds)
    return best


def time_sdcv(data_dir, words_file, runs):
    words = open(words_file, encoding="utf-8").read().split("\n")
    words = [w for w in words if w]
    base = ["sdcv", "-n", "-e", "--data-dir", data_dir]
    # One process for all the words, less one for a single word: start-up and
    # the index load fall out, the lookups and entry reads stay.
    everything = best_seconds(base + words, runs)
    one = best_seconds(base + words[:1], runs)
    print("sdcv_us %.3f" % ((everything - one) / (len(words) - 1) * 1e6))


def time_curl(url, size, runs):
    print("curl_s %.4f" % best_seconds(["curl", "-s", "-o", "/dev/null", "--max-filesize", str(size + 1), url], runs))


def report(results):
    r = {}
    for line in open(results):
        parts = line.split()
        if len(parts) == 2:
            try:
                r[parts[0]] = float(parts[1])
            except ValueError:
                pass

    rows = []

    def row(figure, ours, anchor, ratio, goal, met):
        rows.append((figure, ours, anchor, ratio, goal, "met" if met else "MISSED" if met is not None else "-"))

    def have(*keys):
        return all(k in r for k in keys)

    if have("lookup_us", "sdcv_us"):
        speed = r["sdcv_us"] / r["lookup_us"]
        row("lookup + entry read, us/word", "%.1f" % r["lookup_us"], "sdcv %.1f" % r["sdcv_us"],
            "%.1fx faster" % speed, ">= 3x faster", speed >= 3)
    if have("lookup_warm_us", "sdcv_us"):
        row("  again in the same process (warm)", "%.1f" % r["lookup_warm_us"], "sdcv %.1f" % r["sdcv_us"],
            "%.1fx faster" % (r["sdcv_us"] / r["lookup_warm_us"]), "-", None)
    if have("lookup_find_us", "lookup_read_us"):
        row("  of it: finding the keys / reading entries", "%.1f / %.1f" % (r["lookup_find_us"], r["lookup_read_us"]),
            "", "", "-", None)
    if have("road_us", "sdcv_us"):
        speed = r["sdcv_us"] / r["road_us"]
        row("full lookup road (page built), us/word", "%.1f" % r["road_us"], "sdcv %.1f" % r["sdcv_us"],
            "%.1fx faster" % speed, "<= 50 us", r["road_us"] <= 50)
    if have("session_s", "curl_s", "winsock_s"):
        mb = r.get("http_mb", 50)
        ours, curl, floor = mb / r["session_s"], mb / r["curl_s"], mb / r["winsock_s"]
        met = ours >= curl / 2 or r["session_s"] <= 1.5 * r["winsock_s"]
        row("HTTP %d MB over loopback, MB/s" % mb, "%.0f" % ours, "curl %.0f" % curl, "%.2f of curl" % (ours / curl),
            ">= 0.5 of curl", met)
        row("  the same beside Winsock under Wine", "%.0f" % ours, "floor %.0f" % floor,
            "%.2fx the floor's time" % (r["session_s"] / r["winsock_s"]), "or <= 1.5x the floor", met)
        if "winsock_stored_s" in r:
            row("  beside the bare loop keeping the bytes", "%.0f" % ours, "%.0f" % (mb / r["winsock_stored_s"]),
                "%.2fx its time" % (r["session_s"] / r["winsock_stored_s"]), "-", None)
    if have("start_best", "empty_start_best"):
        goal = max(1000, 1.5 * r["empty_start_best"])
        row("start to main window, ms", "%.0f" % r["start_best"], "empty program %.0f" % r["empty_start_best"],
            "%.1fx" % (r["start_best"] / r["empty_start_best"]), "<= %.0f ms" % goal, r["start_best"] <= goal)
        if have("start_median", "empty_start_median"):
            row("  medians", "%.0f" % r["start_median"], "empty program %.0f" % r["empty_start_median"],
                "%.1fx" % (r["start_median"] / r["empty_start_median"]), "-", None)
        if have("dlls_start_best"):
            row("  beside the empty program with its DLLs", "%.0f" % r["start_best"],
                "with the DLLs %.0f" % r["dlls_start_best"], "%.1fx" % (r["start_best"] / r["dlls_start_best"]),
                "-", None)
    if have("enter_page_median"):
        row("Enter to result page painted, ms", "%.1f (best %.1f)" % (r["enter_page_median"], r["enter_page_best"]),
            "one frame 16.7", "%.1f frames" % (r["enter_page_median"] / 16.7), "<= 16 ms", r["enter_page_median"] <= 16)
    if have("enter_page_median", "enter_floor_median"):
        row("  the same in a bare Win32 program (Wine's floor)",
            "%.1f (best %.1f)" % (r["enter_page_median"], r["enter_page_best"]),
            "floor %.1f (best %.1f)" % (r["enter_floor_median"], r["enter_floor_best"]),
            "%.1fx the floor" % (r["enter_page_median"] / r["enter_floor_median"]), "-", None)
    if have("enter_all_median"):
        row("  Enter to the main window's last paint", "%.1f (best %.1f)" % (r["enter_all_median"], r["enter_all_best"]),
            "one frame 16.7", "%.1f frames" % (r["enter_all_median"] / 16.7), "-", None)
    if have("popup_median"):
        row("capture timer to popup painted, ms", "%.1f (best %.1f)" % (r["popup_median"], r["popup_best"]),
            "one frame 16.7", "%.1f frames" % (r["popup_median"] / 16.7), "<= 16 ms", r["popup_median"] <= 16)
    else:
        row("capture timer to popup painted, ms", "no popup", "one frame 16.7", "-", "<= 16 ms", False)
    if have("popup_median", "popup_floor_median"):
        row("  the same road to a bare Win32 popup", "%.1f" % r["popup_median"],
            "floor %.1f (best %.1f)" % (r["popup_floor_median"], r["popup_floor_best"]),
            "%.1fx the floor's time" % (r["popup_median"] / r["popup_floor_median"]), "-", None)

    head = ("figure", "Quorindo", "anchor", "ratio", "goal", "")
    widths = [max(len(str(x[i])) for x in rows + [head]) for i in range(6)]
    for line in [head] + rows:
        print("  ".join(str(x).ljust(w) for x, w in zip(line, widths)).rstrip())
    if "misses" in r and r["misses"]:
        print("note: %d of the words had no match in the converted dictionary" % r["misses"])


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "tab":
        make_tab(argv[2], argv[3], argv[4])
    elif command == "words":
        pick_words(argv[2], int(argv[3]), int(argv[4]))
    elif command == "plain":
        words = [w for w in open(argv[2], encoding="utf-8").read().split("\n") if w.isascii() and w.isalpha()]
        print(" ".join(words[:int(argv[3])]))
    elif command == "sdcv":
        time_sdcv(argv[2], argv[3], int(argv[4]))
    elif command == "curl":
        time_curl(argv[2], int(argv[3]), int(argv[4]))
    elif command == "report":
        report(argv[2])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
