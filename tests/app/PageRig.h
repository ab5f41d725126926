#pragma once

// PageRig: the transducer's pages on a controller over a scripted port and
// a virtual clock, with no main window: the settings in a temporary
// folder, every message and every platform error box recorded.
//
//   PageRig rig;
//   rig.onPort = [](ScriptedPort& p) { p.answerAlways(HexBytes("01 11"), ...); };
//   rig.make();                                  // port, controller, pages
//   rig.ctrl->Connect(); rig.pages->tsConfiguration()->...
//   rig.msgs.texts(), rig.look.errorBoxes, rig.statusBar->PanelText(2)

#include "app/DevicePages.h"
#include "app/InformationPage.h"
#include "app/LinkStatusBar.h"
#include "app/LookServices.h"
#include "app/ProgSettings.h"
#include "app/SchemeLook.h"
#include "app/SearchProgress.h"
#include "device/TransducerController.h"
#include "link/CommPortDriver.h"
#include "rbcontrols/RbStyleManager.h"
#include "DeviceAnswers.h"
#include "RecordingMessages.h"
#include "ScriptedPort.h"
#include "VirtualClock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>
#include <memory>

// The look services, written down.
class RecordingLook : public ILookServices {
public:
    void ShowPlatformError(const QString& text) override { errorBoxes << text; }
    void AdoptSchemeLook(QWidget* window) override { adopted << window; }
    void AdoptSchemeLook(QWidget* window, const QList<TRbCustomControl*>&, const QList<QWidget*>&) override
    {
        adopted << window;
    }

    QStringList errorBoxes;
    QList<QWidget*> adopted;
};

class PageRig : private ITransducerPrompts {
public:
    // `ini`: the settings file in the program folder, optional.
    explicit PageRig(const QByteArray& ini = {})
    {
        progDir = tmp.path() + QStringLiteral("/prog");
        cfgDir = tmp.path() + QStringLiteral("/cfg");
        QDir().mkpath(progDir);
        if (!ini.isEmpty()) {
            QFile f(progDir + QStringLiteral("/Zelkor.ini"));
            if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                f.write(ini);
        }
    }

    void make()
    {
        Q_INIT_RESOURCE(app); // the pages' pictures
        QString error;
        settingsLoaded = LoadSettings(settings, progDir + QStringLiteral("/zelkor"), cfgDir, &error);
        auto owned = std::make_unique<ScriptedPort>(clock);
        m_port = owned.get();
        if (onPort)
            onPort(*m_port);
        ctrl = std::make_unique<TTransducerController>(&clock, std::move(owned));
        ctrl->SetSearchSettings([this] { return settings.QuickSearch; },
                                [this] { return int(settings.DefaultSlaveID); });
        ApplyStartupSettings(*ctrl, settings);
        ctrl->SetPrompts(this);
        ctrl->SetMessageDialog(&msgs);
        window = std::make_unique<QWidget>();
        styleManager = new TRbStyleManager(window.get());
        styleManager->SetMainWindowValues();
        auto* layout = new QVBoxLayout(window.get());
        pages = new TDevicePages(*ctrl, settings, look, dueDateWarnings, window.get());
        statusBar = new TLinkStatusBar(*ctrl, window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(pages);
        layout->addWidget(statusBar);
        // The main window's 583 x 367 less its menu bar (24) and toolbar (42).
        window->setFixedSize(583, 367 - 24 - 42);
        pages->SetStyleManager(styleManager);
        ctrl->UpdateStatusBar();
    }

    // Connects at the settings' address with link errors reported; true when the device is there.
    bool connect()
    {
        ctrl->Session().link.ReportLinkErrors = true;
        ctrl->Connect();
        return ctrl->IsConnected();
    }

    ScriptedPort* port() const { return m_port; }
    int comChoices = 0; // the COM-port choices asked; each takes COM1
    std::function<void()> onComChoice; // called as each is asked
    TDeviceSession& session() { return ctrl->Session(); }

    QTemporaryDir tmp;
    QString progDir;
    QString cfgDir;
    VirtualClock clock;
    RecordingMessages msgs;
    RecordingLook look;
    TProgSettings settings;
    bool settingsLoaded = false;
    TDueDateWarnings dueDateWarnings;
    std::function<void(ScriptedPort&)> onPort;
    std::unique_ptr<TTransducerController> ctrl;
    std::unique_ptr<QWidget> window; // the pages and the status bar, as the main window holds them
    TRbStyleManager* styleManager = nullptr;
    TDevicePages* pages = nullptr;
    TLinkStatusBar* statusBar = nullptr;

private:
    int EnterValue(const QString& prompt, double& value, double defaultValue) override
    {
        return msgs.EnterValue(prompt, value, 0, defaultValue);
    }
    bool ChooseComPort() override
    {
        ++comChoices;
        if (onComChoice)
            onComChoice();
        ctrl->Driver()->SetPort(1);
        return true;
    }

    ScriptedPort* m_port = nullptr;
};

// SearchRig: a PageRig with the scheme look and the search's status window
// as the main window composes them.
//
//   SearchRig rig;
//   rig.make();
//   rig.ctrl->SearchFirstDevice(); rig.status()->Text()
class SearchRig : public PageRig {
public:
    using PageRig::PageRig;

    ~SearchRig()
    {
        // The status window uses the look: it goes last, as in the main window.
        if (scheme) {
            scheme->setParent(nullptr);
            scheme->setParent(window.get());
        }
    }

    void make()
    {
        PageRig::make();
        scheme = new TSchemeLook(window.get(), settings, TStyleEditorDialogs{});
        progress = new TSearchProgress(*ctrl, *scheme, window.get());
    }

    TfrmViewStatus* status() const { return progress->ViewStatus(); }

    // The settings' scheme file written with `content` and loaded as the
    // start-up loads it, the pages on the look's manager as the main window has them.
    bool adoptScheme(const QByteArray& content, QString* error)
    {
        QDir().mkpath(QFileInfo(settings.ColorSchemePath).absolutePath());
        QFile f(settings.ColorSchemePath);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(content);
        f.close();
        scheme->WindowWidgets = [this] {
            return QList<QWidget*>{pages, statusBar, pages->tsInformation()->edPLType};
        };
        pages->SetStyleManager(&scheme->StyleManager());
        return scheme->LoadColorScheme(settings.ColorSchemePath, error);
    }

    TSchemeLook* scheme = nullptr;
    TSearchProgress* progress = nullptr;
};
