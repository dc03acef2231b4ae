// Replays the fuzz corpus (the folder given on the command line) through the fuzz target, so
// that every input once found interesting keeps being checked by any compiler.

#include "support/fuzz_target.h"

#include <QtCore>

int main(int argc, char *argv[])
{
    // No folder, or an empty one, replays nothing and fails.
    const QFileInfoList inputs
        = argc == 2 ? QDir(QFile::decodeName(argv[1])).entryInfoList(QDir::Files) : QFileInfoList();
    for (const QFileInfo &input : inputs) {
        QFile file(input.filePath());
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                               size_t(bytes.size()));
    }
    std::printf("replayed %lld inputs\n", static_cast<long long>(inputs.size()));
    return inputs.isEmpty() ? 1 : 0;
}
