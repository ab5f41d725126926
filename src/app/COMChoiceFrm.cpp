#include "app/COMChoiceFrm.h"

#include "link/MessageDialog.h"
#include "rbcontrols/RbPanel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

TfrmCOMChoice::TfrmCOMChoice(TProgSettings& settings, IMessageDialog& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_settings(settings)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("frmCOMChoice"));
    setWindowTitle(QStringLiteral("СОМ-порт"));
    setFixedSize(161, 106);
    setModal(true);

    RbPanel1 = new TRbPanel(this);
    RbPanel1->setObjectName(QStringLiteral("RbPanel1"));
    RbPanel1->SetShowCaption(false);
    RbPanel1->SetBounds(8, 8, 145, 57);

    auto* combo = new TComPortCombo(RbPanel1);
    connect(combo, &TComPortCombo::aboutToDropDown, this, &TfrmCOMChoice::cbComPortDropDown);
    cbComPort = combo;
    cbComPort->setObjectName(QStringLiteral("cbComPort"));
    cbComPort->setEditable(true);
    cbComPort->setInsertPolicy(QComboBox::NoInsert);
    cbComPort->setGeometry(16, 18, 113, 21);
    cbComPort->setAccessibleName(windowTitle());
    cbComPort->installEventFilter(this);
    cbComPort->lineEdit()->installEventFilter(this);
    connect(cbComPort, &QComboBox::activated, this, &TfrmCOMChoice::cbComPortSelect);

    Button1 = new TCOMChoiceButton(QStringLiteral("Ok"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(43, 73, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &TCOMChoiceButton::clicked, this, &TfrmCOMChoice::Button1Click);
    connect(cbComPort, &QComboBox::currentIndexChanged, this, [this] { ShowPortEntry(*cbComPort); });

    DeviceSource = [](const TComPortMap& ports) { return FindSerialDevices(ports); };
}

void TfrmCOMChoice::SetStyleManager(IRbStyleRegistry* manager)
{
    RbPanel1->SetRbStyleManager(manager);
}

void TfrmCOMChoice::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    FormShow();
}

void TfrmCOMChoice::FormShow()
{
    // No processing of pending events here: an event that closed the window
    // while it is being shown would leave exec() waiting for ever.
    fillList();
    // Show the port in use; only a choice by the user changes it.
    const QString prefix = QStringLiteral("COM%1:").arg(m_settings.DefaultComPortNum);
    for (int i = 0; i < cbComPort->count(); ++i) {
        if (cbComPort->itemText(i).startsWith(prefix)) {
            const QSignalBlocker block(cbComPort);
            cbComPort->setCurrentIndex(i);
            break;
        }
    }
    emit schemeColorsWanted();
    cbComPort->setFocus();
    ShowPortEntry(*cbComPort);
    // Showing the window puts the cursor behind the text once more.
    QMetaObject::invokeMethod(this, [this] { ShowPortEntry(*cbComPort); }, Qt::QueuedConnection);
}

void ShowPortEntry(QComboBox& box)
{
    // The field is narrower than an entry: its beginning names the port,
    // the whole entry is in the tooltip.
    box.setToolTip(box.currentText());
    if (QLineEdit* edit = box.lineEdit())
        edit->setCursorPosition(0);
}

bool TfrmCOMChoice::ChoosePresetEntry()
{
    const int i = cbComPort->currentIndex();
    if (i < 0 || cbComPort->currentText() != cbComPort->itemText(i))
        return false;
    cbComPortSelect(i);
    return true;
}

void TfrmCOMChoice::Button1Click()
{
    // "Ok" on the entry shown is a choice of it, as picking it from the list is.
    ChoosePresetEntry();
    accept();
}

void TfrmCOMChoice::cbComPortDropDown()
{
    const QString typed = cbComPort->currentText();
    fillList();
    const QSignalBlocker block(cbComPort);
    const int i = cbComPort->findText(typed);
    if (i >= 0)
        cbComPort->setCurrentIndex(i);
    else
        cbComPort->setEditText(typed);
    ShowPortEntry(*cbComPort);
}

bool FillPortCombo(QComboBox& box, TComPortMap& ports, const QVector<TSerialDevice>& found)
{
    QStringList list;
    const TComPortMap before = ports;
    ListSerialPorts(list, ports, found);

    const QSignalBlocker block(&box);
    box.clear();
    box.addItems(list);
    for (int i = 0; i < list.size(); ++i)
        box.setItemData(i, list[i], Qt::ToolTipRole);
    box.setCurrentIndex(-1);
    box.setEditText(QString());
    // The entries are longer than the field; let the drop-down show them whole.
    int width = box.width();
    const QFontMetrics fm(box.view()->font());
    for (const QString& s : list)
        width = qMax(width, fm.horizontalAdvance(s) + 24);
    box.view()->setMinimumWidth(width);
    return ports != before;
}

void TfrmCOMChoice::fillList()
{
    const QVector<TSerialDevice> found = DeviceSource ? DeviceSource(m_settings.Ports) : QVector<TSerialDevice>{};
    if (FillPortCombo(*cbComPort, m_settings.Ports, found))
        emit portMapChanged(m_settings.Ports);
}

void TfrmCOMChoice::cbComPortSelect(int index)
{
    if (index < 0 || index >= cbComPort->count())
        return;
    bool ok = false;
    const int n = PortNumberOf(cbComPort->itemText(index), &ok);
    if (!ok || n < 1 || n > MaxComPortNumber)
        return;
    m_settings.DefaultComPortNum = uint8_t(n);
    emit portChosen(n);
}

bool TfrmCOMChoice::cbComPortKeyDown(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    // An entry of the list, unchanged, is chosen as from the list: by number.
    if (ChoosePresetEntry()) {
        accept();
        return true;
    }
    const QString text = cbComPort->currentText();
    if (text.contains(QStringLiteral("com"), Qt::CaseInsensitive)) {
        bool ok = false;
        const int n = PortNumberOf(text, &ok);
        if (!ok || n < 1 || n > MaxComPortNumber) {
            // Keep the window open so the user can correct the text.
            m_messages.Show(QStringLiteral("Неверное имя порта: \"%1\".\n\rВведите порт в виде COM1 … COM%2.")
                             .arg(text.trimmed())
                             .arg(MaxComPortNumber),
                         mkWarning, mbOk);
            cbComPort->setFocus();
            return false;
        }
        m_settings.DefaultComPortNum = uint8_t(n);
        emit portNameChosen(QStringLiteral("\\\\.\\COM%1").arg(n));
    }
    accept();
    return true;
}

bool TfrmCOMChoice::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == cbComPort || watched == cbComPort->lineEdit()) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cbComPortKeyDown(key);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
