#!/usr/bin/python3
"""Holds the write lock of an SQLite file (the settings store) until killed,
as another writer that never lets go would.

Usage: hold_store_lock.py FILE
Prints "locked" once the lock is held.
"""
import sqlite3
import sys
import time


def main():
    connection = sqlite3.connect(sys.argv[1], isolation_level=None)
    connection.execute("BEGIN EXCLUSIVE")
    print("locked", flush=True)
    while True:
        time.sleep(60)


if __name__ == "__main__":
    main()
