// The application as a whole: one copy per desktop, and the way it ends.
#pragma once

// True when another copy of the application is running beside this one.
bool anotherInstanceRunning();

// Ends the application at once: the tray icon goes, every window closes and
// the event loops return. Ticks and waits that are still running see
// appState().ending and stop early.
void endApplication(int exitCode = 0);
