#!/usr/bin/python3
"""HTTPS test server on 127.0.0.1 for the update check.

Usage: https_server.py DOCROOT CERT KEY. Prints the port once it listens.
Serves DOCROOT/<path>. A file FILE.mode beside FILE changes how FILE is answered:
  hang           accept the request, never answer
  cut            announce the whole length, send half, close
  huge           send 1 MiB more than the file without a length, then close
  redirect-http  302 to the same path over http://
  redirect       302 to the path named in the mode file's second line
  loop           302 to itself
  404 / 500      that status with a short page
  status         the status of the second line with the reason phrase of the third
"""
import http.server
import os
import ssl
import sys
import threading
import time

DOCROOT, CERT, KEY = sys.argv[1:4]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def redirect(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def do_GET(self):
        path = os.path.join(DOCROOT, self.path.lstrip("/"))
        mode_lines = []
        if os.path.exists(path + ".mode"):
            with open(path + ".mode") as f:
                mode_lines = f.read().split("\n")
        mode = mode_lines[0] if mode_lines else ""
        host = "127.0.0.1:%d" % self.server.server_address[1]
        if mode == "hang":
            time.sleep(120)
            return
        if mode == "redirect-http":
            return self.redirect("http://%s%s" % (host, self.path))
        if mode == "redirect":
            return self.redirect("https://%s%s" % (host, mode_lines[1]))
        if mode == "loop":
            return self.redirect("https://%s%s" % (host, self.path))
        if mode == "status":
            body = b"<html><body>error page</body></html>"
            self.send_response(int(mode_lines[1]), mode_lines[2])
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        if mode in ("404", "500"):
            body = b"<html><body>error page</body></html>"
            self.send_response(int(mode))
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        if not os.path.isfile(path):
            self.send_error(404)
            return
        with open(path, "rb") as f:
            body = f.read()
        if mode == "huge":
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body + b"x" * (1024 * 1024))
            self.close_connection = True
            return
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if mode == "cut":
            self.wfile.write(body[: len(body) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        self.wfile.write(body)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # clients that give up early are part of the tests


def main():
    server = Server(("127.0.0.1", 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(CERT, KEY)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
