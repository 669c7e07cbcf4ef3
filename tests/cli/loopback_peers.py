"""Loopback peers for the export test: a listener that accepts (on 127.0.0.1, and on ::1 where the machine has
IPv6), a port that refuses (bound but never listening, so no other program can take it), two free ports for
the exporter and Prometheus, and a refusing port for an Alertmanager that is not there. Writes
"accepting refusing accepting6 exporter prometheus alertmanager" (0 for no IPv6) into the file named by its
argument, then accepts and closes connections until it is stopped."""
import os
import selectors
import socket
import sys


def bound(family, host):
    sock = socket.socket(family, socket.SOCK_STREAM)
    sock.bind((host, 0))
    return sock


def free_port():
    with bound(socket.AF_INET, "127.0.0.1") as sock:
        return sock.getsockname()[1]


def main():
    listeners = [bound(socket.AF_INET, "127.0.0.1")]
    try:
        listeners.append(bound(socket.AF_INET6, "::1"))
    except OSError:
        pass
    refusing = bound(socket.AF_INET, "127.0.0.1")
    alertmanager = bound(socket.AF_INET, "127.0.0.1")
    selector = selectors.DefaultSelector()
    for listener in listeners:
        listener.listen(64)
        selector.register(listener, selectors.EVENT_READ)
    ports = [listeners[0].getsockname()[1], refusing.getsockname()[1],
             listeners[1].getsockname()[1] if len(listeners) > 1 else 0,
             free_port(), free_port(), alertmanager.getsockname()[1]]
    with open(sys.argv[1] + ".tmp", "w") as out:
        out.write(" ".join(map(str, ports)) + "\n")
    os.rename(sys.argv[1] + ".tmp", sys.argv[1])
    while True:
        for key, _ in selector.select():
            connection, _ = key.fileobj.accept()
            connection.close()


if __name__ == "__main__":
    main()
