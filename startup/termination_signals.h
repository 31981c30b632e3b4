#pragma once

// SIGTERM, SIGINT and SIGHUP only note that a close was asked for; the UI
// thread sees the note on its next tick and closes the main window, so a
// signal takes the same orderly path as the operator closing it.
void InstallTerminationHandlers();
bool TerminationRequested();
void ClearTerminationRequest();
