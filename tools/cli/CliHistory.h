#pragma once

#include "CliOptions.h"

#include <memory>

class THistoryRecorder;
class THistoryStore;
struct TDeviceSession;
struct TProgSettings;

// history and certificate: the journal of the transducers from a script.
int RunHistoryCommand(const TCliOptions& options);

// What a command writes to the device goes into the history as the
// program's own writes do (unless the settings turned recording off).
class TCliHistoryRecording {
public:
    TCliHistoryRecording(TDeviceSession& session, const TProgSettings& settings);
    ~TCliHistoryRecording();

private:
    std::unique_ptr<THistoryStore> m_store;
    std::unique_ptr<THistoryRecorder> m_recorder;
};
