"""The local exam service, and every request it saw, read back from its request log."""

import json
import os
import subprocess


class ExamService:
    def __init__(self, binary, folder, options=()):
        self.log = os.path.join(folder, "requests.jsonl")
        if os.path.exists(self.log):
            os.remove(self.log)
        self.offset = 0
        self.seen = []
        self.reported = []
        with open(os.path.join(folder, "exam-service.log"), "ab") as errors:
            self.process = subprocess.Popen([binary, "--request-log", self.log, *options], stdout=subprocess.PIPE,
                                            stderr=errors, start_new_session=True)
        if not self.process.stdout.readline().startswith(b"exam-service listening on"):
            self.close()
            raise RuntimeError("the exam service did not start (see exam-service.log)")

    def requests(self, path=None):
        """Every request so far (of that path), oldest first; the log is read on from where
        the last look ended."""
        if os.path.exists(self.log):
            with open(self.log, "rb") as log:
                log.seek(self.offset)
                chunk = log.read()
            complete = chunk[:chunk.rfind(b"\n") + 1]
            self.offset += len(complete)
            for request in map(json.loads, complete.splitlines()):
                self.seen.append(request)
                if request.get("path") == "/report":
                    self.reported.append(json.loads(request["body"]))
        return [request for request in self.seen if not path or request.get("path") == path]

    def reports(self, match=None):
        """What the page reported (the bodies of POST /report), those with every key of MATCH."""
        self.requests()
        return [body for body in self.reported if all(body.get(key) == value for key, value in (match or {}).items())]

    def close(self):
        self.process.kill()
        self.process.wait()
