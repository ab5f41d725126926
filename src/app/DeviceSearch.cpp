#include "app/DeviceSearch.h"

#include "link/CommPortDriver.h"
#include "device/DeviceScan.h"
#include "app/MainWindow.h"
#include "link/MessageDialog.h"
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbProgressBar.h"
#include "app/ViewStatusFrm.h"

bool SearchStopRequested = false;

namespace {

const QString kAskDisconnect = QStringLiteral("Разорвать установленное соединение?");
const QString kSearching = QStringLiteral("Поиск прибора до первого найденного");
// "СОМ" is written in Cyrillic letters here, as the program always showed it.
const QString kSearchingAt = QStringLiteral("Поиск прибора до первого найденного\n\rСОМ-порт СОМ");
const QString kNoneFound = QStringLiteral("Ниодного прибора не найдено.");

void EndStatus(TfrmViewStatus* status)
{
    status->hide();
    status->RbProgressBar->hide();
    status->btnStop->hide();
}

} // namespace

void SearchFirstDevice(TfrmMain& main)
{
    TCommPortDriver* drv = main.cpDRV();
    main.ProcessEvents();
    if (main.IsConnected()) {
        if (MessageDlg(kAskDisconnect, mkConfirmation, mbYes | mbNo) != mrYes)
            return;
        main.DisconnectDevice();
    }
    main.ProcessEvents();
    if (drv->Port() == pnCustom && !main.ShowCOMChoice())
        return;

    TfrmViewStatus* status = main.ViewStatus();
    status->SetText(kSearching);
    // Max before Min: the bar takes each only while it keeps Min below Max.
    status->RbProgressBar->SetMax(kScanLastAddress);
    status->RbProgressBar->SetMin(kScanFirstAddress);
    status->RbProgressBar->SetPosition(kScanFirstAddress);
    status->RbProgressBar->show();
    status->btnStop->show();
    status->ShowStatus();
    main.ProcessEvents();

    SearchStopRequested = false;
    TScanHooks hooks;
    hooks.StopRequested = [] { return SearchStopRequested; };
    hooks.Trying = [&](int address) {
        status->SetText(kSearchingAt + QString::number(main.PortNumberFromName()) + QStringLiteral(" адрес ")
                        + QString::number(address) + QStringLiteral("."));
        main.ProcessEvents();
        status->RbProgressBar->SetPosition(status->RbProgressBar->Position() + 1);
        main.ProcessEvents();
    };
    hooks.Identify = [&](int address) { return main.IdentifyDevice(address); };
    hooks.PassStarted = [&] { status->RbProgressBar->SetPosition(kScanFirstAddress); };
    if (ScanForDevice(main.Session(), hooks, main.Settings().QuickSearch) == TScanResult::Stopped) {
        EndStatus(status);
        return;
    }

    TTransducerData& t = main.Session().Transducer;
    const bool found = main.IsConnected();
    if (found)
        main.ConnectDevice(); // identifies again and reads the configuration
    EndStatus(status);
    if (!found) {
        t.SlaveID = main.Settings().DefaultSlaveID;
        MessageDlg(kNoneFound, mkWarning, mbOk);
    }
}
