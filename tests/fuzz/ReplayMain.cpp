// Runs a fuzz target over files and folders of inputs, for builds without
// libFuzzer: the seed corpus then still runs as an ordinary test.

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool RunFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray bytes = f.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int inputs = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith('-'))
            continue; // libFuzzer options
        if (QFileInfo(arg).isDir()) {
            for (const QString& name : QDir(arg).entryList(QDir::Files, QDir::Name)) {
                ok = RunFile(QDir(arg).filePath(name)) && ok;
                ++inputs;
            }
        } else {
            ok = RunFile(arg) && ok;
            ++inputs;
        }
    }
    std::printf("%d inputs run\n", inputs);
    return ok && inputs > 0 ? 0 : 1;
}
