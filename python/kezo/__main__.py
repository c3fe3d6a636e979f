"""``python -m kezo``: the kezo command line."""

from kezo.cli import main

raise SystemExit(main())
