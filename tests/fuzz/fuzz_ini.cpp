// The INI layer: parse, read every key, write them into a fresh file,
// re-read: no key may be lost or change its value.

#include "FuzzApp.h"
#include "IniFile.h"

namespace {

// Profile files drop one pair of quotes per read, so a quoted value is not
// expected to come back the same.
bool Quoted(const QString& v)
{
    return v.startsWith('"') || v.startsWith('\'');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnsureFuzzApp();
    TIniFile parsed(QString{});
    parsed.setContent(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    TIniFile written(QString{});
    for (const QString& section : parsed.sections())
        for (const QString& key : parsed.sectionKeys(section))
            written.writeString(section, key, parsed.readString(section, key));

    TIniFile reread(QString{});
    reread.setContent(written.content());
    for (const QString& section : parsed.sections()) {
        FUZZ_CHECK(reread.sectionExists(section));
        for (const QString& key : parsed.sectionKeys(section)) {
            FUZZ_CHECK(reread.valueExists(section, key));
            const QString v = parsed.readString(section, key);
            if (!Quoted(v))
                FUZZ_CHECK(reread.readString(section, key) == v);
            int a = 0, b = 0;
            FUZZ_CHECK(parseProfileInt(v, &a) == parseProfileInt(reread.readString(section, key), &b) || Quoted(v));
        }
    }

    // Rewriting a file in place keeps every line that is not one of its keys.
    TIniFile again(QString{});
    again.setContent(parsed.content());
    FUZZ_CHECK(again.content() == parsed.content());
    return 0;
}
