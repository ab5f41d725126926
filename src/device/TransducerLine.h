#pragma once

class TCommPortDriver;

// The transducer's line: 1200 baud, 8 data bits, no parity, 2 stop bits, RTS
// held on, DTR left off at open, one second for each direction. The port
// name is the caller's.
void SetTransducerLine(TCommPortDriver& drv);
