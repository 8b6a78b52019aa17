#!/usr/bin/env python3
"""Plants the faults of tools/faults.txt one at a time and runs the suite.

    python3 tools/plant_faults.py [--list] [--out FILE] [--ctest ARGS] [ID ...]

For each fault: the text is replaced in the working tree, the README's test
command runs (stopping at the first failure), and the file is put back.
A fault whose text is not found exactly once is reported as "n/a"; one that
does not build as "no-build". Everything else is "caught" or "MISSED".
--ctest passes ARGS on to ctest (for instance "-R unit\\.pages_test"), so that
a fault can be tried against the tests of its part alone.
"""
import os, subprocess, sys, time

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(here)


def load(path):
    faults, cur, part = [], None, None
    for line in open(path, encoding="latin-1").read().split("\n"):
        if line.startswith("== "):
            cur = {"id": line[3:].strip(), "file": None, "find": [], "put": []}
            faults.append(cur)
            part = None
        elif cur is None or (part is None and line.startswith("#")):
            continue
        elif line.startswith("# "):
            part = None  # a comment between faults ends the one before
            continue
        elif line.startswith("file: ") and part is None:
            cur["file"] = line[6:].strip()
        elif line == "---":
            part = "find"
        elif line == "+++":
            part = "put"
        elif part:
            cur[part].append(line)
    for f in faults:
        for k in ("find", "put"):
            while f[k] and f[k][-1] == "" and k == "put":
                f[k].pop()
        f["find"] = "\n".join(f["find"]).rstrip("\n")
        f["put"] = "\n".join(f["put"])
    return faults


def run_one(f, log, ctest):
    path = os.path.join(root, f["file"])
    if not os.path.exists(path):
        return "n/a"
    original = open(path, encoding="latin-1").read()
    if original.count(f["find"]) != 1:
        return "n/a"
    open(path, "w", encoding="latin-1").write(original.replace(f["find"], f["put"]))
    try:
        env = dict(os.environ)
        build = subprocess.run(["bash", "scripts/build.sh"], cwd=root, stdout=log,
                               stderr=subprocess.STDOUT, env=env)
        if build.returncode != 0:
            return "no-build"
        try:
            tests = subprocess.run(["bash", "scripts/run-tests.sh", "--stop-on-failure"] + ctest,
                                   cwd=root, stdout=log, stderr=subprocess.STDOUT, env=env,
                                   timeout=1200)
            return "caught" if tests.returncode != 0 else "MISSED"
        except subprocess.TimeoutExpired:
            return "caught (time limit)"
    finally:
        open(path, "w", encoding="latin-1").write(original)
        os.utime(path, None)


def main(argv):
    out = None
    if "--out" in argv:
        i = argv.index("--out")
        out = argv[i + 1]
        del argv[i:i + 2]
    ctest = []
    if "--ctest" in argv:
        i = argv.index("--ctest")
        ctest = argv[i + 1].split()
        del argv[i:i + 2]
    faults = load(os.path.join(here, "faults.txt"))
    if "--list" in argv:
        for f in faults:
            print(f["id"], f["file"])
        return 0
    chosen = [f for f in faults if not argv or f["id"] in argv]
    logdir = os.path.join(root, "results", "faults")
    os.makedirs(logdir, exist_ok=True)
    caught = 0
    counted = 0
    for f in chosen:
        start = time.time()
        with open(os.path.join(logdir, f["id"] + ".log"), "w") as log:
            outcome = run_one(f, log, ctest)
        line = "%-28s %-20s %4.0fs" % (f["id"], outcome, time.time() - start)
        print(line, flush=True)
        if out:
            with open(out, "a") as o:
                o.write(line + "\n")
        if outcome.startswith("caught") or outcome == "MISSED":
            counted += 1
            caught += outcome.startswith("caught")
    print("caught %d of %d planted faults" % (caught, counted))
    return 0


sys.exit(main(sys.argv[1:]))
