#include "rbcontrols/ColorScheme.h"
#include "common/IniFile.h"
#include "app/ProgSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& name, const QByteArray& bytes)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A program folder of its own for each test, and a separate user folder.
struct SettingsDirs {
    QTemporaryDir prog, user;
    QString exe() const { return prog.path() + "/zelkor"; }
    QString ini() const { return prog.path() + "/Zelkor.ini"; }
    QString userDir() const { return user.path() + "/zelkor"; }
};

class FailingIni : public TIniFile {
public:
    using TIniFile::TIniFile;

protected:
    bool writeContent(QIODevice& out, const QByteArray& bytes) override
    {
        out.write(bytes.left(bytes.size() / 2)); // the disk fills up half way
        return false;
    }
};

} // namespace

TEST(Settings, NoFileGivesDefaultsAndTheCloseCreatesIt)
{
    SettingsDirs d;
    TProgSettings s;
    s.RepeatNum = 9; // a load starts from a clean record
    ASSERT_TRUE(LoadSettings(s, d.exe(), d.userDir()));
    EXPECT_FALSE(s.ConnectBeforeRun);
    EXPECT_TRUE(s.ConnectToNum);
    EXPECT_FALSE(s.ConnectToFirst);
    EXPECT_FALSE(s.ConnectToLast);
    EXPECT_TRUE(s.ViewToolBar);
    EXPECT_TRUE(s.QuickSearch);
    EXPECT_EQ(s.DefaultSlaveID, 1);
    EXPECT_EQ(s.DefaultComPortNum, 1);
    EXPECT_EQ(s.RepeatNum, 2);
    EXPECT_EQ(s.ColorShema, "Standart.rbs");
    EXPECT_EQ(s.ProgDir, d.prog.path());
    EXPECT_EQ(s.ExeName, "zelkor");
    EXPECT_EQ(s.IniFileName, d.ini());
    EXPECT_EQ(s.ColorSchemePath, d.prog.path() + "/ColorSchemas/Standart.rbs");
    EXPECT_EQ(StartupPortName(s), "//./COM1");
    EXPECT_TRUE(s.Ports.isEmpty());

    QString error;
    ASSERT_TRUE(SaveSettings(s, 1, 1, {}, &error)) << error.toStdString();
    EXPECT_EQ(readFile(d.ini()), QByteArray("[Defaults]\r\n"
                                            "ConnectBeforeRun=0\r\n"
                                            "ConnectionType=toNum\r\n"
                                            "DefaultSlaveID=1\r\n"
                                            "DefaultComPortNum=1\r\n"
                                            "RepeatNum=2\r\n"
                                            "ColorShema=Standart.rbs\r\n"
                                            "ViewToolBar=1\r\n"
                                            "QuickSearch=1\r\n"));
}

TEST(Settings, ReadsTheFileAsTheProgramWroteOrTheUserEditedIt)
{
    SettingsDirs d;
    writeFile(d.ini(), "[defaults]\n"
                       "ConnectBeforeRun=5\n"
                       "connectiontype=TOLAST\n"
                       "DefaultSlaveID=300\n"
                       "DefaultComPortNum=0x0C\n"
                       "RepeatNum=0\n"
                       "ColorShema=Dark.rbs\n"
                       "ViewToolBar=0\n"
                       "QuickSearch=0\n");
    TProgSettings s;
    ASSERT_TRUE(LoadSettings(s, d.exe(), d.userDir()));
    EXPECT_TRUE(s.ConnectBeforeRun);
    EXPECT_TRUE(s.ConnectToLast);
    EXPECT_FALSE(s.ConnectToNum);
    EXPECT_EQ(s.DefaultSlaveID, 44);
    EXPECT_EQ(s.DefaultComPortNum, 12);
    EXPECT_EQ(s.RepeatNum, 0);
    EXPECT_EQ(s.ColorShema, "Dark.rbs");
    EXPECT_TRUE(s.ColorSchemePath.endsWith("/ColorSchemas/Dark.rbs"));
    EXPECT_FALSE(s.ViewToolBar);
    EXPECT_FALSE(s.QuickSearch);
    EXPECT_EQ(StartupPortName(s), "//./COM12");

    // Values that are no numbers give the defaults; -1 wraps like a byte.
    writeFile(d.ini(), "[Defaults]\r\nDefaultSlaveID=abc\r\nRepeatNum=\r\nDefaultComPortNum=-1\r\n");
    ASSERT_TRUE(LoadSettings(s, d.exe(), d.userDir()));
    EXPECT_EQ(s.DefaultSlaveID, 1);
    EXPECT_EQ(s.RepeatNum, 2);
    EXPECT_EQ(s.DefaultComPortNum, 255);
}

TEST(Settings, ConnectionTypeReadsOneModeAndWritesItBack)
{
    struct Case {
        const char* text;
        bool num, first, last;
        const char* written;
    };
    const Case cases[] = {
        {"toNum", true, false, false, "toNum"},
        {"TOFIRST", false, true, false, "toFirst"},
        {"tolast", false, false, true, "toLast"},
        {"FindAll", false, false, false, ""},
        {"", false, false, false, ""},
    };
    for (const Case& c : cases) {
        SettingsDirs d;
        writeFile(d.ini(), QByteArray("[Defaults]\r\nConnectionType=") + c.text + "\r\n");
        TProgSettings s;
        ASSERT_TRUE(LoadSettings(s, d.exe(), d.userDir()));
        EXPECT_EQ(s.ConnectToNum, c.num) << c.text;
        EXPECT_EQ(s.ConnectToFirst, c.first) << c.text;
        EXPECT_EQ(s.ConnectToLast, c.last) << c.text;
        ASSERT_TRUE(SaveSettings(s, 1, 1));
        TIniFile written(d.ini());
        EXPECT_EQ(written.readString("Defaults", "ConnectionType", "?"), c.written) << c.text;
        EXPECT_TRUE(written.valueExists("Defaults", "ConnectionType"));
    }
    // Several modes set at once: the last of toNum, toFirst, toLast wins.
    SettingsDirs d;
    TProgSettings s;
    ASSERT_TRUE(LoadSettings(s, d.exe(), d.userDir()));
    s.ConnectToNum = s.ConnectToFirst = s.ConnectToLast = true;
    ASSERT_TRUE(SaveSettings(s, 1, 1));
    EXPECT_EQ(TIniFile(d.ini()).readString("Defaults", "ConnectionType"), "toLast");
}

TEST(Settings, SaveWritesTheAddressAndPortInUseAndKeepsTheRestOfTheFile)
{
    SettingsDirs d;
    writeFile(d.ini(), "; hand-written\r\n"
                       "[Defaults]\r\n"
                       "ViewToolBar=1\r\n"
                       "Extra=keep me\r\n"
                       "DefaultSlaveID=5\r\n"
                       "[IndTStyle]\r\n"
                       "IndKind=1\r\n");
    TProgSettings s;
    ASSERT_TRUE(LoadSettings(s, d.exe(), d.userDir()));
    s.ViewToolBar = false;
    ASSERT_TRUE(SaveSettings(s, 300, 12, [](TIniFile& ini) { ini.writeInteger("IndRStyle", "IndKind", 2); }));
    EXPECT_EQ(s.DefaultSlaveID, 44);
    EXPECT_EQ(s.DefaultComPortNum, 12);
    // Known keys are updated where they stand, new ones appended in order.
    EXPECT_EQ(readFile(d.ini()), QByteArray("; hand-written\r\n"
                                            "[Defaults]\r\n"
                                            "ViewToolBar=0\r\n"
                                            "Extra=keep me\r\n"
                                            "DefaultSlaveID=44\r\n"
                                            "ConnectBeforeRun=0\r\n"
                                            "ConnectionType=toNum\r\n"
                                            "DefaultComPortNum=12\r\n"
                                            "RepeatNum=2\r\n"
                                            "ColorShema=Standart.rbs\r\n"
                                            "QuickSearch=1\r\n"
                                            "[IndTStyle]\r\n"
                                            "IndKind=1\r\n"
                                            "\r\n"
                                            "[IndRStyle]\r\n"
                                            "IndKind=2\r\n"));
}

TEST(Settings, PortsMappingIsReadAndKeptAcrossASave)
{
    SettingsDirs d;
    writeFile(d.ini(), "[Ports]\r\n"
                       "COM1=/dev/pts/7\r\n"
                       "com3 = /dev/serial/by-id/usb-FTDI_A1-if00-port0\r\n"
                       "Note=not a port\r\n"
                       "COMx=/dev/ttyUSB9\r\n"
                       "COM0=/dev/ttyUSB8\r\n"
                       "COM5=\r\n"
                       "COM9=/dev/ttyACM0\r\n");
    TProgSettings s;
    ASSERT_TRUE(LoadSettings(s, d.exe(), d.userDir()));
    const TComPortMap expected{{1, "/dev/pts/7"}, {3, "/dev/serial/by-id/usb-FTDI_A1-if00-port0"}, {9, "/dev/ttyACM0"}};
    EXPECT_EQ(s.Ports, expected);

    // COM9 is dropped from the map, the empty COM5 is no mapping: both go.
    s.Ports.insert(4, "/dev/ttyUSB0");
    s.Ports.remove(9);
    ASSERT_TRUE(SaveSettings(s, 1, 1));
    TIniFile written(d.ini());
    EXPECT_EQ(written.sectionKeys("Ports"), (QStringList{"COM1", "com3", "Note", "COMx", "COM0", "COM4"}));
    EXPECT_EQ(written.readString("Ports", "COM4"), "/dev/ttyUSB0");
    EXPECT_EQ(written.readString("Ports", "Note"), "not a port");

    TProgSettings again;
    ASSERT_TRUE(LoadSettings(again, d.exe(), d.userDir()));
    EXPECT_EQ(again.Ports, (TComPortMap{{1, "/dev/pts/7"}, {3, "/dev/serial/by-id/usb-FTDI_A1-if00-port0"},
                                        {4, "/dev/ttyUSB0"}}));
}

TEST(Settings, FailedSaveIsReportedAndLeavesTheOldFile)
{
    SettingsDirs d;
    const QByteArray old = "[Defaults]\r\nDefaultSlaveID=7\r\n[IndTStyle]\r\nIndKind=1\r\n";
    writeFile(d.ini(), old);
    TProgSettings s;
    ASSERT_TRUE(LoadSettings(s, d.exe(), d.userDir()));
    FailingIni ini(s.IniFileName);
    QString error;
    EXPECT_FALSE(SaveSettingsTo(ini, s, 9, 2, {}, &error));
    EXPECT_TRUE(error.contains(d.ini())) << error.toStdString();
    EXPECT_EQ(readFile(d.ini()), old);
    EXPECT_EQ(QDir(d.prog.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Zelkor.ini"});

}

// A pipe, a folder, a 2 MB file and binary junk in place of Zelkor.ini.
TEST(Settings, UnusableFileIsToldRunsOnDefaultsAndIsLeftAlone)
{
    const QByteArray huge = "[Defaults]\r\nDefaultSlaveID=7\r\n" + QByteArray(2 * 1024 * 1024, ';');
    QByteArray junk = "[Defaults]\r\nRepeatNum=5\r\n";
    for (int i = 0; i < 4096; ++i)
        junk += char((i * 7919) & 0xFF);
    enum Kind { Fifo, Folder, Bytes };
    const struct {
        Kind kind;
        QByteArray bytes;
        const char* problem;
    } cases[] = {{Fifo, {}, "канал"}, {Folder, {}, "папка"}, {Bytes, huge, "слишком велик"}, {Bytes, junk, "не текст"}};
    for (const auto& c : cases) {
        SettingsDirs d;
        if (c.kind == Fifo)
            ASSERT_EQ(mkfifo(QFile::encodeName(d.ini()).constData(), 0600), 0);
        else if (c.kind == Folder)
            ASSERT_TRUE(QDir().mkdir(d.ini()));
        else
            writeFile(d.ini(), c.bytes);
        TProgSettings s;
        QString error;
        EXPECT_FALSE(LoadSettings(s, d.exe(), d.userDir(), &error)) << c.problem;
        EXPECT_TRUE(error.contains(d.ini())) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.problem))) << error.toStdString();
        EXPECT_EQ(s.DefaultSlaveID, 1);
        EXPECT_EQ(s.RepeatNum, 2);
        EXPECT_EQ(s.UnusableFile, d.ini());

        // The close leaves it exactly as it was.
        EXPECT_TRUE(SaveSettings(s, 9, 3, {}, &error));
        const QFileInfo after(d.ini());
        if (c.kind == Bytes)
            EXPECT_EQ(readFile(d.ini()), c.bytes);
        else
            EXPECT_EQ(after.isDir(), c.kind == Folder);
        EXPECT_FALSE(after.isFile() && c.kind != Bytes);
        EXPECT_EQ(QDir(d.prog.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
                  QStringList{"Zelkor.ini"});
    }
}

TEST(Settings, FileSpoiledWhileTheProgramRunsIsReportedAndNotOverwritten)
{
    SettingsDirs d;
    writeFile(d.ini(), "[Defaults]\r\nDefaultSlaveID=7\r\n");
    TProgSettings s;
    ASSERT_TRUE(LoadSettings(s, d.exe(), d.userDir()));
    EXPECT_TRUE(s.UnusableFile.isEmpty());

    QString error;
    const QByteArray junk("\x7F" "ELF\x02\x01\x01\0\0\0", 10);
    writeFile(d.ini(), junk);
    EXPECT_FALSE(SaveSettings(s, 9, 3, {}, &error));
    EXPECT_TRUE(error.contains(d.ini()) && error.contains(QStringLiteral("не текст"))) << error.toStdString();
    EXPECT_EQ(readFile(d.ini()), junk);

    ASSERT_TRUE(QFile::remove(d.ini()));
    ASSERT_EQ(mkfifo(QFile::encodeName(d.ini()).constData(), 0600), 0);
    EXPECT_FALSE(SaveSettings(s, 9, 3, {}, &error)); // must return, not wait for a writer
    EXPECT_TRUE(error.contains(QStringLiteral("канал"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo(d.ini()).isFile());
}

TEST(Settings, ReadOnlyProgramFolderUsesTheUserConfigFolder)
{
    const QByteArray oldXdg = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/var/tmp/cfg");
    EXPECT_EQ(UserConfigDir(), "/var/tmp/cfg/zelkor");
    qputenv("XDG_CONFIG_HOME", "relative/path"); // not absolute: ignored
    EXPECT_EQ(UserConfigDir(), QDir::homePath() + "/.config/zelkor");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UserConfigDir(), QDir::homePath() + "/.config/zelkor");
    if (!oldXdg.isNull())
        qputenv("XDG_CONFIG_HOME", oldXdg);

    SettingsDirs d;
    EXPECT_TRUE(IsFolderWritable(d.prog.path()));
    EXPECT_FALSE(IsFolderWritable(d.prog.path() + "/missing"));
    EXPECT_FALSE(IsFolderWritable("/proc")); // not writable even for root
    EXPECT_TRUE(QDir(d.prog.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()); // the probe left nothing

    // An installed program: the file goes to the user's folder, which the save creates.
    TProgSettings s;
    ASSERT_TRUE(LoadSettings(s, "/proc/zelkor", d.userDir()));
    EXPECT_EQ(s.ProgDir, "/proc");
    EXPECT_EQ(s.IniFileName, d.userDir() + "/Zelkor.ini");
    s.ConnectBeforeRun = true;
    ASSERT_TRUE(SaveSettings(s, 17, 3));
    TProgSettings again;
    ASSERT_TRUE(LoadSettings(again, "/proc/zelkor", d.userDir()));
    EXPECT_TRUE(again.ConnectBeforeRun);
    EXPECT_EQ(again.DefaultSlaveID, 17);
    EXPECT_EQ(again.DefaultComPortNum, 3);

    // A Zelkor.ini beside a read-only program seeds the user's first file.
    writeFile(d.ini(), "[Defaults]\r\nRepeatNum=4\r\n[IndTStyle]\r\nIndKind=1\r\n");
    SettingsDirs fresh;
    const TSettingsLocation where = LocateSettings(d.prog.path(), fresh.userDir(), false);
    EXPECT_EQ(where.iniFileName, fresh.userDir() + "/Zelkor.ini");
    EXPECT_EQ(where.sourceFileName, d.ini());
    TProgSettings seeded;
    seeded.IniFileName = where.iniFileName;
    seeded.SourceFileName = where.sourceFileName;
    ASSERT_TRUE(SaveSettings(seeded, 1, 1));
    TIniFile userFile(where.iniFileName);
    EXPECT_EQ(userFile.readInteger("IndTStyle", "IndKind", 0), 1);
    EXPECT_EQ(LocateSettings(d.prog.path(), fresh.userDir(), false).sourceFileName, where.iniFileName);
    EXPECT_EQ(LocateSettings(d.prog.path(), fresh.userDir(), true).iniFileName, d.ini());
}

TEST(Settings, ColourSchemesBesideTheProgramOrInItsDataFolder)
{
    QTemporaryDir root;
    const QString bin = root.path() + "/bin";
    const QString shared = root.path() + "/share/zelkor/ColorSchemas";
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(ColorSchemeFile("Standart.rbs", bin), bin + "/ColorSchemas/Standart.rbs"); // neither: the usual place
    ASSERT_TRUE(QDir().mkpath(shared));
    writeFile(shared + "/Standart.rbs", "[RbControls]\r\nTRbStyleManagerNPanelColor=1\r\n");
    EXPECT_EQ(ColorSchemeFile("Standart.rbs", bin), shared + "/Standart.rbs");
    TProgSettings s;
    ASSERT_TRUE(LoadSettings(s, bin + "/zelkor", root.path() + "/user"));
    EXPECT_EQ(s.ColorSchemePath, shared + "/Standart.rbs");
    ASSERT_TRUE(QDir().mkpath(bin + "/ColorSchemas"));
    writeFile(bin + "/ColorSchemas/Standart.rbs", "[RbControls]\r\nTRbStyleManagerNPanelColor=1\r\n");
    EXPECT_EQ(ColorSchemeFile("Standart.rbs", bin), bin + "/ColorSchemas/Standart.rbs");
}

TEST(Settings, SplitExePathAtTheLastSlash)
{
    QString dir, name;
    SplitExePath("/opt/zelkor/bin/zelkor", dir, name);
    EXPECT_EQ(dir, "/opt/zelkor/bin");
    EXPECT_EQ(name, "zelkor");
    SplitExePath("zelkor", dir, name);
    EXPECT_EQ(dir, "");
    EXPECT_EQ(name, "zelkor");
}
