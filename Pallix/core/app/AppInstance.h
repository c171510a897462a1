// The application as a whole: one copy per desktop, and the way it ends.
#pragma once

// True when another copy of the application is running beside this one.
bool anotherInstanceRunning();

// Ends the application at once: the tray icon goes, every window closes and
// the event loop returns. Work still under way sees appState().ending and
// stops early.
void endApplication(int exitCode = 0);
