#pragma once

// MainRig: a main window offscreen on a scripted port and a virtual clock,
// with its program folder in a temporary directory and the message seam
// recording every message.
//
//   MainRig rig("[Defaults]\r\nConnectBeforeRun=1\r\n");   // settings file, optional
//   rig.port()->... is there only after make(); script the device in onPort:
//   rig.onPort = [](ScriptedPort& p) { p.answerAlways(HexBytes("01 11"), ...); };
//   auto frm = rig.make();                                  // runs the start-up
//   rig.msgs.texts(), rig.comChoices, rig.errorBoxes

#include "link/CommPortDriver.h"
#include "DeviceAnswers.h"
#include "app/MainWindow.h"
#include "RecordingMessages.h"
#include "ScriptedPort.h"
#include "VirtualClock.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class MainRig {
public:
    explicit MainRig(const QByteArray& ini = {}, const QByteArray& scheme = DefaultScheme())
    {
        progDir = tmp.path() + QStringLiteral("/prog");
        historyPath = tmp.path() + QStringLiteral("/data/history.sqlite");
        cfgDir = tmp.path() + QStringLiteral("/cfg");
        QDir().mkpath(progDir + QStringLiteral("/ColorSchemas"));
        if (!scheme.isNull())
            writeFile(progDir + QStringLiteral("/ColorSchemas/Standart.rbs"), scheme);
        if (!ini.isEmpty())
            writeFile(iniPath(), ini);
    }

    static QByteArray DefaultScheme()
    {
        return "[RbControls]\r\nTRbStyleManagerNPanelColor=14215660\r\n[Other]\r\nFormColor=-16777201\r\n";
    }

    std::unique_ptr<TfrmMain> make()
    {
        auto owned = std::make_unique<ScriptedPort>(clock);
        m_port = owned.get();
        if (onPort)
            onPort(*m_port);
        TMainWindowOptions o;
        o.ticks = &clock;
        o.device = std::move(owned);
        o.exePath = progDir + QStringLiteral("/zelkor");
        o.userConfigDir = cfgDir;
        o.historyPath = historyPath;
        o.messages = &msgs;
        o.errorBox = [this](const QString& text) { errorBoxes << text; };
        o.styleEditorDialogs = editorDialogs;
        o.chooseComPort = [this](TfrmMain& frm) {
            ++comChoices;
            if (onComChoice)
                onComChoice(frm);
            if (comChoiceAccepts && comChoicePort > 0) // 0: keep the port as named
                frm.cpDRV()->SetPort(comChoicePort);
            return comChoiceAccepts;
        };
        return std::make_unique<TfrmMain>(std::move(o));
    }

    QString iniPath() const { return progDir + QStringLiteral("/Zelkor.ini"); }
    QByteArray iniContent() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }

    static void AnswerAsDevice(ScriptedPort& p, uint8_t address = 1) { ::AnswerAsDevice(p, address); }
    static void AnswerMeasurements(ScriptedPort& p, uint8_t address = 1) { ::AnswerMeasurements(p, address); }

    ScriptedPort* port() const { return m_port; }

    // The menu bar's menu of that title; nullptr when there is none.
    static QMenu* menuTitled(const QMainWindow& window, const QString& title)
    {
        for (QAction* a : window.menuBar()->actions())
            if (a->text() == title)
                return a->menu();
        return nullptr;
    }

    QTemporaryDir tmp;
    QString progDir;
    QString cfgDir;
    QString historyPath; // the journal of the transducers, in the temporary folder
    VirtualClock clock;
    RecordingMessages msgs;
    std::function<void(ScriptedPort&)> onPort;
    std::function<void(TfrmMain&)> onComChoice;
    bool comChoiceAccepts = true;
    int comChoicePort = 1;
    int comChoices = 0;
    QStringList errorBoxes;
    TStyleEditorDialogs editorDialogs; // the colour-scheme editor's dialogs

private:
    ScriptedPort* m_port = nullptr;
};
