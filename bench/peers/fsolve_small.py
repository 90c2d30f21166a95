#!/usr/bin/python3
"""Small systems solved by a whole run of ours and by SciPy's fsolve, side by side.

Ours is `valdrix run --repeat N --results DOC`: the median wall time of N whole runs in one
process (document read, work copy, Jacobian and results files written). The peer is
scipy.optimize.fsolve (MINPACK's hybrj) in-process, with the analytic Jacobian, from the
guesses the document gives; its time is the median wall time of N calls. The two are timed
alternately, each system several times, so that both see the same load. Afterwards both answers
must agree (relative difference below 1e-6), or the script fails.

    /usr/bin/python3 bench/peers/fsolve_small.py build/valdrix

Not run by the tests: it needs Debian's python3-scipy.
"""

import math
import os
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np
from scipy.optimize import fsolve

GUESS = "\u00bb"  # written as the byte 0xBB


def helical_theta(x1, x2):
    return math.atan2(-x1, x2) / (2 * math.pi) + 0.25


def broyden_tridiagonal(n):
    def f(x):
        r = np.empty(n)
        for i in range(n):
            left = x[i - 1] if i > 0 else 0.0
            right = x[i + 1] if i < n - 1 else 0.0
            r[i] = (3 - 2 * x[i]) * x[i] - left - 2 * right + 1
        return r

    def j(x):
        m = np.zeros((n, n))
        for i in range(n):
            m[i, i] = 3 - 4 * x[i]
            if i > 0:
                m[i, i - 1] = -1
            if i < n - 1:
                m[i, i + 1] = -2
        return m

    names = ["x%d" % (i + 1) for i in range(n)]
    lines = []
    for i in range(n):
        left = " - x%d" % i if i > 0 else ""
        right = " - 2*x%d" % (i + 2) if i < n - 1 else ""
        lines.append("(3 - 2*x%d)*x%d%s%s + 1 = 0;" % (i + 1, i + 1, left, right))
    return names, lines, [-1.0] * n, f, j


# name: (variables, equations, start, residuals, Jacobian)
SYSTEMS = {
    "circle and line": (
        ["x", "y"], ["x^2 + y^2 = 25;", "y = 2*x - 2;"], [1.0, 1.0],
        lambda v: [v[0] ** 2 + v[1] ** 2 - 25, v[1] - 2 * v[0] + 2],
        lambda v: [[2 * v[0], 2 * v[1]], [-2, 1]]),
    "Rosenbrock": (
        ["x1", "x2"], ["10*(x2 - x1^2) = 0;", "1 - x1 = 0;"], [-1.2, 1.0],
        lambda v: [10 * (v[1] - v[0] ** 2), 1 - v[0]],
        lambda v: [[-20 * v[0], 10], [-1, 0]]),
    "helical valley": (
        ["x1", "x2", "x3"],
        ["10*(x3 - 10*(ATAN2(-x1, x2)/(2*PI) + 0.25)) = 0;",
         "10*(SQRT(x1^2 + x2^2) - 1) = 0;", "x3 = 0;"],
        [-1.0, 0.0, 0.0],
        lambda v: [10 * (v[2] - 10 * helical_theta(v[0], v[1])),
                   10 * (math.hypot(v[0], v[1]) - 1), v[2]],
        lambda v: [[-100 / (2 * math.pi) * (-v[1]) / (v[0] ** 2 + v[1] ** 2),
                    -100 / (2 * math.pi) * (v[0]) / (v[0] ** 2 + v[1] ** 2), 10],
                   [10 * v[0] / math.hypot(v[0], v[1]), 10 * v[1] / math.hypot(v[0], v[1]), 0],
                   [0, 0, 1]]),
    "three unknowns": (
        ["x", "y", "z"], ["x + y + z = 6;", "x*y*z = 6;", "x^2 + y^2 + z^2 = 14;"],
        [0.8, 2.3, 3.4],
        lambda v: [v[0] + v[1] + v[2] - 6, v[0] * v[1] * v[2] - 6,
                   v[0] ** 2 + v[1] ** 2 + v[2] ** 2 - 14],
        lambda v: [[1, 1, 1], [v[1] * v[2], v[0] * v[2], v[0] * v[1]],
                   [2 * v[0], 2 * v[1], 2 * v[2]]]),
    "Broyden tridiagonal 10": broyden_tridiagonal(10),
}


def document(variables, equations, start):
    lines = ["{Options: 100 -10}"] + equations
    lines += ["%s %s %r;" % (name, GUESS, value) for name, value in zip(variables, start)]
    return "\n".join(lines) + "\n"


def jacobian_agrees(f, j, at):
    at = np.asarray(at, dtype=float)
    analytic = np.asarray(j(at), dtype=float)
    for k in range(len(at)):
        h = 1e-6 * max(1.0, abs(at[k]))
        up, down = at.copy(), at.copy()
        up[k] += h
        down[k] -= h
        column = (np.asarray(f(up)) - np.asarray(f(down))) / (2 * h)
        if np.linalg.norm(column - analytic[:, k]) > 1e-5 * max(1.0, np.linalg.norm(column)):
            return False
    return True


def ours(program, path, runs):
    done = subprocess.run([program, "run", "--repeat", str(runs), "--results", path],
                          capture_output=True, text=True, encoding="latin-1")
    median = None
    for line in done.stderr.splitlines():
        if line.startswith("repeat:"):
            median = float(line.split("median ")[1].split(" us")[0])
    values = {}
    for line in done.stdout.splitlines():
        name, sep, value = line.partition("=")
        if sep and name.strip():
            try:
                values[name.strip().lower()] = float(value)
            except ValueError:
                pass
    return median, values


def peer(f, j, start, runs):
    times = []
    x = None
    for _ in range(runs):
        t0 = time.perf_counter()
        x, info, code, _ = fsolve(f, start, fprime=j, full_output=True, xtol=1e-12)
        times.append((time.perf_counter() - t0) * 1e6)
    if code != 1:
        raise SystemExit("fsolve did not converge")
    return statistics.median(times), x


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else "build/valdrix"
    runs, rounds = 300, 3
    folder = tempfile.mkdtemp(prefix="valdrix_fsolve_")
    ratios = []
    print("%-24s %10s %10s %8s %12s" % ("system", "ours us", "fsolve us", "ratio", "difference"))
    for index, (name, (variables, equations, start, f, j)) in enumerate(SYSTEMS.items()):
        if not jacobian_agrees(f, j, start):
            raise SystemExit("%s: the analytic Jacobian disagrees with differences" % name)
        path = os.path.join(folder, "small%d.alg" % index)
        with open(path, "w", encoding="latin-1") as out:
            out.write(document(variables, equations, start))
        mine, theirs = [], []
        for _ in range(rounds):
            median, values = ours(program, path, runs)
            if median is None or len(values) < len(variables):
                raise SystemExit("%s: our run did not report" % name)
            mine.append(median)
            seconds, x = peer(f, j, start, runs)
            theirs.append(seconds)
        difference = max(abs(values[v.lower()] - x[k]) / max(1.0, abs(x[k]))
                         for k, v in enumerate(variables))
        if difference > 1e-6:
            raise SystemExit("%s: the answers differ by %g" % (name, difference))
        a, b = statistics.median(mine), statistics.median(theirs)
        ratios.append(b / a)
        print("%-24s %10.1f %10.1f %8.2f %12.1e" % (name, a, b, b / a, difference))
    mean = math.exp(sum(math.log(r) for r in ratios) / len(ratios))
    print("geometric mean of fsolve time / our time: %.2f" % mean)


if __name__ == "__main__":
    main()
