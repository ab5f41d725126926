#include "common/WritableFolder.h"

#include <QFileInfo>
#include <QTemporaryFile>

bool IsFolderWritable(const QString& dir)
{
    // access() says yes to root on a read-only mount; creating a file tells the truth.
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return false;
    QTemporaryFile probe(dir + QStringLiteral("/.zelkor-write-test-XXXXXX"));
    return probe.open();
}
