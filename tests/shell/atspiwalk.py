#!/usr/bin/env python3
"""Walks the AT-SPI tree of one running program's windows, as a screen reader reads it.

atspiwalk.py PID [TITLE]: the windows (frames and dialogs) of process PID, or only those titled
TITLE. Prints one line per focusable control without a name ("NAMELESS window: path"), per grid
column without a caption ("NOCAPTION window: path column N"), then "WINDOWS n CONTROLS m".
Ends with status 3 when the program is not on the accessibility bus within 20 seconds.
"""
import sys
import time

import pyatspi

# Cells name themselves by their text, which may be empty; the grid's captions are checked apart.
SKIPPED = {pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_COLUMN_HEADER, pyatspi.ROLE_ROW_HEADER,
           pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_PAGE_TAB}
# A label names itself by its text; one with none (a note not written yet) has nothing to read.
TEXTS = {pyatspi.ROLE_LABEL, getattr(pyatspi, "ROLE_STATIC", pyatspi.ROLE_LABEL)}


def application(pid):
    deadline = time.time() + 20
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                pass
        time.sleep(0.5)
    return None


def labelled(acc):
    for relation in acc.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets() > 0:
            return True
    return False


def walk(acc, window, path, counts, out):
    try:
        role = acc.getRole()
        states = acc.getState()
    except Exception:
        return
    here = path + "/" + (acc.getRoleName() or "?")
    if acc.name:
        here += "[" + acc.name[:40] + "]"
    if (states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING)
            and role not in SKIPPED and role not in TEXTS):
        counts[1] += 1
        if not acc.name.strip() and not labelled(acc):
            out.append("NAMELESS %s: %s" % (window, here))
    if role == pyatspi.ROLE_TABLE:
        if states.contains(pyatspi.STATE_SHOWING):
            table = acc.queryTable()
            for column in range(table.nColumns):
                header = table.getColumnHeader(column)
                if header is None or not (header.name or "").strip():
                    out.append("NOCAPTION %s: %s column %d" % (window, here, column + 1))
        return  # its cells are the grid's data, not controls
    for child in acc:
        if child is not None:
            walk(child, window, here, counts, out)


def main():
    pid = int(sys.argv[1])
    title = sys.argv[2] if len(sys.argv) > 2 else None
    app = application(pid)
    if app is None:
        print("program %d not on the accessibility bus" % pid)
        return 3
    counts = [0, 0]
    out = []
    for window in app:
        if window is None or (title is not None and window.name != title):
            continue
        if not window.getState().contains(pyatspi.STATE_SHOWING):
            continue
        counts[0] += 1
        walk(window, window.name, "", counts, out)
    for line in out:
        print(line)
    print("WINDOWS %d CONTROLS %d" % tuple(counts))
    return 0


if __name__ == "__main__":
    sys.exit(main())
