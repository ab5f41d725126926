// The journal window, the history as the program keeps it on the
// controller's session, and what of it is the main window's.
#include "CertificateFixtures.h"
#include "MainRig.h"
#include "PageRig.h"

#include "app/CalibrationPage.h"
#include "app/JournalFrm.h"
#include "app/Passport.h"
#include "app/Records.h"
#include "app/SetFrm.h"
#include "common/IniFile.h"
#include "rbcontrols/RbCheckBox.h"
#include "history/HistoryExport.h"
#include "passport/HistoryRecorder.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QList<THistoryRecord> Recorded(const QString& path, const QString& kind = {})
{
    THistoryStore store(path);
    if (!store.Open(true))
        return {};
    THistoryFilter f;
    f.kind = kind;
    return store.Records(f);
}

int RowOf(const THistoryUnitsModel* m, qint64 number)
{
    for (int i = 0; i < m->rowCount(); ++i) {
        if (m->data(m->index(i, THistoryUnitsModel::colNumber)).toLongLong() == number)
            return i;
    }
    return -1;
}

// The history on the pages' controller, with the calibration protocol's
// records, as the main window composes them; make() starts it as its start-up does.
struct HistoryRig : PageRig {
    explicit HistoryRig(const QByteArray& ini = {})
        : PageRig(ini)
        , historyPath(tmp.path() + QStringLiteral("/data/history.sqlite"))
    {
    }

    void make()
    {
        PageRig::make();
        records = new TRecords(*ctrl, window.get());
        passport = new TPassport(session(), settings, window.get(), historyPath);
        passport->SaveProtocol = [this](const TCalibrationRecord& record) { return records->SaveProtocol(record); };
        passport->Start();
    }

    // "Сохранить протокол..." on the calibration page, the file saved into the temporary folder.
    QString saveProtocol()
    {
        QString saved;
        records->SaveFileName = [&](QWidget*, const QString&, const QString& suggested, const QString&) {
            return saved = tmp.path() + QLatin1Char('/') + suggested;
        };
        passport->SaveFileName = records->SaveFileName; // one save dialog for both
        TCalibrationRecord record;
        record.transducer = SampleUnit();
        passport->SaveCalibrationCertificate(record);
        return saved;
    }

    QString historyPath;
    TRecords* records = nullptr;
    TPassport* passport = nullptr;
};

TEST(History, ConnectionIsRecordedWithIdentityAndConfigurationAsFound)
{
    HistoryRig rig;
    rig.onPort = [](ScriptedPort& p) { AnswerAsDevice(p); };
    rig.make();
    ASSERT_TRUE(rig.connect());
    rig.ctrl->Disconnect();

    const QList<THistoryRecord> all = Recorded(rig.historyPath);
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].kind, QStringLiteral("connected"));
    EXPECT_EQ(all[0].sensorNumber, 12345);
    EXPECT_EQ(all[0].transducerType, QStringLiteral("M"));
    EXPECT_EQ(all[0].address, 1);
    EXPECT_EQ(all[0].port, rig.ctrl->Driver()->PortName());
    // The calibration date read at the connection is part of what was found.
    EXPECT_EQ(all[0].data.value(QStringLiteral("identity")).toObject().value(QStringLiteral("calibrationDate")).toString(),
              QStringLiteral("2005-03-15"));
    EXPECT_TRUE(all[0].data.value(QStringLiteral("configuration")).toObject().contains(QStringLiteral("top")));
    EXPECT_EQ(all[1].kind, QStringLiteral("disconnected"));
    EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
}

TEST(History, RecordingOffInTheSettingsWritesNoFileUntilTurnedOn)
{
    HistoryRig rig("[History]\r\nRecording=0\r\n");
    rig.onPort = [](ScriptedPort& p) { AnswerAsDevice(p); };
    rig.make();
    rig.ctrl->Connect();
    ASSERT_TRUE(rig.ctrl->IsConnected());
    EXPECT_FALSE(QFileInfo::exists(rig.historyPath));
    EXPECT_FALSE(rig.passport->IsRecording());

    // As the settings dialog turns it on: the setting, then the history.
    rig.settings.HistoryRecording = true;
    rig.passport->SetRecording(true);
    EXPECT_TRUE(rig.passport->IsRecording());
    rig.ctrl->Connect();
    EXPECT_EQ(Recorded(rig.historyPath, QStringLiteral("connected")).size(), 1);
}

// The settings dialog is the main window's: it hands the choice to the history.
TEST(MainWindowHistory, TheSettingsDialogTurnsRecordingOn)
{
    MainRig rig("[History]\r\nRecording=0\r\n");
    rig.onPort = [](ScriptedPort& p) { MainRig::AnswerAsDevice(p); };
    auto frm = rig.make();
    frm->ConnectDevice();
    ASSERT_TRUE(frm->IsConnected());
    EXPECT_FALSE(QFileInfo::exists(rig.historyPath));
    EXPECT_FALSE(frm->Passport()->IsRecording());

    // Turned on in the settings dialog: from now on.
    frm->SettingsDialog()->FormCreate();
    frm->SettingsDialog()->cbHistoryRecording->SetChecked(true);
    frm->SettingsDialog()->cbHistoryRecordingClick();
    EXPECT_TRUE(frm->Settings().HistoryRecording);
    EXPECT_TRUE(frm->Passport()->IsRecording());
    frm->ConnectDevice();
    EXPECT_EQ(Recorded(rig.historyPath, QStringLiteral("connected")).size(), 1);
}

TEST(History, DamagedFileIsToldOnceAndTheProgramGoesOnWithoutIt)
{
    HistoryRig rig;
    QDir().mkpath(QFileInfo(rig.historyPath).absolutePath());
    MainRig::writeFile(rig.historyPath, QByteArray("not a journal at all\n").repeated(50));
    const QByteArray before = FileSha(rig.historyPath);
    rig.onPort = [](ScriptedPort& p) { AnswerAsDevice(p); };
    rig.make();
    ASSERT_EQ(rig.msgs.count(), 1);
    EXPECT_TRUE(rig.msgs.last().text.contains(rig.historyPath));
    EXPECT_EQ(rig.msgs.last().kind, mkWarning);
    rig.ctrl->Connect();
    rig.ctrl->Connect();
    EXPECT_TRUE(rig.ctrl->IsConnected());
    EXPECT_EQ(rig.msgs.count(), 1);
    EXPECT_EQ(FileSha(rig.historyPath), before);
}

TEST(History, BrokenChainIsToldAtStart)
{
    HistoryRig rig;
    QDir().mkpath(QFileInfo(rig.historyPath).absolutePath());
    {
        THistoryStore store(rig.historyPath);
        ASSERT_TRUE(store.Open());
        AppendSession(store);
    }
    {
        SqlClient client(rig.historyPath);
        client.exec(QStringLiteral("DROP TRIGGER events_no_update"));
        client.exec(QStringLiteral("UPDATE events SET sensor_number = 1 WHERE id = 4"));
    }
    rig.make();
    ASSERT_EQ(rig.msgs.count(), 1);
    EXPECT_TRUE(rig.msgs.last().text.contains(QStringLiteral("запись 4"))) << rig.msgs.last().text.toStdString();
}

TEST(History, SaveProtocolIssuesACertificate)
{
    HistoryRig rig;
    rig.make();
    AppendSession(*rig.passport->Store());
    rig.passport->AskInput = [](TCertificateInput& input, qint64) {
        input.ambientTemperature = 22;
        input.humidity = 50;
        input.organisation = QStringLiteral("Лаборатория");
        return true;
    };
    const QString saved = rig.saveProtocol();
    EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_TRUE(saved.endsWith(QStringLiteral("-0001.pdf"))) << saved.toStdString();
    EXPECT_TRUE(PdfPages(saved).join(QString()).contains(QStringLiteral("Лаборатория")));
    EXPECT_EQ(rig.settings.OrgName, QStringLiteral("Лаборатория")); // offered next time
    EXPECT_EQ(Recorded(rig.historyPath, QStringLiteral("certificate")).size(), 1);

    rig.passport->ShowJournal();
    TfrmJournal* window = rig.passport->Journal();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->UnitsModel()->rowCount(), 1);
}

// The menu entry, and the page's "Сохранить протокол..." reaching the
// history with the records' save dialog: the main window wires both.
TEST(MainWindowHistory, JournalIsInTheViewMenuAndSaveProtocolIssuesACertificate)
{
    MainRig rig;
    auto frm = rig.make();
    QAction* journal = frm->findChild<QAction*>(QStringLiteral("actJournal"));
    ASSERT_NE(journal, nullptr);
    EXPECT_EQ(journal->text(), QStringLiteral("Журнал приборов"));
    bool inView = false;
    for (QMenu* menu : frm->menuBar()->findChildren<QMenu*>())
        inView |= menu->title() == QStringLiteral("Вид") && menu->actions().contains(journal);
    EXPECT_TRUE(inView);

    AppendSession(*frm->Passport()->Store());
    QString saved;
    frm->Records()->SaveFileName = [&](QWidget*, const QString&, const QString& suggested, const QString&) {
        return saved = rig.tmp.path() + QLatin1Char('/') + suggested;
    };
    frm->Passport()->AskInput = [](TCertificateInput& input, qint64) {
        input.organisation = QStringLiteral("Лаборатория");
        return true;
    };
    TCalibrationRecord record;
    record.transducer = SampleUnit();
    emit frm->tsCalobration()->protocolSaveRequested(record);
    EXPECT_TRUE(rig.msgs.isEmpty()) << rig.msgs.texts().join('|').toStdString();
    EXPECT_TRUE(saved.endsWith(QStringLiteral("-0001.pdf"))) << saved.toStdString();
    EXPECT_EQ(Recorded(rig.historyPath, QStringLiteral("certificate")).size(), 1);

    journal->trigger();
    TfrmJournal* window = frm->Passport()->Journal();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->UnitsModel()->rowCount(), 1);
}

TEST(History, WithoutAJournalSaveProtocolKeepsTheOnePageProtocol)
{
    HistoryRig rig("[History]\r\nRecording=0\r\n");
    rig.make();
    bool asked = false;
    rig.passport->AskInput = [&](TCertificateInput&, qint64) { return asked = true; };
    const QString saved = rig.saveProtocol();
    EXPECT_FALSE(asked);
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_TRUE(PdfPages(saved).join(QString()).contains(QStringLiteral("Протокол настройки")));
    EXPECT_FALSE(QFileInfo::exists(rig.historyPath));
}

TEST(History, AnOpenJournalShowsNewEvents)
{
    HistoryRig rig;
    rig.onPort = [](ScriptedPort& p) { AnswerAsDevice(p); };
    rig.make();
    rig.passport->ShowJournal();
    TfrmJournal* journal = rig.passport->Journal();
    ASSERT_EQ(journal->UnitsModel()->rowCount(), 0);
    rig.ctrl->Connect();
    QTRY_COMPARE_WITH_TIMEOUT(journal->UnitsModel()->rowCount(), 1, 3000);
    EXPECT_EQ(journal->UnitsModel()->data(journal->UnitsModel()->index(0, THistoryUnitsModel::colNumber)).toInt(), 12345);
}

class JournalTest : public ::testing::Test {
protected:
    JournalTest()
        : store(dir.path() + QStringLiteral("/history.sqlite"))
    {
        EXPECT_TRUE(store.Open());
        // 12345 became 104233 before its session; 555 is another unit, type N.
        THistoryEvent old = UnitEvent(QStringLiteral("connected"), {}, -30);
        old.sensorNumber = 12345;
        store.Append(old);
        store.Append(UnitEvent(QStringLiteral("sensorNumberChanged"),
                               {{QStringLiteral("from"), 12345}, {QStringLiteral("to"), 104233}}, -20));
        AppendSession(store);
        THistoryEvent other = SampleEvent(QStringLiteral("verification"), 555, 200);
        other.transducerType = QStringLiteral("N");
        other.data = QJsonObject{{QStringLiteral("pass"), false}};
        store.Append(other);
    }

    QTemporaryDir dir;
    THistoryStore store;
    RecordingMessages msgs;
};

TEST_F(JournalTest, ListsUnitsWithLastEventAndVerdictAndFilters)
{
    TfrmJournal journal(store, msgs);
    const THistoryUnitsModel* units = journal.UnitsModel();
    ASSERT_EQ(units->rowCount(), 3);
    EXPECT_EQ(units->data(units->index(0, THistoryUnitsModel::colNumber)).toLongLong(), 555); // newest first
    EXPECT_EQ(units->data(units->index(0, THistoryUnitsModel::colVerdict)).toString(), QStringLiteral("не годен"));
    const int unit = RowOf(units, 104233);
    ASSERT_GE(unit, 0);
    EXPECT_EQ(units->data(units->index(unit, THistoryUnitsModel::colEvent)).toString(), QStringLiteral("Поверка"));
    EXPECT_EQ(units->data(units->index(unit, THistoryUnitsModel::colVerdict)).toString(), QStringLiteral("годен"));
    EXPECT_EQ(units->data(units->index(RowOf(units, 12345), THistoryUnitsModel::colVerdict)).toString(), QString());

    journal.edSensorNum->setText(QStringLiteral("1042"));
    journal.Refresh();
    EXPECT_EQ(units->rowCount(), 1);
    journal.edSensorNum->clear();
    journal.cbType->setCurrentIndex(journal.cbType->findData(QStringLiteral("N")));
    EXPECT_EQ(units->rowCount(), 1);
    EXPECT_EQ(units->data(units->index(0, THistoryUnitsModel::colType)).toString(), QStringLiteral("N"));
    journal.cbType->setCurrentIndex(0);
    // The session ran on 01.03.2026; a period after it lists nobody.
    journal.deFrom->setDate(QDate(2026, 3, 2));
    journal.deTo->setDate(QDate(2026, 3, 3));
    journal.cbPeriod->setChecked(true);
    EXPECT_EQ(units->rowCount(), 0);
    journal.deFrom->setDate(QDate(2026, 3, 1));
    EXPECT_EQ(units->rowCount(), 3);
}

TEST_F(JournalTest, TimelineFollowsTheUnitThroughItsNumberChangeAndShowsDetails)
{
    TfrmJournal journal(store, msgs);
    journal.SelectUnit(RowOf(journal.UnitsModel(), 104233));
    const THistoryTimelineModel* timeline = journal.TimelineModel();
    ASSERT_EQ(timeline->rowCount(), 13); // the session, the change and the event under the old number
    EXPECT_EQ(timeline->RecordId(0), 13);
    EXPECT_EQ(timeline->RecordId(12), 1);
    EXPECT_EQ(timeline->data(timeline->index(11, THistoryTimelineModel::colEvent)).toString(),
              QStringLiteral("Смена номера датчика"));
    EXPECT_EQ(timeline->data(timeline->index(0, THistoryTimelineModel::colPort)).toString(), QStringLiteral("/dev/ttyUSB0"));

    journal.SelectEvent(0);
    THistoryRecord last;
    ASSERT_TRUE(store.Record(13, &last));
    const QString details = journal.meDetails->toPlainText();
    EXPECT_TRUE(details.contains(QStringLiteral("Запись 13: Поверка")));
    EXPECT_TRUE(details.contains(last.hash));
    EXPECT_TRUE(details.contains(QStringLiteral("\"tolerancePct\"")));
}

TEST_F(JournalTest, ExportsTheSelectionToCsvAndJson)
{
    TfrmJournal journal(store, msgs);
    QString asked;
    journal.SaveFileName = [&](QWidget*, const QString&, const QString& suggested, const QString&) {
        return asked = dir.path() + QLatin1Char('/') + suggested;
    };
    journal.SelectUnit(RowOf(journal.UnitsModel(), 104233));
    journal.btnExportCsvClick();
    EXPECT_TRUE(asked.endsWith(QStringLiteral("zhurnal_104233.csv")));
    QFile csv(asked);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray text = csv.readAll();
    EXPECT_TRUE(text.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(text.count("\r\n"), 14); // header and the whole timeline

    // Two events chosen: only those.
    journal.tvTimeline->selectionModel()->clearSelection();
    journal.tvTimeline->selectionModel()->select(journal.TimelineModel()->index(0, 0),
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    journal.tvTimeline->selectionModel()->select(journal.TimelineModel()->index(2, 0),
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    journal.btnExportJsonClick();
    QFile json(asked);
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonArray records = QJsonDocument::fromJson(json.readAll()).object().value(QStringLiteral("records")).toArray();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].toObject().value(QStringLiteral("id")).toInt(), 11);
    EXPECT_EQ(records[1].toObject().value(QStringLiteral("id")).toInt(), 13);
}

TEST(HistorySettings, WrittenOnceSetAndReadBack)
{
    TIniFile ini{QString()};
    TProgSettings s;
    WriteSettings(ini, s);
    EXPECT_FALSE(ini.sectionExists(QStringLiteral("History"))); // defaults leave the file as it was

    s.HistoryRecording = false;
    s.OrgName = QStringLiteral("ООО «Метрология-Юг»");
    s.Approver = QStringLiteral("Сидоров С. С.");
    WriteSettings(ini, s);
    TProgSettings back;
    ReadSettings(ini, back);
    EXPECT_FALSE(back.HistoryRecording);
    EXPECT_EQ(back.OrgName, s.OrgName);
    EXPECT_EQ(back.Approver, s.Approver);
    EXPECT_TRUE(back.Technician.isEmpty());

    // Cleared again: the old value does not come back.
    s.HistoryRecording = true;
    s.OrgName.clear();
    WriteSettings(ini, s);
    ReadSettings(ini, back);
    EXPECT_TRUE(back.HistoryRecording);
    EXPECT_TRUE(back.OrgName.isEmpty());
}

} // namespace
