# Orca loads this file from its settings folder (orca -u DIR) when it starts.  It changes
# nothing Orca does: it copies what Orca's "speech" logger records (one "SPEECH OUTPUT: ..."
# line for every text Orca hands to its speech server) to the file named by
# PINDEL_ORCA_SPEECH, one line written out at a time, so that the test can follow it while the
# game is played.  No speech server is needed for the lines to be logged.
import logging
import os

_path = os.environ.get("PINDEL_ORCA_SPEECH")
if _path:
    _handler = logging.FileHandler(_path, encoding="utf-8")  # flushes after every record
    _handler.setFormatter(logging.Formatter("%(created).3f %(message)s"))
    _speech = logging.getLogger("speech")
    _speech.setLevel(logging.INFO)
    _speech.addHandler(_handler)
