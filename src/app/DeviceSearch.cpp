#include "DeviceSearch.h"

#include "CommPortDriver.h"
#include "MainWindow.h"
#include "MessageDialog.h"
#include "RbButton.h"
#include "RbProgressBar.h"
#include "ViewStatusFrm.h"

bool SearchStopRequested = false;

namespace {

const QString kAskDisconnect = QStringLiteral("Разорвать установленное соединение?");
const QString kSearching = QStringLiteral("Поиск прибора до первого найденного");
// "СОМ" is written in Cyrillic letters here, as the program always showed it.
const QString kSearchingAt = QStringLiteral("Поиск прибора до первого найденного\n\rСОМ-порт СОМ");
const QString kNoneFound = QStringLiteral("Ниодного прибора не найдено.");

constexpr int kFirstAddress = 1;
constexpr int kLastAddress = 255;
constexpr uint32_t kSearchInputTimeout = 500;
constexpr uint32_t kInputTimeout = 1000;

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

    drv->InputTimeout = kSearchInputTimeout;
    TfrmViewStatus* status = main.ViewStatus();
    status->SetText(kSearching);
    // Max before Min: the bar takes each only while it keeps Min below Max.
    status->RbProgressBar->SetMax(kLastAddress);
    status->RbProgressBar->SetMin(kFirstAddress);
    status->RbProgressBar->SetPosition(kFirstAddress);
    status->RbProgressBar->show();
    status->btnStop->show();
    status->ShowStatus();
    main.ProcessEvents();

    SearchStopRequested = false;
    TTransducerData& t = main.Session().Transducer;
    for (int address = kFirstAddress; address <= kLastAddress && !main.IsConnected(); ++address) {
        main.ProcessEvents();
        if (SearchStopRequested) {
            EndStatus(status);
            drv->InputTimeout = kInputTimeout;
            return;
        }
        status->SetText(kSearchingAt + QString::number(main.PortNumberFromName()) + QStringLiteral(" адрес ")
                        + QString::number(address) + QStringLiteral("."));
        main.ProcessEvents();
        t.SlaveID = address;
        main.Session().link.ReportLinkErrors = false; // an address without a device is passed over silently
        status->RbProgressBar->SetPosition(status->RbProgressBar->Position() + 1);
        main.ProcessEvents();
        // A port that does not open makes the identification fail at once.
        drv->OpenPort();
        main.IdentifyDevice(t.SlaveID);
        main.ProcessEvents();
    }
    drv->InputTimeout = kInputTimeout;

    const bool found = main.IsConnected();
    if (found)
        main.ConnectDevice(); // identifies again and reads the configuration
    EndStatus(status);
    if (!found) {
        t.SlaveID = main.Settings().DefaultSlaveID;
        MessageDlg(kNoneFound, mkWarning, mbOk);
    }
}
