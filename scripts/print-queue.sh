#!/usr/bin/env bash
# The print queue of the tests: a CUPS queue KeloPDF with the cups-pdf backend as the
# default printer. cups-pdf writes each job as a PDF into the PDF folder of the user's home
# (Out in /etc/cups/cups-pdf.conf). The queue turns the program's PDF into PostScript with
# pdftocairo, which keeps the texts readable in the PDF that cups-pdf makes of it (the
# Ghostscript renderer turns them into glyphs without characters).
#
# Usage: scripts/print-queue.sh start|stop [OWNER]
#   start  starts the CUPS scheduler when none runs (and remembers for OWNER that it did),
#          adds the queue when it is missing and makes it the default printer
#   stop   stops the scheduler that start started for the same OWNER, if any
# OWNER (default "tests") keeps the callers apart: scripts/test.sh and the test suite's
# fixture each stop only a scheduler they started themselves.
set -euo pipefail

QUEUE=KeloPDF
PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
STATE=${TMPDIR:-/tmp}/kelo-print-queue-${2:-tests}.pid
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

running() { lpstat -r 2>/dev/null | grep -q "is running"; }

case "${1:-}" in
start)
  if ! running; then
    $SUDO setsid cupsd -f >/dev/null 2>&1 &
    echo $! > "$STATE"
    for _ in $(seq 100); do running && break; sleep 0.1; done
    running || { echo "print-queue: the CUPS scheduler did not start" >&2; exit 1; }
  fi
  if ! lpstat -p "$QUEUE" >/dev/null 2>&1; then
    $SUDO lpadmin -p "$QUEUE" -E -v cups-pdf:/ -P "$PPD" 2>/dev/null
  fi
  $SUDO lpadmin -p "$QUEUE" -o pdftops-renderer-default=pdftocairo
  $SUDO lpadmin -d "$QUEUE"
  $SUDO cancel -a "$QUEUE" 2>/dev/null || true # jobs left over from an earlier run
  echo "print-queue: $QUEUE is the default printer"
  ;;
stop)
  if [ -f "$STATE" ]; then
    pid=$(cat "$STATE")
    rm -f "$STATE"
    $SUDO kill "$pid" 2>/dev/null || true
  fi
  ;;
*)
  echo "usage: $0 start|stop" >&2
  exit 2
  ;;
esac
