"""``python -m kezo``: the kezo command line."""

from kezo._cli import main

raise SystemExit(main())
