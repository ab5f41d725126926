#pragma once

class TfrmMain;

// Set by the status window's "Стоп!"; the search clears it when it starts
// and looks at it once per address, before the address is tried.
extern bool SearchStopRequested;

// Tries the addresses 1 to 255 until a device answers the identification,
// then connects to it. With QuickSearch a first pass gives each address one
// request and 250 ms after it has left the line for the answer to begin; the
// full scan runs only when that pass found nothing. Shows its progress in the status window; the input
// time-out is 500 ms while it scans and 1000 ms again afterwards.
void SearchFirstDevice(TfrmMain& main);
