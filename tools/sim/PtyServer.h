#pragma once

#include "AnswerPacer.h"
#include "RequestFramer.h"
#include "SimEngine.h"

#include <csignal>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class TScpiPty;

// The line side of the simulator: a pseudo-terminal whose slave end the
// program opens as its serial port. Requests are framed and handed to the
// engine, answers are sent back at the pace of the real line.
class TPtyServer {
public:
    TPtyServer(TSimEngine& engine, const TLineOptions& line);
    ~TPtyServer();
    TPtyServer(const TPtyServer&) = delete;
    TPtyServer& operator=(const TPtyServer&) = delete;

    bool Open(std::string* error);
    const std::string& SlavePath() const { return m_slavePath; }

    // A line-oriented command input (stdin); the handler returns false to end the run.
    void SetCommandInput(int fd, std::function<bool(const std::string&)> handler);
    // A bench instrument on a line of its own, served in the same loop.
    void AddSideLine(TScpiPty* line) { m_sideLines.push_back(line); }
    // Called after every request that changed the transducer's memory.
    void SetStateChangedHandler(std::function<void()> handler) { m_onChanged = std::move(handler); }

    // Serves until *stop is set; `wakeFd` (readable on a signal) cuts a wait short.
    void Run(const volatile std::sig_atomic_t* stop, int wakeFd);

private:
    void schedule(const TSimBytes& answer, int64_t nowUs);
    void flushDue(int64_t nowUs);
    void handleFrames(int64_t nowUs);
    void readMaster(int64_t nowUs);
    void hangUp();
    void readOpenCloseEvents();
    bool readCommands();
    int waitMs(int64_t nowUs, bool watchingMaster) const;

    TSimEngine& m_engine;
    TLineOptions m_line;
    int m_master = -1;
    std::string m_slavePath;
    // Our own descriptor of the slave end, and a watch on who opens and closes it.
    // A pty keeps the exclusive flag the program sets (TIOCEXCL) after the
    // program has closed it, so only root could open the port again; with a
    // descriptor of our own the flag can be cleared once the last user is gone.
    int m_slaveHold = -1;
    int m_watch = -1;
    int m_openers = 0;
    TRequestFramer m_framer;
    std::deque<TOutByte> m_out;
    int64_t m_lineFreeUs = 0;
    bool m_peerOpen = false;
    int64_t m_retryUs = 0;  // while nobody holds the slave, look again at this time
    int m_commandFd = -1;
    std::string m_commandBuffer;
    std::function<bool(const std::string&)> m_onCommand;
    std::function<void()> m_onChanged;
    bool m_quit = false;
    std::vector<TScpiPty*> m_sideLines;
};

std::string HexBytes(const uint8_t* data, size_t count);
