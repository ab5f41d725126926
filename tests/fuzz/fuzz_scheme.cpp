// The colour-scheme loader: whatever it accepts, saving and loading again
// must be stable (the second save writes what the first one did).

#include "FuzzApp.h"
#include "rbcontrols/RbStyleManager.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureFuzzApp();
    static QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("input.rbs"));
    const QString first = dir.filePath(QStringLiteral("first.rbs"));
    const QString second = dir.filePath(QStringLiteral("second.rbs"));
    QFile::remove(first);
    QFile::remove(second);
    {
        QFile f(input);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    TRbStyleManager loaded;
    QString error;
    if (!loaded.LoadStyle(input, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(loaded.SaveStyle(first, &error));
    TRbStyleManager again;
    FUZZ_CHECK(again.LoadStyle(first, &error));
    FUZZ_CHECK(again.SaveStyle(second, &error));
    FUZZ_CHECK(ReadAll(first) == ReadAll(second));
    return 0;
}
