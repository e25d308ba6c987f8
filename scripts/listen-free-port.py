#!/usr/bin/env python3
"""Listens on the first free TCP port of 127.0.0.1 from a given one on, writes the port's
number to a file and runs a command with the listening socket as its standard input (as
inetd does). Taking the socket before the command starts leaves no moment in which another
program could take the port. Without a command it only prints the first free port's number,
for a program that takes a port by its number.

  listen-free-port.py <first-port> <port-file> <command> [arguments...]
  listen-free-port.py <first-port>
"""
import os
import socket
import sys

if len(sys.argv) != 2 and len(sys.argv) < 4:
    sys.exit(__doc__)
first, port_file, command = int(sys.argv[1]), sys.argv[2:3], sys.argv[3:]
for port in range(first, min(first + 100, 65536)):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    # Only lets a port whose last connections are still closing be taken; never a busy one.
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    try:
        listener.bind(('127.0.0.1', port))
    except OSError:
        listener.close()
        continue
    if not command:
        print(port)
        sys.exit(0)
    listener.listen(16)
    with open(port_file[0], 'w') as out:
        out.write(f'{port}\n')
    os.dup2(listener.fileno(), 0)
    os.execvp(command[0], command)
sys.exit(f'no free port on 127.0.0.1 from {first} to {first + 99}')
