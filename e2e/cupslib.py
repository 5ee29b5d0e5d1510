"""A private CUPS scheduler with one cups-pdf queue, for printing tests.

Spooler uses its own configuration, spool and logs in a temporary
directory and listens only on a socket there, so it never meets a system
scheduler.  cupsd runs in the foreground as our child and is stopped by its
process id.  Programs find it through CUPS_SERVER (see env()), and the PPD
of its queue through CUPS_SERVERROOT: libcups reads a local scheduler's PPDs
from there, /etc/cups by default, where a system queue of the same name
would have handed Wine its own (on its own paper).  The queue's name is
unique to the scheduler, so a system queue cannot have it either.

cups-pdf would write each job to the printing user's ~/PDF (its own
configuration in /etc/cups/cups-pdf.conf, left as installed), where earlier
jobs' files of the same name may wait.  The queue's PPD gets an "Out"
option instead, which cups-pdf reads as its output folder: pdf/ in the
temporary directory, which then holds this scheduler's jobs and nothing else
(and its log goes to log/ there rather than to /var/log/cups).
"""

import os
import shutil
import subprocess
import tempfile
from pathlib import Path

from winelib import LOCALE, own_environment, run_checked, wait_until

CUPSD = "/usr/sbin/cupsd"
LPADMIN = "/usr/sbin/lpadmin"
PPD_CANDIDATES = ("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd", "/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd")

CUPSD_CONF = """\
Listen {socket}
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
"""

CUPS_FILES_CONF = """\
ServerRoot {root}/etc
RequestRoot {root}/spool
TempDir {root}/tmp
CacheDir {root}/cache
StateDir {root}/state
ErrorLog {root}/log/error_log
AccessLog {root}/log/access_log
PageLog {root}/log/page_log
Printcap {root}/state/printcap
SystemGroup root
Sandboxing Relaxed
"""


def missing_tools():
    """The programs a printing test needs that are not installed."""
    needed = [CUPSD, LPADMIN, "/usr/lib/cups/backend/cups-pdf", "pdftotext", "pdftoppm", "pdfinfo"]
    return [t for t in needed if not (os.path.exists(t) if t.startswith("/") else shutil.which(t))]


# cups-pdf takes its settings also from the defaults of the queue's PPD.  A
# PPD default ends at its first "/", so the folders are relative: to the
# working directory of cupsd and so of the backend, the temporary directory.
PRIVATE_FOLDERS = """
*OpenUI *Out/Output folder: PickOne
*DefaultOut: pdf
*Out pdf/pdf: ""
*CloseUI: *Out
*OpenUI *Log/Log folder: PickOne
*DefaultLog: log
*Log log/log: ""
*CloseUI: *Log
"""


class Spooler:
    def __init__(self):
        self.root = None
        self.socket = None
        self.queue = None
        self.out = None
        self._cupsd = None

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def env(self, base):
        return dict(base, CUPS_SERVER=str(self.socket), CUPS_SERVERROOT=str(self.root / "etc"))

    def start(self):
        self.root = Path(tempfile.mkdtemp(prefix="inkwarden-cups-"))
        self.queue = "inkwarden-" + self.root.name.rsplit("-", 1)[1]
        # The filters run as the scheduler's unprivileged user and must reach the spool.
        os.chmod(self.root, 0o755)
        for sub in ("etc", "spool", "tmp", "cache", "state", "log"):
            (self.root / sub).mkdir()
        os.chmod(self.root / "tmp", 0o1777)  # the filters' scratch files
        self.socket = self.root / "cups.sock"
        (self.root / "cupsd.conf").write_text(CUPSD_CONF.format(socket=self.socket))
        (self.root / "cups-files.conf").write_text(CUPS_FILES_CONF.format(root=self.root))
        self._log = open(self.root / "log" / "cupsd.out", "wb")
        self._cupsd = subprocess.Popen(
            [CUPSD, "-f", "-c", str(self.root / "cupsd.conf"), "-s", str(self.root / "cups-files.conf")],
            env=self._tool_env(), stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT, cwd=self.root)

        def running():
            if self._cupsd.poll() is not None:
                raise AssertionError(f"cupsd exited with {self._cupsd.returncode}: {self.log_tail()}")
            # lpstat -r exits 0 either way; only its words tell.
            return self._run("lpstat", "-r", check=False).stdout.strip() == "scheduler is running"
        wait_until("cupsd to accept requests", running, timeout=20, interval=0.1)

        ppd = next((p for p in PPD_CANDIDATES if os.path.exists(p)), None)
        if ppd is None:
            raise RuntimeError("no cups-pdf PPD found (package printer-driver-cups-pdf)")
        self.out = self.root / "pdf"
        self.out.mkdir()
        private_ppd = self.root / "cups-pdf.ppd"
        private_ppd.write_text(Path(ppd).read_text(errors="replace") + PRIVATE_FOLDERS)
        # Letter paper: its 8 inches between the margins hold a screen page exactly.
        self._run(LPADMIN, "-p", self.queue, "-E", "-v", "cups-pdf:/", "-P", private_ppd, "-o", "PageSize=Letter")
        self._run(LPADMIN, "-d", self.queue)

    def _tool_env(self):
        # lpstat's words, which running() reads, are in the locale's language.
        return self.env(dict(own_environment(os.environ), **LOCALE))

    def _run(self, *args, check=True):
        return run_checked(args, env=self._tool_env(), text=True, timeout=30,
                           ok_codes=(0,) if check else range(256))

    def log_tail(self):
        try:
            return (self.root / "log" / "error_log").read_text(errors="replace")[-2000:]
        except OSError:
            return "(no error log)"

    def stop(self):
        """Stops cupsd by its process id and removes its files.  Safe to call twice."""
        if self._cupsd is not None:
            if self._cupsd.poll() is None:
                self._cupsd.terminate()
                try:
                    self._cupsd.wait(10)
                except subprocess.TimeoutExpired:
                    self._cupsd.kill()
                    self._cupsd.wait(5)
            self._cupsd = None
            self._log.close()
        if self.root is not None:
            shutil.rmtree(self.root, ignore_errors=True)
            self.root = None

    def wait_for_pdf(self, timeout):
        """The PDF of the queue's one job, once the scheduler has seen the job
        end; the backend writes the file completely before it ends."""
        def ended():
            if self._cupsd.poll() is not None:
                raise AssertionError(f"cupsd exited with {self._cupsd.returncode}: {self.log_tail()}")
            if not self._run("lpstat", "-W", "completed", "-o", self.queue).stdout.strip():
                return None
            pdfs = list(self.out.glob("*.pdf"))
            if len(pdfs) != 1:
                raise AssertionError(f"the job ended with {pdfs or 'no PDF'} in {self.out}: {self.log_tail()}")
            return pdfs[0]
        return wait_until("the print job to end", ended, timeout, interval=0.2)


def pdf_info(path):
    """pdfinfo's fields, such as "Pages" and "Title"."""
    info = subprocess.run(["pdfinfo", str(path)], capture_output=True, text=True, check=True, timeout=30)
    return dict((k.strip(), v.strip()) for k, v in (line.split(":", 1) for line in info.stdout.splitlines()
                                                     if ":" in line))


def pdf_text(path, page):
    return subprocess.run(["pdftotext", "-f", str(page), "-l", str(page), "-enc", "UTF-8", str(path), "-"],
                          capture_output=True, text=True, check=True, timeout=30).stdout


def pdf_page_image(path, page, dpi):
    """One page rendered at dpi, as PPM bytes."""
    return subprocess.run(["pdftoppm", "-f", str(page), "-l", str(page), "-r", str(dpi), str(path)],
                          capture_output=True, check=True, timeout=60).stdout
