"""The bottom layer: the children a scenario starts and the time it gives each step.

Every child runs in its own process group and is killed with it when it is stopped, at exit,
and (parent-death signal) when this interpreter is killed.  Every wait is bounded and fails
with HarnessError, which every other module of the package raises too.  Standard library only;
imports nothing of the package."""

import atexit
import ctypes
import os
import signal
import subprocess
import sys
import time

_T0 = time.monotonic()


class HarnessError(AssertionError):
    """A step of the scenario did not happen in time, or a tool failed."""


def log(message):
    print(f"[{time.monotonic() - _T0:7.2f}s] {message}", file=sys.stderr, flush=True)


_libc = ctypes.CDLL(None, use_errno=True)
_live = []  # every Popen still to be reaped


def child_setup():
    """For `preexec_fn`: between fork and exec, a process group of its own, and SIGKILL
    (PR_SET_PDEATHSIG) when the interpreter that started it goes away."""
    os.setpgid(0, 0)
    _libc.prctl(1, signal.SIGKILL, 0, 0, 0)


def stop(proc, grace=2.0):
    """Ends `proc` and its whole process group; returns its exit code."""
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, 5.0)):
        if proc.poll() is not None:
            break
        try:
            os.killpg(proc.pid, sig)
            proc.wait(timeout=wait)
        except (ProcessLookupError, subprocess.TimeoutExpired):
            continue
    try:
        os.killpg(proc.pid, signal.SIGKILL)  # stragglers of the group
    except (ProcessLookupError, PermissionError):
        pass
    if proc in _live:
        _live.remove(proc)
    return proc.returncode


def reap_all():
    """Stops every child `spawn` started that is still there, newest first."""
    while _live:
        stop(_live[-1])


atexit.register(reap_all)


def spawn(argv, log_path, env=None, pass_fds=(), cwd=None):
    with open(log_path, "wb") as out:
        proc = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                pass_fds=pass_fds, preexec_fn=child_setup, cwd=cwd)
    _live.append(proc)
    return proc


def wait_until(predicate, timeout, what, interval=0.05):
    """Polls `predicate` until it returns something truthy, and returns that."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() >= deadline:
            raise HarnessError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)
    return value


def wait_exit(proc, timeout, what="the program", code=0):
    """Waits for `proc` to end with exit code `code` (None: any)."""
    try:
        got = proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        raise HarnessError(f"{what} (pid {proc.pid}) still runs after {timeout} s")
    if code is not None and got != code:
        raise HarnessError(f"{what} ended with exit code {got}")
    return got
