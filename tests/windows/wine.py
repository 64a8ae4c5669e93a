"""The Windows programs under Wine: a prefix of their own, a server kept
running between runs, and runs with piped input like the harness's."""
import os
import shutil
import subprocess

WINE = shutil.which("wine") or "wine"
WINESERVER = shutil.which("wineserver") or "wineserver"


def wine_environment(base=None):
    environment = dict(base or {})
    environment.update({
        "WINEPREFIX": os.environ["WINEPREFIX"],
        "WINEDEBUG": "-all",
        # No Mono or Gecko installer dialogues for a prefix that needs neither.
        "WINEDLLOVERRIDES": "mscoree,mshtml=",
        "HOME": os.environ.get("HOME", "/root"),
    })
    return environment


def start_wine():
    """Creates the prefix once, and starts one server with Wine's own
    background processes for all the runs. They must be up before the first
    run: started by a run, they would hold on to its output pipes."""
    prefix = os.environ["WINEPREFIX"]
    environment = wine_environment({"PATH": os.environ.get("PATH", "/usr/bin:/bin")})
    quiet = {"env": environment, "stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL,
             "stderr": subprocess.DEVNULL}
    if not os.path.exists(os.path.join(prefix, "system.reg")):
        os.makedirs(os.path.dirname(prefix) or ".", exist_ok=True)
        subprocess.run([WINE, "wineboot", "-i"], check=True, timeout=300, **quiet)
    # Persistent until stop_wine, or five minutes after the last program if
    # nobody stops it; a server that runs already (status 2) serves as well.
    subprocess.run([WINESERVER, "-p300"], timeout=60, **quiet)
    subprocess.run([WINE, "wineboot"], check=True, timeout=300, **quiet)


def stop_wine():
    environment = wine_environment({"PATH": os.environ.get("PATH", "/usr/bin:/bin")})
    subprocess.run([WINESERVER, "-k"], env=environment, timeout=60,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def windows_program(program):
    """The Windows build of the program that the harness names."""
    for linux, windows in (("GLOOMHOLD", "GLOOMHOLD_EXE"), ("RUNEWRIGHT", "RUNEWRIGHT_EXE")):
        if os.path.abspath(program) == os.path.abspath(os.environ[linux]):
            return os.environ[windows]
    raise ValueError("no Windows build of %s" % program)


def windows_run(program, args, data, folder, environment, timeout):
    """Runs the Windows build in `folder` with `data` on standard input."""
    completed = subprocess.run([WINE, windows_program(program)] + list(args), input=data,
                               capture_output=True, cwd=folder,
                               env=wine_environment(environment), timeout=timeout)
    return {"status": completed.returncode, "stdout": completed.stdout, "stderr": completed.stderr}
