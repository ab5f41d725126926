// The INI layer: parse, read every key, write them into a fresh file,
// re-read: no key may be lost or change its value.

#include "FuzzApp.h"
#include "common/IniFile.h"

namespace {

// Reading drops outer blanks and one pair of quotes; writers that need such
// a value back quote it themselves, so the layer does not.
bool NeedsQuotes(const QString& v)
{
    return v.trimmed().size() != v.size() || v.startsWith('"') || v.startsWith('\'');
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
        for (const QString& key : parsed.sectionKeys(section)) {
            FUZZ_CHECK(reread.valueExists(section, key));
            const QString v = parsed.readString(section, key);
            if (!NeedsQuotes(v))
                FUZZ_CHECK(reread.readString(section, key) == v);
        }
    }

    // Rewriting a file in place keeps every line that is not one of its keys.
    TIniFile again(QString{});
    again.setContent(parsed.content());
    FUZZ_CHECK(again.content() == parsed.content());
    return 0;
}
