"""The local exam service, and the figures the bench page reports to it."""

import json
import os
import subprocess
import time


class ServiceError(RuntimeError):
    pass


class ExamService:
    """exam-service serving the bench page at /native-launch. The page POSTs its figures
    to /report; the service's request log keeps each body, and that is where they are read,
    so neither program under test carries them."""

    def __init__(self, binary, page, folder):
        self.binary = binary
        self.page = page
        self.log_path = os.path.join(folder, "requests.log")
        self.output_path = os.path.join(folder, "exam-service.log")
        self.process = None
        self.offset = 0
        self.pending = b""
        self.queue = []

    def __enter__(self):
        # The service appends; reports of an earlier run in the same folder must not count.
        if os.path.exists(self.log_path):
            os.remove(self.log_path)
        output = open(self.output_path, "wb")
        self.process = subprocess.Popen(
            [self.binary, "--launch-page", self.page, "--request-log", self.log_path],
            stdout=subprocess.PIPE, stderr=output, start_new_session=True)
        output.close()
        line = self.process.stdout.readline().decode("utf-8", "replace")
        if "exam-service listening on" not in line:
            self.process.wait()
            raise ServiceError("exam-service did not start; see " + self.output_path)
        return self

    def __exit__(self, *exception):
        self.process.terminate()
        self.process.wait()

    def address(self, mode):
        return "http://127.0.0.1:18765/native-launch?examkey=" + mode

    def _read_log(self):
        """Queues the report bodies logged since the last look, oldest first."""
        try:
            with open(self.log_path, "rb") as log:
                log.seek(self.offset)
                chunk = log.read()
        except FileNotFoundError:
            return
        self.offset += len(chunk)
        lines = (self.pending + chunk).split(b"\n")
        self.pending = lines.pop()
        for line in lines:
            request = json.loads(line)
            if request.get("method") == "POST" and request.get("path") == "/report":
                self.queue.append(json.loads(request["body"]))

    def forget_reports(self):
        """Drops what earlier launches reported, before the next one starts."""
        self._read_log()
        self.queue.clear()

    def wait_for(self, kind, launch, timeout):
        """The next report of this kind; an error when the program ends or time runs out first."""
        deadline = time.monotonic() + timeout
        next_look = time.monotonic() + 1
        while True:
            # Looked at before the log, so a report sent just before the end is still found.
            ended = launch.exited()
            self._read_log()
            for index, report in enumerate(self.queue):
                if report.get("kind") == kind:
                    return self.queue.pop(index)
            if time.monotonic() > next_look:
                next_look += 1
                # A modal alert (Tessaro's, when a blocked application runs on the machine)
                # stops the program until someone answers it; nobody will.
                if "GtkDialog mapped" in launch.output():
                    raise ServiceError(f"{launch.program.name} shows an alert instead of the page; it wrote:\n"
                                       + launch.output()[-2000:])
            if ended:
                raise ServiceError(f"{launch.program.name} ended before reporting {kind!r}; it wrote:\n"
                                   + launch.output()[-2000:])
            if time.monotonic() > deadline:
                raise ServiceError(f"{launch.program.name} reported no {kind!r} within {timeout} s; it wrote:\n"
                                   + launch.output()[-2000:])
            time.sleep(0.005)
