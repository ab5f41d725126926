#pragma once

#include "ScpiInstruments.h"

#include <string>

// A SCPI instrument on a pseudo-terminal of its own: command lines in, reply
// lines out at once (a bench meter answers in milliseconds, not at the
// transducer's 1200 bit/s). Like the transducer's line it holds its slave end
// and clears the exclusive flag a closing program leaves behind.
class TScpiPty {
public:
    TScpiPty(const char* name, TSimScpiInstrument& instrument, bool verbose);
    ~TScpiPty();
    TScpiPty(const TScpiPty&) = delete;
    TScpiPty& operator=(const TScpiPty&) = delete;

    bool Open(std::string* error);
    // The instrument is gone: the line hangs up for the program.
    void Close();
    bool IsOpen() const { return m_master >= 0; }
    const std::string& SlavePath() const { return m_slavePath; }
    const char* Name() const { return m_name; }

    int MasterFd() const { return m_master; }
    int WatchFd() const { return m_watch; }
    void OnMasterReadable();
    void OnWatchReadable();

private:
    void reply(const std::string& line);

    const char* m_name;
    TSimScpiInstrument& m_instrument;
    bool m_verbose;
    int m_master = -1;
    int m_slaveHold = -1;
    int m_watch = -1;
    int m_openers = 0;
    std::string m_slavePath;
    std::string m_buffer;
};
