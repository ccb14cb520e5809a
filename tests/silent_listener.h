// A TCP listener on 127.0.0.1 that takes connections (into its backlog) and never answers.
#pragma once

// The port, or 0 when none could be opened; the listener lives until the process ends.
unsigned short OpenSilentListener();
