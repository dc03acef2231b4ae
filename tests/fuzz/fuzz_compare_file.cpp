// Fuzz target over reading a comparison file: the input is the file.

#include "compare/compare_file.h"
#include "support/fuzz_target.h"

#include <QTemporaryFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTemporaryFile file;
    if (!file.open()
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size)
        || !file.flush())
        return 0;
    QString error;
    const CompareFile::Comparison c = CompareFile::read(file.fileName(), error);
    // Either a comparison or why not.
    require(error.isEmpty() != (c.runs.size() < CompareFile::MinRuns),
            "fuzz_compare_file: neither a comparison nor why not");
    return 0;
}
