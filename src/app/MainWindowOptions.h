#pragma once

#include "link/SerialDevice.h"
#include "rbcontrols/RbStyleEditor.h"

#include <QString>

#include <functional>
#include <memory>

class IMessageDialog;
class ITickSource;
class QMainWindow;
class TfrmMain;

// What the main window is built on. The defaults make the program; tests
// pass a virtual clock, a scripted port, a folder of their own and answer the
// modal COM-port choice themselves.
struct TMainWindowOptions {
    ITickSource* ticks = nullptr;            // default: the system tick counter
    std::unique_ptr<ISerialDevice> device;   // default: the platform's serial backend
    QString exePath;                         // default: the running executable
    QString userConfigDir;                   // default: $XDG_CONFIG_HOME/zelkor
    // The modal COM-port choice; false when it ended with Cancel.
    std::function<bool(TfrmMain&)> chooseComPort;
    // The platform's standard error box (a colour scheme that does not load).
    std::function<void(const QString&)> errorBox;
    // The message dialog of the window and the transducer; default: the
    // program's own, built when first needed.
    IMessageDialog* messages = nullptr;
    // The colour-scheme editor's colour, font and file dialogs.
    TStyleEditorDialogs styleEditorDialogs;
    // The journal of the transducers; default: $XDG_DATA_HOME/zelkor/history.sqlite.
    QString historyPath;
};

// The program's window on `options`; its creation runs the start-up sequence.
std::unique_ptr<QMainWindow> MakeMainWindow(TMainWindowOptions options);
