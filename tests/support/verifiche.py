"""The checks every Python test script of the suite makes, written once.

A failure is told the moment it is found, and kept under the case it belongs to (`with
caso("..."):`); the script ends with `concludi()`, which prints one line per case, passed or
failed, and exits with the status ctest reads: 0 when every check held, 1 otherwise, 77 for a script
that skipped itself (`salta`). Checks made outside any case count under the script's name.

A script finds this module from its own folder:

    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
    from verifiche import caso, controlla, concludi  # noqa: E402
"""
import contextlib
import os
import sys

_SCRIPT = os.path.basename(sys.argv[0]) if sys.argv and sys.argv[0] else "the script"
_casi = {}  # case name -> its failures, in the order the cases began
_aperti = []  # the cases open now, the innermost last


def _corrente():
    return _aperti[-1] if _aperti else _SCRIPT


@contextlib.contextmanager
def caso(nome):
    """The checks made inside it belong to the case `nome`."""
    _casi.setdefault(nome, [])
    _aperti.append(nome)
    try:
        yield
    finally:
        _aperti.pop()


def controlla(condizione, cosa):
    """Keeps `cosa` as a failure of the current case when `condizione` is false; returns it."""
    nome = _corrente()
    _casi.setdefault(nome, [])
    if not condizione:
        _casi[nome].append(cosa)
        print(f"FAIL: {nome}: {cosa}", flush=True)
    return condizione


def fallimenti():
    """Every failure so far, each with its case."""
    return [(nome, f) for nome, elenco in _casi.items() for f in elenco]


def esito():
    """One line per case, and the exit status: 1 when any check failed."""
    for nome, elenco in _casi.items():
        print(f"{'FAIL' if elenco else 'ok'}: {nome}" +
              (f" ({len(elenco)} failed)" if elenco else ""), flush=True)
    falliti = sum(1 for elenco in _casi.values() if elenco)
    print(f"{len(_casi) - falliti} of {len(_casi)} cases passed, {len(fallimenti())} failures",
          flush=True)
    return 1 if falliti else 0


def concludi():
    sys.exit(esito())


def salta(motivo):
    """Ends a script that cannot run here (a program it needs is missing): ctest counts it
    skipped, not passed."""
    print(f"SKIP: {motivo}", flush=True)
    sys.exit(77)
