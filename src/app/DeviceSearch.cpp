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
// The quick pass: an address whose answer has not begun this long after the
// request has left the line is passed over.
constexpr uint32_t kQuickFirstByteWindow = 250;

void EndStatus(TfrmViewStatus* status)
{
    status->hide();
    status->RbProgressBar->hide();
    status->btnStop->hide();
}

// One pass over the addresses until a device answers; false when "Стоп!" ended it.
bool ScanAddresses(TfrmMain& main, TfrmViewStatus* status, uint32_t firstByteWindow)
{
    TTransducerData& t = main.Session.Transducer;
    status->RbProgressBar->SetPosition(kFirstAddress);
    for (int address = kFirstAddress; address <= kLastAddress && !main.IsConnected(); ++address) {
        main.ProcessEvents();
        if (SearchStopRequested)
            return false;
        status->SetText(kSearchingAt + QString::number(main.PortNumberFromName()) + QStringLiteral(" адрес ")
                        + QString::number(address) + QStringLiteral("."));
        main.ProcessEvents();
        t.SlaveID = address;
        main.Session.link.ReportLinkErrors = false; // an address without a device is passed over silently
        status->RbProgressBar->SetPosition(status->RbProgressBar->Position() + 1);
        main.ProcessEvents();
        // A port that does not open makes the identification fail at once.
        main.cpDRV->OpenPort();
        main.Session.link.FirstByteWindow = firstByteWindow;
        main.IdentifyDevice(t.SlaveID);
        main.Session.link.FirstByteWindow = 0;
        main.ProcessEvents();
    }
    return true;
}

} // namespace

void SearchFirstDevice(TfrmMain& main)
{
    TCommPortDriver* drv = main.cpDRV;
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
    // A quick pass first; the full scan only when it found nothing, for
    // devices slower to answer than its window.
    bool scanned = !main.Settings.QuickSearch || ScanAddresses(main, status, kQuickFirstByteWindow);
    if (scanned && !main.IsConnected())
        scanned = ScanAddresses(main, status, 0);
    drv->InputTimeout = kInputTimeout;
    if (!scanned) {
        EndStatus(status);
        return;
    }

    TTransducerData& t = main.Session.Transducer;
    const bool found = main.IsConnected();
    if (found)
        main.ConnectDevice(); // identifies again and reads the configuration
    EndStatus(status);
    if (!found) {
        t.SlaveID = main.Settings.DefaultSlaveID;
        MessageDlg(kNoneFound, mkWarning, mbOk);
    }
}
