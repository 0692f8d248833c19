"""Shared pieces of the end-to-end tests: running Windows programs of one
build tree under Wine, scratch folders, and checks against the archive."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE_RUN = os.path.join(ROOT, 'scripts', 'wine-run')
STATSINK = os.path.join(ROOT, 'tools', 'statsink', 'statsink')


class Tree:
    def __init__(self, path):
        self.path = os.path.abspath(path)
        self.bin = os.path.join(self.path, 'bin')
        self.prefix = os.path.join(self.path, 'wineprefix')

    def program(self, name):
        return os.path.join(self.bin, name)

    def tool(self, name):
        """A program that only drives or reads the one under test (launcher,
        probes): the 64-bit build where there is one, since every 32-bit
        process start costs seconds under qemu-user. It still runs in this
        tree's prefix."""
        fast = os.path.join(ROOT, 'build', 'win64', 'bin', name)
        return fast if os.path.exists(fast) else self.program(name)


def windows_path(path):
    """Wine maps the Unix root to drive Z:."""
    return 'Z:' + os.path.abspath(path).replace('/', '\\')


def scratch(tree, name):
    base = os.path.join(tree.path, 'e2e-scratch')
    os.makedirs(base, exist_ok=True)
    return tempfile.mkdtemp(prefix=name + '-', dir=base)


def wine(tree, program, *arguments, cwd=None, env=None, timeout=300):
    """Runs one Windows program to its end; returns (exit code, stdout)."""
    return start_wine(tree, program, *arguments, cwd=cwd, env=env).wait(timeout)


def wine_with_errors(tree, program, *arguments, cwd=None, env=None, timeout=300):
    """Runs one Windows program to its end; returns (exit code, stdout, stderr)."""
    started = start_wine(tree, program, *arguments, cwd=cwd, env=env)
    code, out = started.wait(timeout)
    return code, out, started.errors


def check_no_crash(errors, program):
    # scripts/wine-run reads Wine's and qemu's crash reports (a crashed 32-bit
    # program may still end with 0) for every process of the run, the ones
    # the program starts included.
    name = os.path.basename(program)
    check(f'wine-run: {name} crashed' not in errors, f'{name} or a program it started crashed: {errors[-2000:]}')


class Started:
    """A Windows program running in the background. Its output goes through
    files, not pipes: programs it starts (the product) inherit the
    descriptors and would hold a pipe open long after it ends."""

    def __init__(self, program, arguments, cwd, env, prefix):
        full_env = dict(os.environ)
        full_env['TN_WINE_PREFIX'] = prefix
        full_env.update(env or {})
        self.program = program
        self.out = tempfile.TemporaryFile()
        self.err = tempfile.TemporaryFile()
        self.process = subprocess.Popen([WINE_RUN, program, *arguments], cwd=cwd, env=full_env,
                                        stdout=self.out, stderr=self.err)

    def wait(self, timeout):
        """Waits for the end; returns (exit code, stdout). The standard error
        (Wine's traces among it) is kept in errors."""
        code = self.process.wait(timeout=timeout)
        return self.ended(code)

    def wait_watching(self, timeout, emulated):
        """wait, for a program that may run a 32-bit program under qemu-user
        (emulated names its file): when every such process of the run has
        used no CPU time outside its main thread for QEMU_STALL_SECONDS, or
        qemu itself broke down,
        raises PlatformBreakdown instead of waiting out the timeout."""
        deadline = time.time() + timeout
        last_cpu, still_since, moved = None, time.time(), False
        while True:
            try:
                return self.ended(self.process.wait(timeout=2), emulated)
            except subprocess.TimeoutExpired:
                pass
            cpu = qemu_cpu_ticks(emulated)
            if cpu != last_cpu:
                # Counted from the first time its other threads work: before
                # that the main thread may still be starting up alone.
                moved = moved or (last_cpu is not None and cpu is not None)
                last_cpu, still_since = cpu, time.time()
            elif moved and time.time() - still_since > QEMU_STALL_SECONDS:
                raise PlatformBreakdown(f'{os.path.basename(emulated)} under qemu-user used no CPU time outside its '
                                        f'main thread for {QEMU_STALL_SECONDS} s before its end')
            if time.time() > deadline:
                raise subprocess.TimeoutExpired(self.program, timeout)

    def ended(self, code, emulated=None):
        self.out.seek(0)
        self.err.seek(0)
        self.errors = self.err.read().decode('utf-8', 'replace')
        if emulated and any(sign in self.errors for sign in QEMU_BREAKDOWN_SIGNS):
            raise PlatformBreakdown(f'qemu-user broke down under {os.path.basename(emulated)}: '
                                    + next(line for line in self.errors.splitlines()
                                           if any(sign in line for sign in QEMU_BREAKDOWN_SIGNS))[:200])
        check_no_crash(self.errors, self.program)
        return code, self.out.read().decode('utf-8', 'replace')


# Measured on this machine's qemu-user 7.2 with Wine 8: a 32-bit program
# whose threads wait on the Wine server at the same time now and then stops
# for good (its threads blocked on their server pipes, only the main one
# still painting), or qemu crashes or garbles the server protocol. Two threads each waiting 2 ms
# in a loop are enough to see it within a second; the installer's banner
# thread and its worker meet it during the shortcut's volume query. The same
# programs built for x86_64 never do.
QEMU_STALL_SECONDS = 60
QEMU_BREAKDOWN_SIGNS = ('uncaught target signal', 'wine client error')


class PlatformBreakdown(Exception):
    """The 32-bit program stopped or broke inside qemu-user, not in its own code."""


def qemu_cpu_ticks(program):
    """CPU time used so far by the threads other than the main one of the
    qemu-user processes running program (the main thread goes on painting
    the window when the others have stopped), or None while there is none."""
    # Matched by its whole path: other trees' runs may use the same names.
    name = windows_path(program).encode()
    total = None
    for pid in filter(str.isdigit, os.listdir('/proc')):
        try:
            with open(f'/proc/{pid}/cmdline', 'rb') as cmdline:
                arguments = cmdline.read().split(b'\0')
            if not arguments[0].endswith(b'qemu-i386-static') or name not in arguments:
                continue
            for thread in os.listdir(f'/proc/{pid}/task'):
                if thread == pid:
                    continue
                with open(f'/proc/{pid}/task/{thread}/stat') as stat:
                    fields = stat.read().rsplit(')', 1)[1].split()
                total = (total or 0) + int(fields[11]) + int(fields[12])
        except OSError:
            continue
    return total


def on_emulation_retrying(tree, case, clean_up, attempts=3):
    """Runs case(); in the 32-bit tree a PlatformBreakdown ends that attempt
    (clean_up then ends the prefix's processes) and the case runs again, up
    to attempts times, after which it is skipped with the reason. Any other
    failure fails at once, and the 64-bit tree never retries."""
    if os.path.basename(tree.path) != 'win32':
        return case()
    for attempt in range(1, attempts + 1):
        try:
            return case()
        except PlatformBreakdown as breakdown:
            print(f'attempt {attempt} of {attempts}: {breakdown}', flush=True)
            clean_up()
            reason = breakdown
    raise Skip(f'the 32-bit program broke down under qemu-user in all {attempts} attempts ({reason}); '
               'the 64-bit tier runs this case in full')


def start_wine(tree, program, *arguments, cwd=None, env=None):
    """Starts program in the tree's prefix (or TN_WINE_PREFIX of env)."""
    return Started(program, arguments, cwd, env, tree.prefix)


class Receiver:
    """The reference statistics receiver (tools/statsink) on a port, keeping
    every event it accepts (signature checked) in database; options choose
    one of its test behaviours."""

    def __init__(self, database, port, *options):
        self.database = database
        self.process = subprocess.Popen([sys.executable, STATSINK, '--port', str(port), '--db', database, '--quiet',
                                         *options], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        line = self.process.stdout.readline().decode()
        check(line.startswith('listening'), f'receiver did not start: {line!r}')

    def events(self):
        listing = subprocess.run([sys.executable, STATSINK, '--list', '--db', self.database],
                                 stdout=subprocess.PIPE, check=True).stdout.decode('utf-8')
        return [json.loads(line) for line in listing.splitlines()]

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


class PersistentServer:
    """Keeps the wineserver of an existing prefix running for a case's many
    short runs (each would otherwise start a server and its services anew,
    seconds a time under qemu-user), and ends it afterwards."""

    def __init__(self, prefix):
        self.env = dict(os.environ, WINEPREFIX=prefix)
        subprocess.run([wineserver(), '-p'], env=self.env, check=False)

    def stop(self):
        subprocess.run([wineserver(), '-k'], env=self.env, check=False)


def wineserver():
    """The server that belongs with the loader scripts/wine-run uses."""
    return subprocess.run(['bash', '-c', f'source {ROOT}/scripts/lib/common.sh && tn_wineserver'],
                          stdout=subprocess.PIPE, check=True).stdout.decode().strip()


class OwnDisplay:
    """An Xvfb display of the case's own, so that a screenshot shows only the
    programs the case started there: `with OwnDisplay() as display:` gives
    its name (":N") for DISPLAY."""

    def __enter__(self):
        read, write = os.pipe()
        self.server = subprocess.Popen(['Xvfb', '-displayfd', str(write), '-screen', '0', '1280x1024x24',
                                        '-nolisten', 'tcp'], pass_fds=(write,),
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as number:
            self.name = ':' + number.readline().strip()
        check(self.name != ':', 'Xvfb did not start')
        return self.name

    def __exit__(self, *exception):
        self.server.terminate()
        self.server.wait(timeout=30)


def entry_name(info):
    """The entry's name as a system with code page 936 decodes it."""
    if info.flag_bits & 0x800:
        return info.filename
    return info.filename.encode('cp437').decode('gbk')


def assert_extracted(archive_path, folder):
    """Every folder entry exists and every file holds exactly its bytes."""
    with zipfile.ZipFile(archive_path) as archive:
        for info in archive.infolist():
            path = os.path.join(folder, *entry_name(info).rstrip('/').split('/'))
            if info.is_dir():
                check(os.path.isdir(path), f'folder missing: {path}')
                continue
            check(os.path.isfile(path), f'file missing: {path}')
            with open(path, 'rb') as extracted:
                check(extracted.read() == archive.read(info), f'bytes differ: {path}')
        return len(archive.infolist())


def launch_records(folder):
    """The stand-in product's starts recorded in folder/launch.log: (command
    line, current folder, creation time in Unix seconds) a start."""
    path = os.path.join(folder, 'launch.log')
    if not os.path.exists(path):
        return []
    with open(path, encoding='utf-8') as records:
        return [(line.split('\t')[0], line.split('\t')[1], float(line.split('\t')[2]))
                for line in records.read().splitlines()]


def wait_for(condition, seconds, what):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return
        time.sleep(0.2)
    raise AssertionError(f'timed out waiting for {what}')


def check(condition, message):
    if not condition:
        raise AssertionError(message)


class Skip(Exception):
    """Raised by a case that cannot check what it is for here; the reason is printed."""


# ctest counts a case that ends with this code as not run (SKIP_RETURN_CODE).
SKIP_CODE = 77


def main(cases):
    """Runs the case named on the command line: CASE TREE."""
    name, tree = sys.argv[1], Tree(sys.argv[2])
    try:
        cases[name](tree)
    except AssertionError as failure:
        print(f'FAILED {name}: {failure}')
        sys.exit(1)
    except Skip as reason:
        print(f'skipped {name}: {reason}')
        sys.exit(SKIP_CODE)
    print(f'passed {name}')


def remove(path):
    shutil.rmtree(path, ignore_errors=True)
