#include "common/Cp1251.h"
#include "common/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class FailingIni : public TIniFile {
public:
    using TIniFile::TIniFile;

protected:
    bool writeContent(QIODevice& out, const QByteArray& bytes) override
    {
        out.write(bytes.left(bytes.size() / 2)); // the disk fills up half-way
        return false;
    }
};

} // namespace

TEST(IniFile, UpdatesInPlaceAppendsAtSectionEndAndKeepsForeignLines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    writeAll(path, "; note\n[Defaults]\nAlpha=1\nBeta=2\n\n[Other]\nX=y\n");

    TIniFile ini(path);
    ini.writeInteger("defaults", "BETA", 5);   // case-insensitive: the existing key keeps its place and spelling
    ini.writeString("Defaults", "Gamma", "g");  // new key after the last key, before the blank line
    ini.writeString("New", "K", "v");           // new section at the end
    ASSERT_TRUE(ini.save());

    EXPECT_EQ(readAll(path),
              QByteArray("; note\r\n[Defaults]\r\nAlpha=1\r\nBeta=5\r\nGamma=g\r\n\r\n[Other]\r\nX=y\r\n\r\n[New]\r\nK=v\r\n"));
    EXPECT_EQ(ini.sectionKeys("DEFAULTS"), QStringList({"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(ini.sections(), QStringList({"Defaults", "Other", "New"}));
}

TEST(IniFile, ReadsIntegersInDecimalAndHexAndFallsBackOnGarbage)
{
    TIniFile ini(QString{});
    ini.setContent("[S]\nA=42\nB=0x1F\nC=-7\nD=abc\nE=\nF= 12 \nG=0xFFFFFFFF\nH=\"quoted\"\n");
    EXPECT_EQ(ini.readInteger("s", "a", 0), 42);
    EXPECT_EQ(ini.readInteger("S", "B", 0), 31);
    EXPECT_EQ(ini.readInteger("S", "C", 0), -7);
    EXPECT_EQ(ini.readInteger("S", "D", 9), 9);
    EXPECT_EQ(ini.readInteger("S", "E", 9), 9);
    EXPECT_EQ(ini.readInteger("S", "F", 0), 12);
    EXPECT_EQ(ini.readInteger("S", "G", 0), -1);
    EXPECT_EQ(ini.readInteger("S", "missing", 3), 3);
    EXPECT_EQ(ini.readString("S", "H"), QString("quoted"));
    EXPECT_TRUE(ini.readBool("S", "A", false));
    EXPECT_FALSE(ini.readBool("Nope", "A", false));
}

TEST(IniFile, TextIsWindows1251OnDisk)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.ini");
    {
        TIniFile ini(path);
        ini.writeString("Info", "Name", QStringLiteral("Тип датчика"));
        ASSERT_TRUE(ini.save());
    }
    const QByteArray raw = readAll(path);
    EXPECT_TRUE(raw.contains(toCp1251(QStringLiteral("Тип датчика"))));
    TIniFile again(path);
    EXPECT_EQ(again.readString("info", "name"), QStringLiteral("Тип датчика"));
}

TEST(IniFile, AFailedSaveLeavesTheOldFileIntact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.ini");
    writeAll(path, "[Defaults]\r\nA=1\r\n");

    FailingIni ini(path);
    ini.writeInteger("Defaults", "A", 2);
    QString error;
    EXPECT_FALSE(ini.save(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readAll(path), QByteArray("[Defaults]\r\nA=1\r\n"));
}

TEST(IniFile, SaveIntoAnUnwritableFolderIsReported)
{
    TIniFile ini("/proc/zelkor-no-such-dir/x.ini");
    ini.writeInteger("A", "B", 1);
    QString error;
    EXPECT_FALSE(ini.save(&error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(IniFile, FirstOfDuplicateKeysWinsAndDeletesWork)
{
    TIniFile ini(QString{});
    ini.setContent("[S]\nK=1\nk=2\n[T]\nZ=0\n");
    EXPECT_EQ(ini.readInteger("S", "K", 0), 1);
    ini.deleteKey("S", "K");
    EXPECT_EQ(ini.readInteger("S", "K", 0), 2);
    ini.eraseSection("t");
    EXPECT_FALSE(ini.sectionExists("T"));
    EXPECT_TRUE(ini.valueExists("s", "K"));
}

TEST(IniFile, WhatIsNotARegularFileIsRefusedWithoutBlocking)
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath("pipe.ini");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0); // no writer: a blocking open would hang
    const QString folder = dir.filePath("folder.ini");
    ASSERT_TRUE(QDir().mkdir(folder));
    const struct {
        QString path;
        const char* reason;
    } cases[] = {{pipe, "канал"}, {folder, "папка"}, {QStringLiteral("/dev/null"), "устройство"}};
    for (const auto& c : cases) {
        TIniFile ini(c.path); // the constructor reads too
        QString error;
        EXPECT_FALSE(ini.load(&error)) << c.path.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.reason))) << error.toStdString();
        EXPECT_TRUE(ini.sections().isEmpty());
        EXPECT_FALSE(ini.loadText(1024, &error));
    }
    TIniFile missing(dir.filePath("none.ini"));
    EXPECT_TRUE(missing.load()) << "a missing file is an empty one";
}

TEST(IniFile, LimitsRefuseOversizedAndBinaryFiles)
{
    QTemporaryDir dir;
    const QString big = dir.filePath("big.ini");
    writeAll(big, "[A]\r\nk=1\r\n" + QByteArray(2000, ';'));
    TIniFile ini(big);
    QString error;
    EXPECT_TRUE(ini.loadAtMost(4096, &error));
    EXPECT_EQ(ini.readInteger("A", "k", 0), 1);
    EXPECT_FALSE(ini.loadAtMost(1000, &error));
    EXPECT_TRUE(error.contains("1000")) << error.toStdString();
    EXPECT_FALSE(ini.valueExists("A", "k")) << "a refused file leaves nothing behind";

    // A file holding more than its size said (as /proc's do) is read on to the limit and no further.
    const QString proc = QStringLiteral("/proc/self/status");
    ini.setFileName(proc);
    EXPECT_FALSE(ini.loadAtMost(16, &error)) << "a size of 0 is not taken at its word";
    EXPECT_TRUE(error.contains("16")) << error.toStdString();
    EXPECT_TRUE(ini.loadAtMost(1 << 20, &error)) << error.toStdString();

    // Text with tabs, CR LF and Cyrillic passes; NUL or control bytes do not.
    const QString text = dir.filePath("text.ini");
    writeAll(text, "[A]\r\nk=\t\xC7\xE5\xEB\xEA\xEE\xF0\r\n\x1A");
    ini.setFileName(text);
    EXPECT_TRUE(ini.loadText(1024, &error)) << error.toStdString();
    EXPECT_EQ(ini.readString("A", "k"), QStringLiteral("Зелкор"));
    for (const QByteArray& junk : {QByteArray("[A]\r\nk=1\r\n\0\0", 12), QByteArray("[A]\r\nk=\x01\x02\x03")}) {
        writeAll(text, junk);
        EXPECT_FALSE(ini.loadText(1024, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("не текст"))) << error.toStdString();
        EXPECT_TRUE(ini.load()) << "without the text check the same file reads";
    }
}
