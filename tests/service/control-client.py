#!/usr/bin/env python3
"""Clients of pallixd's control socket that pallixctl is not: many at once,
one that never reads, one that closes its sending side, raw requests.

  control-client.py crowd SOCKET COUNT     COUNT connections at once, then closed;
                                           prints "connected N refused M"
  control-client.py flood SOCKET SECONDS   status requests, never reading, for a while;
                                           prints "sent N bytes, dropped yes|no"
  control-client.py halfclose SOCKET LINE  LINE, the sending side closed, the replies
  control-client.py ask SOCKET LINE...     each LINE and its reply, one at a time
"""
import resource
import socket
import sys
import time


def connect(path, timeout=5.0):
    client = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    client.settimeout(timeout)
    client.connect(path)
    return client


def read_line(client):
    data = b""
    while not data.endswith(b"\n"):
        chunk = client.recv(65536)
        if not chunk:
            break
        data += chunk
    return data.decode().strip()


def crowd(path, count):
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, count + 64), hard))
    clients, refused = [], 0
    for _ in range(count):
        clients.append(connect(path))
    time.sleep(1.0)
    for client in clients:
        client.setblocking(False)
        try:
            if b'"kind":"busy"' in client.recv(4096):
                refused += 1
        except BlockingIOError:
            pass
        except ConnectionResetError:   # dropped unanswered: turned away too
            refused += 1
    for client in clients:
        client.close()
    print(f"connected {len(clients)} refused {refused}")


def flood(path, seconds):
    client = connect(path)
    client.setblocking(False)
    request = b'{"request":"status"}\n' * 64
    sent, dropped, deadline = 0, False, time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            sent += client.send(request)
        except BlockingIOError:
            time.sleep(0.01)
        except (BrokenPipeError, ConnectionResetError):
            dropped = True
            break
    print(f"sent {sent} bytes, dropped {'yes' if dropped else 'no'}")


def halfclose(path, line):
    client = connect(path)
    client.sendall(line.encode() + b"\n")
    client.shutdown(socket.SHUT_WR)
    data = b""
    while chunk := client.recv(65536):
        data += chunk
    sys.stdout.write(data.decode())


def ask(path, lines):
    client = connect(path)
    for line in lines:
        client.sendall(line.encode() + b"\n")
        print(read_line(client))


def main(argv):
    command, path = argv[1], argv[2]
    if command == "crowd":
        crowd(path, int(argv[3]))
    elif command == "flood":
        flood(path, float(argv[3]))
    elif command == "halfclose":
        halfclose(path, argv[3])
    elif command == "ask":
        ask(path, argv[3:])
    else:
        sys.exit(f"unknown command {command}")


if __name__ == "__main__":
    main(sys.argv)
