"""A PipeWire daemon of the caller's own, without a session manager, in a runtime folder
of its own. Nodes made in it stay until the daemon goes."""

import os
import subprocess

from .processes import wait_until

# Only what a registry listener and node factories need: no audio, no devices.
CONFIGURATION = """context.properties = { core.daemon = true core.name = pipewire-0 support.dbus = false }
context.spa-libs = { videotestsrc = videotestsrc/libspa-videotestsrc support.* = support/libspa-support }
context.modules = [ { name = libpipewire-module-protocol-native } { name = libpipewire-module-metadata }
    { name = libpipewire-module-spa-node-factory } { name = libpipewire-module-client-node }
    { name = libpipewire-module-access } { name = libpipewire-module-adapter } { name = libpipewire-module-link-factory } ]
"""


class PipeWire:
    def __init__(self, processes, folder):
        runtime = os.path.join(folder, "pipewire-runtime")
        os.makedirs(runtime, mode=0o700)
        self.socket = os.path.join(runtime, "pipewire-0")
        config = os.path.join(folder, "pipewire.conf")
        with open(config, "w") as file:
            file.write(CONFIGURATION)
        self.environment = {key: value for key, value in os.environ.items() if not key.startswith("PIPEWIRE_")}
        self.environment["XDG_RUNTIME_DIR"] = runtime
        processes.start(["pipewire", "-c", config], "pipewire", self.environment)
        if not wait_until(lambda: os.path.exists(self.socket), 5):
            raise RuntimeError("PipeWire did not start (see pipewire.log)")

    def create_node(self, properties):
        """A video test source with these properties, as a portal's screen cast or a camera."""
        arguments = " ".join(f"{key}={value!r}".replace("'", '"') for key, value in properties.items())
        subprocess.run(["pw-cli", "create-node", "spa-node-factory",
                        "{ factory.name=videotestsrc object.linger=true " + arguments + " }"],
                       env=self.environment, capture_output=True, check=True, timeout=10)
