// Windows only: the console habits of trendora.exe and of trendora.com, its console companion
// (cmd and PowerShell run trendora.com before trendora.exe, so that --help, --version,
// --statistics and the report messages reach the console; a GUI program has none).
#pragma once

// Output to files and pipes byte for byte as elsewhere (no carriage return added before a line
// feed), and UTF-8 text shown as such in a console window. Call first in main.
void PrepareStandardStreams();

// For a command line that asks for the window: starts trendora.exe from the companion's folder
// with the same command line and returns at once, as cmd does for a GUI program. Returns the
// exit status: 0 once it started, 2 with a message on stderr when it could not be started.
int StartWindowProgram();
