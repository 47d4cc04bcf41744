#!/usr/bin/env python3
"""One SMTP session on 127.0.0.1 for the delivery tests.

Prints "PORT <n> <pid>" once it listens, serves one connection, then prints one JSON line
with what it saw and exits. Nothing leaves the machine.

  --mode accept            a normal server
  --mode reject-rcpt       refuses every recipient (550)
  --mode close-after-data  takes the whole message, then hangs up without a reply
  --mode silent            accepts the connection and never says a word
  --mode silent-at-quit    takes the message, then never answers QUIT
  --tls-dir DIR            TLS from the first byte, with a throw-away certificate
                           made in DIR (DIR/cert.pem is what the client trusts)
  --user U --password P    a login is required before MAIL
"""
import argparse
import base64
import email
import email.policy
import json
import os
import signal
import socket
import ssl
import subprocess
import sys


def make_certificate(directory):
    cert = os.path.join(directory, "cert.pem")
    key = os.path.join(directory, "key.pem")
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
         "-nodes", "-keyout", key, "-out", cert, "-days", "1", "-subj", "/CN=127.0.0.1",
         "-addext", "subjectAltName=IP:127.0.0.1"],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return cert, key


def session(conn, args, record):
    reader = conn.makefile("rb")

    def send(line):
        conn.sendall((line + "\r\n").encode())

    def read_line():
        raw = reader.readline()
        return None if not raw else raw.decode("latin-1").rstrip("\r\n")

    if args.mode == "silent":
        while conn.recv(4096):
            pass
        record["closed_by_client"] = True
        return

    send("220 127.0.0.1 ESMTP test server")
    logged_in = args.user is None
    while True:
        line = read_line()
        if line is None:
            record["closed_by_client"] = True
            return
        verb = line.split(" ", 1)[0].upper()
        record["commands"].append(line if verb != "AUTH" else " ".join(line.split()[:2]))
        if verb in ("EHLO", "HELO"):
            capabilities = ["127.0.0.1 greets you"]
            if args.user is not None:
                capabilities.append("AUTH PLAIN LOGIN")
            capabilities.append("8BITMIME")
            for i, capability in enumerate(capabilities):
                send(("250 " if i == len(capabilities) - 1 else "250-") + capability)
        elif verb == "AUTH":
            parts = line.split()
            mechanism = parts[1].upper() if len(parts) > 1 else ""
            if mechanism == "PLAIN":
                if len(parts) > 2:
                    blob = parts[2]
                else:
                    send("334 ")
                    blob = read_line() or ""
                _, user, password = base64.b64decode(blob).split(b"\0")
            elif mechanism == "LOGIN":
                if len(parts) > 2:
                    user = base64.b64decode(parts[2])
                else:
                    send("334 VXNlcm5hbWU6")
                    user = base64.b64decode(read_line() or "")
                send("334 UGFzc3dvcmQ6")
                password = base64.b64decode(read_line() or "")
            else:
                send("504 5.5.4 Unrecognized authentication type")
                continue
            record["login"] = [user.decode(), password.decode()]
            if user.decode() == args.user and password.decode() == args.password:
                logged_in = True
                send("235 2.7.0 Authentication successful")
            else:
                send("535 5.7.8 Authentication credentials invalid")
        elif verb == "MAIL":
            if not logged_in:
                send("530 5.7.0 Authentication required")
                continue
            record["mail_from"] = line[len("MAIL FROM:"):]
            send("250 2.1.0 Ok")
        elif verb == "RCPT":
            record["rcpt_to"].append(line[len("RCPT TO:"):])
            send("550 5.1.1 No such user here" if args.mode == "reject-rcpt" else "250 2.1.5 Ok")
        elif verb == "DATA":
            send("354 End data with <CR><LF>.<CR><LF>")
            wire = []
            while True:
                raw = reader.readline()
                if not raw:
                    record["closed_by_client"] = True
                    return
                if raw == b".\r\n":
                    break
                wire.append(raw)
            # The lines as they crossed the wire, dot-stuffing and all.
            record["data_lines"] = [line.decode("latin-1") for line in wire]
            if args.mode == "close-after-data":
                return
            message = b"".join(line[1:] if line.startswith(b".") else line for line in wire)
            record["message"] = message.decode("latin-1")
            parsed = email.message_from_bytes(message, policy=email.policy.default)
            record["headers"] = [[name, str(value)] for name, value in parsed.items()]
            record["body"] = parsed.get_payload(decode=True).decode(parsed.get_content_charset() or "ascii")
            record["accepted"] = True
            send("250 2.0.0 Ok: queued")
        elif verb in ("RSET", "NOOP"):
            send("250 2.0.0 Ok")
        elif verb == "QUIT":
            if args.mode == "silent-at-quit":
                while conn.recv(4096):
                    pass
                record["closed_by_client"] = True
                return
            send("221 2.0.0 Bye")
            return
        else:
            send("502 5.5.2 Command not recognized")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mode", default="accept",
                        choices=["accept", "reject-rcpt", "close-after-data", "silent", "silent-at-quit"])
    parser.add_argument("--tls-dir")
    parser.add_argument("--user")
    parser.add_argument("--password")
    args = parser.parse_args()
    signal.alarm(30)  # a test that forgot us must not leave us behind

    context = None
    if args.tls_dir:
        cert, key = make_certificate(args.tls_dir)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    print("PORT", listener.getsockname()[1], os.getpid(), flush=True)

    record = {"commands": [], "rcpt_to": [], "mail_from": None, "login": None,
              "accepted": False, "closed_by_client": False}
    conn, _ = listener.accept()
    try:
        if context is not None:
            conn = context.wrap_socket(conn, server_side=True)
        session(conn, args, record)
    except (ssl.SSLError, ConnectionError, OSError) as error:
        record["error"] = str(error)
    finally:
        conn.close()
    print(json.dumps(record), flush=True)


if __name__ == "__main__":
    sys.exit(main())
